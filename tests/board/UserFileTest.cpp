#include "board/UserFile.h"
#include "support/BoardFixtures.h"

#include <gtest/gtest.h>

namespace {

const QByteArray so = sjis({0x83, 0x5C});  // ソ
const QByteArray hyo = sjis({0x95, 0x5C}); // 表

TEST(ParseUserFile, AllTwelveValuesWithBackslashTrailBytes)
{
    const QByteArray text = userFileText({sjis({0xBF}) + "x", so + hyo, "sales", "123", so + "\r\n" + hyo, "2026/12/09",
                                          "17:00", "090-1234", "192.168.1.5", "2", "1", "3"});
    TVurnaDataRec r;
    ParseUserFile(text, r);
    EXPECT_EQ(r.Furigana, sjis({0xBF}) + "x");
    EXPECT_EQ(r.Name, so + hyo);
    EXPECT_EQ(r.Group, cp932(QStringLiteral("ＳＡＬＥＳ")));
    EXPECT_EQ(r.InnerLine, "123");
    EXPECT_EQ(r.Locate, so + "\r\n" + hyo);
    EXPECT_EQ(r.Date, "2026/12/09");
    EXPECT_EQ(r.Time, "17:00");
    EXPECT_EQ(r.WarningCall, "090-1234");
    EXPECT_EQ(r.IP, "192.168.1.5");
    EXPECT_EQ(r.StatusIndex, 2);
    EXPECT_EQ(r.DefaultOnExit, 1);
    EXPECT_EQ(r.SortPrefix, "3");
}

TEST(ParseUserFile, AValueOverThreeLinesIsOneValue)
{
    const QByteArray text = "\"a\"\r\n\"b\"\r\n\"g\"\r\n\"i\"\r\n\"line1\r\nline2\r\nline3\"\r\n\"2026/01/02\"";
    TVurnaDataRec r;
    ParseUserFile(text, r);
    EXPECT_EQ(r.Locate, "line1\r\nline2\r\nline3");
    EXPECT_EQ(r.Date, "2026/01/02");
}

struct Partial
{
    const char* label;
    QByteArray text;
    QByteArray furigana, locate, date, sortPrefix;
    qint32 statusIndex;
};
class ParseUserFileCounts : public ::testing::TestWithParam<Partial>
{
};

TEST_P(ParseUserFileCounts, ValuesMissingFromTheTextKeepTheirOldValue)
{
    const Partial& p = GetParam();
    TVurnaDataRec r;
    r.Date = "old-date";
    r.SortPrefix = "9";
    r.StatusIndex = 7;
    ParseUserFile(p.text, r);
    EXPECT_EQ(r.Furigana, p.furigana) << p.label;
    EXPECT_EQ(r.Locate, p.locate) << p.label;
    EXPECT_EQ(r.Date, p.date) << p.label;
    EXPECT_EQ(r.SortPrefix, p.sortPrefix) << p.label;
    EXPECT_EQ(r.StatusIndex, p.statusIndex) << p.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseUserFileCounts,
    ::testing::Values(
        Partial{"five values", userFileText({"F", "N", "G", "I", "L"}), "F", "L", "old-date", "9", 7},
        Partial{"thirteen values", userFileText({"F", "N", "G", "I", "L", "D", "T", "W", "P", "1", "0", "5", "extra"}),
                "F", "L", "D", "5", 1},
        Partial{"blank lines between values", "\"F\"\r\n\r\n\"N\"\r\n\r\n\r\n\"G\"", "F", "", "old-date", "9", 7},
        Partial{"a line without quotes loses what follows", "\"F\"\r\nbroken\r\n\"N\"\r\n\"G\"", "F", "", "old-date",
                "9", 7},
        Partial{"letter as status index", userFileText({"F", "N", "G", "I", "L", "D", "T", "W", "P", "x", "0", ""}),
                "F", "L", "D", "", 0},
        Partial{"LF and CR line ends", "\"F\"\n\"N\"\r\"G\"\n\"I\"\n\"L1\nL2\"", "F", "L1\r\nL2", "old-date", "9", 7},
        Partial{"blanks inside quotes are trimmed", "\"  F \t\"", "F", "", "old-date", "9", 7}));

struct GroupCase
{
    QByteArray stored;
    QString expected;
};
class GroupNormalisation : public ::testing::TestWithParam<GroupCase>
{
};

TEST_P(GroupNormalisation, ReadsAsFullWidthUpperCase)
{
    TVurnaDataRec r;
    ParseUserFile(userFileText({"F", "N", GetParam().stored}), r);
    EXPECT_EQ(r.Group, cp932(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, GroupNormalisation,
    ::testing::Values(GroupCase{" sales ", QStringLiteral("ＳＡＬＥＳ")},
                      GroupCase{sjis({0xB4, 0xB2, 0xB7, 0xDE, 0xAE, 0xB3}), QStringLiteral("エイギョウ")}, // ｴｲｷﾞｮｳ
                      GroupCase{"", QStringLiteral("未設定")}, GroupCase{"   ", QStringLiteral("未設定")},
                      GroupCase{sjis({0x89, 0x63, 0x8B, 0xC6}) + "1", QStringLiteral("営業１")}));

TEST(BuildUserFileText, PresentMemberIsWrittenByteForByte)
{
    TVurnaDataRec r;
    r.Furigana = sjis({0xD4, 0xCF, 0xC0, 0xDE}); // ﾔﾏﾀﾞ
    r.Name = cp932(QStringLiteral("山田ソ表"));
    r.Group = cp932(QStringLiteral("営業"));
    r.InnerLine = "201";
    r.IP = "192.168.1.20";
    const QByteArray expected =
        "\"" + sjis({0xD4, 0xCF, 0xC0, 0xDE}) + "\"\r\n\"" + sjis({0x8E, 0x52, 0x93, 0x63, 0x83, 0x5C, 0x95, 0x5C}) +
        "\"\r\n\"" + sjis({0x89, 0x63, 0x8B, 0xC6}) +
        "\"\r\n\"201\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"192.168.1.20\"\r\n\"0\"\r\n\"0\"\r\n\"\"";
    EXPECT_EQ(BuildUserFileText(r).toHex(' '), expected.toHex(' '));
}

TEST(BuildUserFileText, ReadsBackAsWritten)
{
    TVurnaDataRec r;
    r.Furigana = "F";
    r.Name = so + hyo;
    r.Group = cp932(QStringLiteral("ＳＡＬＥＳ"));
    r.Locate = "first\r\nsecond";
    r.Date = "2026/12/10";
    r.Time = "09:30";
    r.StatusIndex = 3;
    r.DefaultOnExit = 1;
    r.SortPrefix = "2";
    TVurnaDataRec back;
    ParseUserFile(BuildUserFileText(r), back);
    EXPECT_EQ(back, r);
}

} // namespace
