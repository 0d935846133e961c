#include "board/MinuteScheduler.h"
#include "BoardModelFixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

class Minutes : public BoardModelFixture
{
protected:
    MinuteScheduler scheduler{model};
};

TEST_F(Minutes, TickRunsEachJobWhenItsPeriodIsReached)
{
    scheduler.SetInterval(TInterval{2, 3, 0});
    QSignalSpy memo(&scheduler, &MinuteScheduler::OnCheckMsg);
    QSignalSpy minute(&scheduler, &MinuteScheduler::OnIntervalTimer);
    QSignalSpy arrange(&model, &BoardModel::OrderChanged);
    QSignalSpy changed(&model, &BoardModel::OnChangeDB);

    share.writeBytes(QStringLiteral("ueda.vrn"), memberFile(QStringLiteral("ｱｱ"), QStringLiteral("上田2")));
    share.writeBytes(QStringLiteral("timestmp.dat"), "50\r\nUEDA\r\n");
    scheduler.MinuteTick();
    scheduler.MinuteTick();
    EXPECT_EQ(memo.count(), 1);
    EXPECT_EQ(arrange.count(), 0);
    scheduler.MinuteTick();
    EXPECT_EQ(arrange.count(), 1);
    EXPECT_EQ(changed.count(), 0); // the change-stamp path raises no change event
    EXPECT_EQ(model.GetMember(1).Name, cp932(QStringLiteral("上田2")));
    EXPECT_EQ(model.TimeStamp(), 50);
    EXPECT_EQ(minute.count(), 3);
    EXPECT_EQ(scheduler.MinCounter().ReloadLastCommit, 0);
    EXPECT_EQ(scheduler.MinCounter().CheckMsg, 1);
}

TEST_F(Minutes, ChangeStampOffIsNeverPolled)
{
    scheduler.SetInterval(TInterval{0, 0, 0});
    share.writeBytes(QStringLiteral("timestmp.dat"), "60\r\nUEDA\r\n");
    for (int i = 0; i < 30; ++i)
        scheduler.MinuteTick();
    EXPECT_EQ(model.TimeStamp(), 41);
    EXPECT_EQ(scheduler.MinCounter().ReloadLastCommit, 0);
}

TEST_F(Minutes, ADatagramRestartsTheChangeStampCount)
{
    scheduler.SetInterval(TInterval{0, 15, 0});
    share.writeBytes(QStringLiteral("timestmp.dat"), "60\r\nUEDA\r\n");
    for (int i = 0; i < 14; ++i)
        scheduler.MinuteTick();
    scheduler.RestartChangeStampCount();
    for (int i = 0; i < 14; ++i)
        scheduler.MinuteTick();
    EXPECT_EQ(model.TimeStamp(), 41);
    scheduler.MinuteTick();
    EXPECT_EQ(model.TimeStamp(), 60);
}

TEST_F(Minutes, StampNamingAMemberNewerThanTheLastFullLoad)
{
    scheduler.SetInterval(TInterval{0, 1, 0});
    share.writeBytes(QStringLiteral("newbie.vrn"), memberFile(QStringLiteral("ｱｱ"), QStringLiteral("新人")));
    share.writeBytes(QStringLiteral("timestmp.dat"), "42\r\nNEWBIE\r\n");
    QSignalSpy arrange(&model, &BoardModel::OrderChanged);
    scheduler.MinuteTick();
    EXPECT_EQ(model.MemberHigh(), 3);
    EXPECT_EQ(arrange.count(), 1);
}

TEST_F(Minutes, FullReloadPicksUpNewAndDeletedMembersAndResetsTheLook)
{
    scheduler.SetInterval(TInterval{0, 0, 2});
    share.writeBytes(QStringLiteral("newbie.vrn"), memberFile(QStringLiteral("ｱｱ"), QStringLiteral("新人")));
    QFile::remove(share.realPath() + QStringLiteral("abe.vrn"));
    QSignalSpy look(&model, &BoardModel::MembersReset);
    scheduler.MinuteTick();
    EXPECT_EQ(model.GetMember(1).Name, cp932(QStringLiteral("阿部")));
    scheduler.MinuteTick();
    EXPECT_EQ(model.GetMember(1).Name, cp932(QStringLiteral("新人")));
    EXPECT_EQ(model.MemberHigh(), 3);
    EXPECT_EQ(look.count(), 1);
}

TEST_F(Minutes, OneFullReloadSoonAfterTheStartFindsColleaguesWhoStartedMeanwhile)
{
    scheduler.SetInterval(TInterval{0, 0, 60});
    share.writeBytes(QStringLiteral("newbie.vrn"), memberFile(QStringLiteral("ｱｱ"), QStringLiteral("新人")));
    QSignalSpy look(&model, &BoardModel::MembersReset);
    scheduler.MinuteTick();
    EXPECT_EQ(look.count(), 0);
    scheduler.MinuteTick();
    EXPECT_EQ(look.count(), 1);
    EXPECT_EQ(model.GetMember(1).Name, cp932(QStringLiteral("新人")));
    for (int minute = 3; minute < 60; ++minute)
        scheduler.MinuteTick();
    EXPECT_EQ(look.count(), 1) << "once; then the site's period";
}

TEST_F(Minutes, EventsDuringALoadWaitUntilItIsDone)
{
    scheduler.SetInterval(TInterval{1, 0, 0});
    QSignalSpy memo(&scheduler, &MinuteScheduler::OnCheckMsg);
    int highDuringLoad = -1;
    bool updateApplied = false;
    TVurnaDataRec update = model.GetMember(1);
    update.Locate = "during load";
    // What a retry wait would let in: a tick and a datagram arrive while the array is rebuilt.
    QObject::connect(&model, &BoardModel::BusyChanged, [&](bool busy) {
        if (!busy)
            return;
        highDuringLoad = model.MemberHigh();
        scheduler.MinuteTick();
        updateApplied = model.UpdateMember(update);
        EXPECT_EQ(memo.count(), 0);
    });
    model.Reload(AllMembers);
    EXPECT_TRUE(updateApplied);
    // The held-back tick runs from the event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return memo.count() == 1; }, 5000));
    EXPECT_EQ(model.GetMember(1).Locate, "during load");
    EXPECT_EQ(highDuringLoad, 3);
}

} // namespace
