// The kana rows of the highlight buttons: their characters, names, hints and keys.

#include "app/HighlightButtons.h"

#include <gtest/gtest.h>

namespace {

struct RowCase
{
    int tag;
    const char* bytes; // CP932, written out byte for byte
    const char* button;
};

class KanaRow : public ::testing::TestWithParam<RowCase>
{
};

TEST_P(KanaRow, ButtonCarriesTheRowsHalfWidthKatakana)
{
    const RowCase& c = GetParam();
    EXPECT_EQ(HighlightRows::Characters(c.tag), QByteArray(c.bytes));
    EXPECT_EQ(HighlightRows::ButtonName(c.tag), QLatin1String(c.button));
}

INSTANTIATE_TEST_SUITE_P(Rows, KanaRow,
                         ::testing::Values(RowCase{0, "*", "sbtnHighLightAll"},
                                           RowCase{1, "\xB1\xB2\xB3\xB4\xB5", "sbtnHighLightA"},
                                           RowCase{2, "\xB6\xB7\xB8\xB9\xBA", "sbtnHighLightK"},
                                           RowCase{3, "\xBB\xBC\xBD\xBE\xBF", "sbtnHighLightS"},
                                           RowCase{4, "\xC0\xC1\xC2\xC3\xC4", "sbtnHighLightT"},
                                           RowCase{5, "\xC5\xC6\xC7\xC8\xC9", "sbtnHighLightN"},
                                           RowCase{6, "\xCA\xCB\xCC\xCD\xCE", "sbtnHighLightH"},
                                           RowCase{7, "\xCF\xD0\xD1\xD2\xD3", "sbtnHighLightM"},
                                           RowCase{8, "\xD4\xD5\xD6", "sbtnHighLightY"},
                                           RowCase{9, "\xD7\xD8\xD9\xDA\xDB", "sbtnHighLightR"},
                                           RowCase{10, "\xDC\xA6\xDD", "sbtnHighLightW"}));

TEST(KanaRowHints, NameTheirRow)
{
    EXPECT_EQ(HighlightRows::Hint(2), QStringLiteral("「か行」で始まる名前の人をハイライト表示します。"));
    EXPECT_EQ(HighlightRows::Hint(0), QStringLiteral("ハイライト表示をやめ、通常の表示に戻します。"));
}

TEST(KanaRowKeys, LettersPickTheirRowsInEitherCase)
{
    const struct
    {
        const char* letters;
        int tag;
    } table[] = {{"AEIOUaeiou", 1}, {"GKgk", 2}, {"SZsz", 3}, {"DTdt", 4}, {"Nn", 5},        {"BHbh", 6},
                 {"Mm", 7},         {"Yy", 8},   {"Rr", 9},   {"Ww", 10},  {"XQCFJLPV1 ", 0}};
    for (const auto& row : table) {
        for (const char* p = row.letters; *p; ++p)
            EXPECT_EQ(HighlightRows::TagForCharacter(QLatin1Char(*p)), row.tag) << *p;
    }
    EXPECT_EQ(HighlightRows::TagForCharacter(QChar(u'か')), 0);
}

} // namespace
