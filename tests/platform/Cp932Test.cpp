// The same bytes from every copy, whether it converts with ICU (Linux) or with Windows itself.
#include "platform/Cp932.h"
#include "platform/KanaWidth.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

namespace {

// Characters in a form CP932 holds read back as themselves; those typed in another form (a Linux
// input method's, a newer kanji shape) take the form Windows writes for them.
struct Form
{
    QString text;
    QByteArray bytes;
    bool readsBack;
};
class Cp932Form : public ::testing::TestWithParam<Form>
{
};

TEST_P(Cp932Form, IsWrittenAsThoseBytes)
{
    const Cp932::Encoded e = Cp932::fromUnicode(GetParam().text);
    ASSERT_TRUE(e.ok) << e.unmappable.toStdString();
    EXPECT_EQ(e.bytes.toHex(' '), GetParam().bytes.toHex(' '));
    EXPECT_TRUE(Cp932::isValid(e.bytes));
    if (GetParam().readsBack) {
        EXPECT_EQ(Cp932::toUnicode(e.bytes), GetParam().text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Cp932Form,
    ::testing::Values(
        Form{QStringLiteral("ソ表ｱﾞ ｰ"), sjis({0x83, 0x5C, 0x95, 0x5C, 0xB1, 0xDE, 0x20, 0xB0}), true},
        Form{QStringLiteral("髙﨑纊"), sjis({0xFB, 0xFC, 0xFA, 0xB1, 0xFA, 0x5C}), true},
        Form{QStringLiteral("①≒ⅰ"), sjis({0x87, 0x40, 0x81, 0xE0, 0xFA, 0x40}), true}, // of two forms, Windows' one
        Form{QStringLiteral("～－￢\uE000"), sjis({0x81, 0x60, 0x81, 0x7C, 0x81, 0xCA, 0xF0, 0x40}), true},
        Form{QStringLiteral("\u301C\u2212\u2016\u2014"), sjis({0x81, 0x60, 0x81, 0x7C, 0x81, 0x61, 0x81, 0x5C}), false},
        Form{QStringLiteral("\u00A5\u203E\u00A6\u525D"), sjis({0x5C, 0x7E, 0xFA, 0x55, 0x94, 0x8D}), false},
        Form{QStringLiteral("a\u200B\uFEFFb"), "ab", false})); // invisible characters drop out

// A refusal names each character once, in order, and writes nothing; the lossy form marks each.
struct Refusal
{
    QString text;
    QString unmappable;
    QByteArray lossy;
};
class Cp932Refusal : public ::testing::TestWithParam<Refusal>
{
};

TEST_P(Cp932Refusal, NamesTheCharacters)
{
    const Cp932::Encoded e = Cp932::fromUnicode(GetParam().text);
    EXPECT_FALSE(e.ok);
    EXPECT_TRUE(e.bytes.isEmpty());
    EXPECT_EQ(e.unmappable, GetParam().unmappable);
    EXPECT_EQ(Cp932::fromUnicodeLossy(GetParam().text).toHex(' '), GetParam().lossy.toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(Table, Cp932Refusal,
                         ::testing::Values(Refusal{QStringLiteral("山¬☺x☺¢"), QStringLiteral("¬☺¢"),
                                                   sjis({0x8E, 0x52, 0x3F, 0x3F, 0x78, 0x3F, 0x3F})},
                                           Refusal{QStringLiteral("Ā£"), QStringLiteral("Ā£"), "??"}, // no best fit 'A'
                                           Refusal{QStringLiteral("a\U0001F600"), QStringLiteral("\U0001F600"), "a?"},
                                           Refusal{QStringLiteral("\u0080\uF8F0"), QStringLiteral("\u0080\uF8F0"),
                                                   "??"})); // Windows' own 80 and A0

struct Decoding
{
    QByteArray bytes;
    QString text;
};
class Cp932Decoding : public ::testing::TestWithParam<Decoding>
{
};

TEST_P(Cp932Decoding, ShowsEachInvalidSequenceAsOneReplacement)
{
    EXPECT_EQ(Cp932::toUnicode(GetParam().bytes), GetParam().text);
    EXPECT_FALSE(Cp932::isValid(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Cp932Decoding,
    ::testing::Values(Decoding{sjis({0x41, 0xFD, 0x42}), QStringLiteral("A\uFFFDB")},
                      Decoding{sjis({0x80, 0xA0, 0xFF}), QStringLiteral("\uFFFD\uFFFD\uFFFD")},
                      Decoding{sjis({0x81, 0x20, 0x83, 0x5C}),
                               QStringLiteral("\uFFFD ソ")}, // no trail byte: the next starts afresh
                      Decoding{sjis({0x85, 0x40, 0xB1}), QStringLiteral("\uFFFDｱ")}, // a pair without a character
                      Decoding{sjis({0x8E, 0x52, 0x83}), QStringLiteral("山\uFFFD")}));

// Readings in half-width katakana, groups in full-width upper case; the byte forms agree.
struct Mapping
{
    QString in, out;
};
class ReadingKana : public ::testing::TestWithParam<Mapping>
{
};
class GroupWidth : public ::testing::TestWithParam<Mapping>
{
};

TEST_P(ReadingKana, Maps)
{
    EXPECT_EQ(KanaWidth::toHalfwidthKatakana(GetParam().in), GetParam().out);
    EXPECT_EQ(KanaWidth::toHalfwidthKatakana(cp932(GetParam().in)).toHex(' '), cp932(GetParam().out).toHex(' '));
}

TEST_P(GroupWidth, Maps)
{
    EXPECT_EQ(KanaWidth::toFullwidthUpper(GetParam().in), GetParam().out);
    EXPECT_EQ(KanaWidth::toFullwidthUpper(cp932(GetParam().in)).toHex(' '), cp932(GetParam().out).toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(Table, ReadingKana,
                         ::testing::Values(Mapping{QStringLiteral("やまだ　たろう"), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ")},
                                           Mapping{QStringLiteral("ぱーてぃーヴ"), QStringLiteral("ﾊﾟｰﾃｨｰｳﾞ")},
                                           Mapping{QStringLiteral("サトウ ｻﾄｳ"), QStringLiteral("ｻﾄｳ ｻﾄｳ")},
                                           Mapping{QStringLiteral("ＡＢｃ１＼"), QStringLiteral("ABc1\\")},
                                           Mapping{QStringLiteral("か゛いすゞヶ"),
                                                   QStringLiteral("ｶ゛ｲｽヾヶ")})); // no half-width form: kept

INSTANTIATE_TEST_SUITE_P(Table, GroupWidth,
                         ::testing::Values(Mapping{QStringLiteral("sales ｴｲｷﾞｮｳ"),
                                                   QStringLiteral("ＳＡＬＥＳ　エイギョウ")},
                                           Mapping{QStringLiteral("ﾊﾟｰﾄ ｳﾞ"), QStringLiteral("パート　ヴ")},
                                           Mapping{QStringLiteral("営業1課ａ"), QStringLiteral("営業１課Ａ")},
                                           Mapping{QStringLiteral("a\\b~"), QStringLiteral("Ａ＼Ｂ～")},
                                           Mapping{QStringLiteral("ひらがな゛"), QStringLiteral("ひらがな゛")}));

TEST(KanaWidthBytes, TextThatIsNotCp932StaysAsItIs)
{
    const QByteArray broken = sjis({0x61, 0xFD});
    EXPECT_EQ(KanaWidth::toFullwidthUpper(broken), broken);
    EXPECT_EQ(KanaWidth::toHalfwidthKatakana(broken), broken);
}

} // namespace
