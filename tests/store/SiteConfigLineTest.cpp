#include "store/SiteConfigLine.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

using namespace SiteConfigLine;

namespace {

struct ValueCase
{
    const char* name;
    QByteArray line;
    QByteArray key;
    QByteArray value;
};
class TakeValueTable : public ::testing::TestWithParam<ValueCase>
{
};

TEST_P(TakeValueTable, FindsTheFirstKeyAnywhere)
{
    const ValueCase& c = GetParam();
    EXPECT_EQ(TakeValue(c.line, c.key).toHex(' '), c.value.toHex(' ')) << c.name;
}

// 営業 一課 in CP932; ク is 83 4E, whose trail byte is the letter N.
const QByteArray eigyo = sjis({0x89, 0x63, 0x8B, 0xC6});
const QByteArray ikka = sjis({0x88, 0xEA, 0x89, 0xDB});
const QByteArray ku = sjis({0x83, 0x4E});
const QByteArray so = sjis({0x83, 0x5C});

INSTANTIATE_TEST_SUITE_P(
    Table, TakeValueTable,
    ::testing::Values(ValueCase{"quoted keeps blanks", "CUSTOMICON NAME=\"" + eigyo + " " + ikka + "\" REDICON=r.ico",
                                "NAME=", eigyo + " " + ikka},
                      ValueCase{"unquoted ends at blank", "CUSTOMICON NAME=" + eigyo + " " + ikka, "NAME=", eigyo},
                      ValueCase{"unclosed quote", "CUSTOMICON NAME=\"" + eigyo + " " + ikka, "NAME=", ""},
                      ValueCase{"ends at comma", "WORKDAY=2004/05/01,x", "WORKDAY=", "2004/05/01"},
                      ValueCase{"ends at tab", "A=1\tB=2", "A=", "1"},
                      ValueCase{"ends at a bare CR", "SEND=NO\rPORT=1", "SEND=", "NO"},
                      ValueCase{"ends at another control character", "NAME=a\001b", "NAME=", "a"},
                      ValueCase{"CR inside quotes kept", "NAME=\"a\rb\"", "NAME=", "a\rb"},
                      ValueCase{"key in any case", "udpmessage port=2000", "PORT=", "2000"},
                      ValueCase{"letter case of value kept", "SHAREDIR UNC=/Srv/Sales", "UNC=", "/Srv/Sales"},
                      ValueCase{"absent key", "UDPMESSAGE SEND=NO", "PORT=", ""},
                      ValueCase{"empty value", "UDPMESSAGE PORT= SEND=NO", "PORT=", ""},
                      ValueCase{"key inside another key", "SURNAME=abc NAME=def", "NAME=", "abc"},
                      ValueCase{"trail byte N is not a key", ku + "AME=x NAME=y", "NAME=", "y"},
                      ValueCase{"trail byte 5C inside value", "NAME=" + so + "ft x", "NAME=", so + "ft"},
                      ValueCase{"stray lead byte keeps the blank", "NAME=a" + sjis({0x83}) + " B=1",
                                "NAME=", "a" + sjis({0x83})}));

struct PrepareCase
{
    QByteArray raw;
    QByteArray prepared;
};
class PrepareLineTable : public ::testing::TestWithParam<PrepareCase>
{
};

TEST_P(PrepareLineTable, CutsCommentAndTrims)
{
    EXPECT_EQ(PrepareLine(GetParam().raw), GetParam().prepared);
}

INSTANTIATE_TEST_SUITE_P(Table, PrepareLineTable,
                         ::testing::Values(PrepareCase{"' only a comment", ""}, PrepareCase{" \t PORT=1 \r", "PORT=1"},
                                           PrepareCase{"NAME=\"a'b\" ' note", "NAME=\"a"},
                                           PrepareCase{"UNC=/x ' SLOWLINE=NO", "UNC=/x"}));

TEST(SplitLines, AcceptsCrLfAndBareLineFeeds)
{
    EXPECT_EQ(SplitLines("a\r\nb\nc\r\n"), (QList<QByteArray>{"a", "b", "c"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb"), (QList<QByteArray>{"a", "", "b"}));
    EXPECT_TRUE(SplitLines("").isEmpty());
}

struct IntCase
{
    QByteArray text;
    std::optional<qint32> value;
};
class ParseIntegerTable : public ::testing::TestWithParam<IntCase>
{
};

TEST_P(ParseIntegerTable, WholeNumbersOnly)
{
    EXPECT_EQ(ParseInteger(GetParam().text), GetParam().value) << GetParam().text.constData();
}

INSTANTIATE_TEST_SUITE_P(Table, ParseIntegerTable,
                         ::testing::Values(IntCase{"60", 60}, IntCase{"-3", -3}, IntCase{"+7", 7}, IntCase{"0", 0},
                                           IntCase{"70000", 70000}, IntCase{"", std::nullopt},
                                           IntCase{"-", std::nullopt}, IntCase{"12a", std::nullopt},
                                           IntCase{"1.5", std::nullopt}, IntCase{"99999999999", std::nullopt},
                                           IntCase{"2147483647", 2147483647}));

} // namespace
