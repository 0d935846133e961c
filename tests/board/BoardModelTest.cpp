#include "board/BoardModel.h"
#include "BoardModelFixture.h"
#include "board/ChangeStamp.h"
#include "board/UserLoader.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST_F(BoardModelFixture, ShowsTheBoardAfterAFullReload)
{
    ASSERT_EQ(model.MemberHigh(), 3);
    EXPECT_EQ(model.GetMember(1).Name, cp932(QStringLiteral("阿部")));
    EXPECT_EQ(model.TimeStamp(), 41);
    EXPECT_EQ(model.LastCommitFile(), path("ABE"));
    EXPECT_EQ(model.IndexOfMember("C:\\elsewhere\\UEDA"), 3); // only the file-name part counts
    EXPECT_EQ(model.IndexOfMember(path("NOBODY")), -1);
    // A name that only ends like a member's is not that member.
    EXPECT_EQ(model.IndexOfMember(path("EDA")), -1);
    EXPECT_EQ(model.IndexOfMember("DA"), -1);
    TVurnaDataRec found;
    EXPECT_EQ(model.FindMember(path("ITO"), found), 2);
    EXPECT_EQ(found.Name, cp932(QStringLiteral("伊藤")));
}

TEST_F(BoardModelFixture, LookUpNeverSplitsADoubleByteName)
{
    // ソ is 83 5C: its trail byte is a backslash, which must not start a file-name part.
    share.writeBytes(QStringLiteral("aソb.vrn"), memberFile(QStringLiteral("ｱｿﾋﾞ"), QStringLiteral("阿曽")));
    model.Reload(AllMembers);
    const QByteArray name = "A" + sjis({0x83, 0x5C}) + "B";
    EXPECT_GE(model.IndexOfMember("C:\\OTHER\\" + name), 1);
    EXPECT_EQ(model.IndexOfMember("B"), -1);
    EXPECT_EQ(model.IndexOfMember("\\B"), -1);
}

TEST_F(BoardModelFixture, GroupListIsDistinctAndSorted)
{
    QList<QByteArray> groups;
    model.GetGroupList(groups);
    EXPECT_EQ(groups, (QList<QByteArray>{cp932(QStringLiteral("ＳＡＬＥＳ")), cp932(QStringLiteral("総務"))}));
}

TEST_F(BoardModelFixture, CommitTimeStampWritesTheNextCounterAndTheBareName)
{
    model.CommitTimeStamp(path("UEDA"));
    EXPECT_EQ(share.readBytes(QStringLiteral("timestmp.dat")), QByteArray("42\r\nUEDA\r\n"));
    EXPECT_EQ(model.TimeStamp(), 42);
    EXPECT_EQ(model.LastCommitFile(), path("UEDA"));
    EXPECT_FALSE(model.ReadTimeStamp()); // the writer does not reload its own change

    share.writeBytes(QStringLiteral("timestmp.dat"), "43\r\n  ITO \r\n");
    EXPECT_TRUE(model.ReadTimeStamp());
    EXPECT_EQ(model.TimeStamp(), 43);
    EXPECT_EQ(model.LastCommitFile(), path("ITO"));

    model.CommitTimeStamp(share.dataSource() + "  "); // blank name: nothing happens
    EXPECT_EQ(share.readBytes(QStringLiteral("timestmp.dat")), QByteArray("43\r\n  ITO \r\n"));
}

struct StampCase
{
    QByteArray text;
    qint32 counter;
    QByteArray name;
};
class ChangeStampText : public ::testing::TestWithParam<StampCase>
{
};

TEST_P(ChangeStampText, Parses)
{
    const ChangeStamp::Content c = ChangeStamp::parse(GetParam().text);
    EXPECT_EQ(c.counter, GetParam().counter);
    EXPECT_EQ(c.name, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Table, ChangeStampText,
                         ::testing::Values(StampCase{"", 0, ""}, StampCase{"abc\r\nX\r\n", 0, "X"},
                                           StampCase{"  17\r\nX\r\n", 17, "X"}, StampCase{"-5\r\n", -5, ""},
                                           StampCase{"12x\r\nY", 12, "Y"}, StampCase{"99999999999\r\nZ\r\n", 0, "Z"}));

TEST_F(BoardModelFixture, UpdateMemberMatchesTheExactFileName)
{
    QSignalSpy changed(&model, &BoardModel::OnChangeDB);
    QSignalSpy invalidated(&model, &BoardModel::MemberChanged);
    TVurnaDataRec r = model.GetMember(2);
    r.Locate = "Osaka";
    EXPECT_TRUE(model.UpdateMember(r));
    EXPECT_EQ(model.GetMember(2).Locate, "Osaka");
    EXPECT_EQ(invalidated.count(), 1);
    EXPECT_EQ(invalidated.at(0).at(0).toByteArray(), r.FileName);

    r.FileName = r.FileName.toLower();
    EXPECT_FALSE(model.UpdateMember(r));
    EXPECT_EQ(changed.count(), 1);
}

} // namespace
