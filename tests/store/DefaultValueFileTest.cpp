#include "store/DefaultValueFile.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

namespace {

struct ReadCase
{
    const char* name;
    QByteArray text;
    QByteArray returnTime;
    qint32 statusMark;
    QByteArray locate;
};

class DefaultValueRead : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(DefaultValueRead, ReadsTheValuesInOrder)
{
    const ReadCase& c = GetParam();
    const TVurnaDefaultValue value = DefaultValueFile::ParseDefaultValue(c.text);
    EXPECT_EQ(value.ReturnTime, c.returnTime);
    EXPECT_EQ(value.StatusMark, c.statusMark);
    EXPECT_EQ(value.Locate, c.locate);
}

const QByteArray kitaku = sjis({0x8B, 0x41, 0x91, 0xEE}); // 帰宅
const QByteArray kaigi = sjis({0x89, 0xEF, 0x8B, 0x63});  // 会議
const QByteArray honsha = sjis({0x96, 0x7B, 0x8E, 0xD0}); // 本社
const QByteArray so = sjis({0x83, 0x5C});                 // ソ: its trail byte is a backslash

INSTANTIATE_TEST_SUITE_P(
    Files, DefaultValueRead,
    ::testing::Values(
        ReadCase{"ThreeValues", "\"10:30\"\r\n\"2\"\r\n\"" + kaigi + "\"", "10:30", 2, kaigi},
        ReadCase{"Empty", "", "09:00", 0, kitaku},
        ReadCase{"TwoLineDestination", "\"10:30\"\r\n\"1\"\r\n\"" + kaigi + "\r\n" + honsha + "\"", "10:30", 1,
                 kaigi + "\r\n" + honsha},
        ReadCase{"NotANumber", "\"10:30\"\r\n\"x2\"\r\n\"" + kaigi + "\"", "10:30", 0, kaigi},
        ReadCase{"EmptyReturnTime", "\"\"\r\n\"3\"\r\n\"" + kaigi + "\"", "", 3, kaigi},
        ReadCase{"BlanksTrimmedInsideQuotes", "\" 10:30 \"\r\n\" 2\"\r\n\"  " + kaigi + " \"", "10:30", 2, kaigi},
        ReadCase{"UnquotedLineSwallowsTheRest", "\"10:30\"\r\nabc\r\n\"2\"\r\n\"" + kaigi + "\"", "10:30", 0, kitaku},
        ReadCase{"LineEndingInQuoteEndsTheValueEarly", "\"10:30\"\r\n\"0\"\r\n\"" + kaigi + "\"\r\n" + honsha + "\"",
                 "10:30", 0, kaigi},
        ReadCase{"TrailByteBackslashKept", "\"08:00\"\r\n\"0\"\r\n\"" + so + "\"", "08:00", 0, so},
        ReadCase{"BareLineFeeds", "\"11:00\"\n\"1\"\n\"" + kaigi + "\"", "11:00", 1, kaigi},
        ReadCase{"OnlyTheTime", "\"07:45\"", "07:45", 0, kitaku}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DefaultValueFile, WritesQuotedValuesWithoutAFinalBreakAndReadsThemBack)
{
    TestShare share;
    const QByteArray path = share.dataSource() + "YAMADA.def";
    TVurnaDefaultValue value;
    value.ReturnTime = "";
    value.StatusMark = 2;
    value.Locate = kaigi + "\r\n" + honsha;
    ASSERT_TRUE(DefaultValueFile::WriteDefaultValue(path, value));
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.def")), "\"\"\r\n\"2\"\r\n\"" + kaigi + "\r\n" + honsha + "\"");
    const TVurnaDefaultValue back = DefaultValueFile::ReadDefaultValue(path);
    EXPECT_EQ(back.ReturnTime, "");
    EXPECT_EQ(back.StatusMark, 2);
    EXPECT_EQ(back.Locate, value.Locate);
}

TEST(DefaultValueFile, MissingFileGivesTheBuiltInDefaultsAndNoNameWritesNothing)
{
    TestShare share;
    const TVurnaDefaultValue missing = DefaultValueFile::ReadDefaultValue(share.dataSource() + "NOBODY.def");
    EXPECT_EQ(missing.ReturnTime, "09:00");
    EXPECT_EQ(missing.StatusMark, 0);
    EXPECT_EQ(missing.Locate, kitaku);
    EXPECT_FALSE(DefaultValueFile::WriteDefaultValue(share.dataSource() + ".def", TVurnaDefaultValue()));
    EXPECT_FALSE(share.exists(QStringLiteral(".def")));
}

} // namespace
