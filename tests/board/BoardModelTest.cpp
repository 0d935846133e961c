#include "board/BoardModel.h"
#include "BoardModelFixture.h"
#include "board/ChangeStamp.h"
#include "board/StatusNotifier.h"
#include "board/UserLoader.h"
#include "board/UserStatusWriter.h"

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

class RecordingNotifier final : public StatusNotifier
{
public:
    void SendStatusNotice(const TVurnaDataRec& r) override { statuses.append(r.FileName); }
    void SendRunningNotice(const TVurnaDataRec&, bool running) override { runnings.append(running); }
    QList<QByteArray> statuses;
    QList<bool> runnings;
};

TEST_F(BoardModelFixture, WriteUserFileUpdatesBoardFileOwnRecordAndNotifies)
{
    TVurnaDataRec own = model.GetMember(2);
    UserStatusWriter writer(model, own);
    RecordingNotifier notifier;
    writer.SetNotifier(&notifier);

    TVurnaDataRec r = model.GetMember(2);
    r.Locate = cp932(QStringLiteral("会議室"));
    r.Date = "2026/12/09";
    writer.WriteUserFile(r);
    EXPECT_EQ(model.GetMember(2).Locate, r.Locate);
    EXPECT_EQ(own.Locate, r.Locate);
    EXPECT_EQ(share.readBytes(QStringLiteral("Ito.vrn")).split('\n').at(4), "\"" + r.Locate + "\"\r");
    EXPECT_EQ(notifier.statuses, QList<QByteArray>{path("ITO")});
    EXPECT_EQ(share.readBytes(QStringLiteral("timestmp.dat")), QByteArray("41\r\nABE\r\n")); // left to the caller

    TVurnaDataRec other = model.GetMember(3);
    other.Locate = "x";
    writer.WriteUserFile(other);
    EXPECT_EQ(own.Locate, r.Locate);
}

TEST_F(BoardModelFixture, StopMarkerFollowsTheOwnProgram)
{
    TVurnaDataRec own = model.GetMember(1);
    UserStatusWriter writer(model, own);
    RecordingNotifier notifier;
    writer.SetNotifier(&notifier);

    writer.SetStopMarker(true);
    EXPECT_TRUE(share.exists(QStringLiteral("ABE.off")));
    EXPECT_FALSE(own.Running);
    EXPECT_EQ(share.readBytes(QStringLiteral("timestmp.dat")), QByteArray("42\r\nABE\r\n"));
    writer.SetStopMarker(false);
    EXPECT_FALSE(share.exists(QStringLiteral("ABE.off")));
    EXPECT_TRUE(own.Running);
    EXPECT_EQ(notifier.runnings, (QList<bool>{false, true}));
    EXPECT_EQ(model.TimeStamp(), 43);

    TVurnaDataRec guest;
    UserStatusWriter guestWriter(model, guest);
    guestWriter.SetStopMarker(true);
    EXPECT_EQ(model.TimeStamp(), 43);
}

} // namespace
