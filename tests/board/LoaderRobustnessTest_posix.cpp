#include "board/BoardModel.h"
#include "board/MinuteScheduler.h"
#include "board/UserLoader.h"
#include "support/BoardFixtures.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A status file that fails every read attempt, even for root: a symbolic link to itself.
void makeUnreadable(const TestShare& share, const QString& name)
{
    const QByteArray path = QFile::encodeName(share.realPath() + name);
    ASSERT_EQ(::symlink(path.constData(), path.constData()), 0);
}

TEST(BoardModelLoading, WhileALoadWaitsTheOldBoardStaysWholeAndChangesWait)
{
    TestShare share;
    share.writeBytes(QStringLiteral("a.vrn"), memberFile(QStringLiteral("ｱ"), QStringLiteral("A")));
    share.writeBytes(QStringLiteral("b.vrn"), memberFile(QStringLiteral("ｲ"), QStringLiteral("B")));
    BoardModel model;
    model.SetDataSource(share.dataSource());
    model.Reload(AllMembers);
    ASSERT_EQ(model.MemberHigh(), 2);

    share.writeBytes(QStringLiteral("c.vrn"), memberFile(QStringLiteral("ｳ"), QStringLiteral("C")));
    makeUnreadable(share, QStringLiteral("zz.vrn"));
    MinuteScheduler scheduler(model);
    scheduler.SetInterval(TInterval{1, 0, 0});
    QSignalSpy memo(&scheduler, &MinuteScheduler::OnCheckMsg);

    int highSeen = -1;
    int foundB = -1;
    int memoDuringLoad = -1;
    TVurnaDataRec update = model.GetMember(2);
    update.Locate = "arrived during the load";
    // Fires while the files are being read, as a datagram or a timer would.
    QTimer::singleShot(0, &model, [&] {
        highSeen = model.MemberHigh();
        TVurnaDataRec r;
        foundB = model.FindMember(share.dataSource() + "B", r);
        scheduler.MinuteTick();
        scheduler.MinuteTick();
        model.UpdateMember(update);
        model.SetMember(2, update);
        memoDuringLoad = memo.count();
    });
    model.Reload(AllMembers);

    EXPECT_EQ(highSeen, 2); // the previous board, complete
    EXPECT_EQ(foundB, 2);
    EXPECT_EQ(memoDuringLoad, 0);
    ASSERT_EQ(model.MemberHigh(), 4);
    TVurnaDataRec b;
    // The unreadable member has an empty reading and sorts first, so B moved from 2 to 3.
    ASSERT_EQ(model.FindMember(share.dataSource() + "B", b), 3);
    EXPECT_EQ(b.Locate, "arrived during the load");
    // SetMember(2, B) waited too and found B again by its file, not by its old index.
    EXPECT_EQ(model.GetMember(2).Name, "A");
    EXPECT_EQ(model.GetMember(4).Name, "C");
    // Both held-back ticks ran, each once.
    EXPECT_TRUE(QTest::qWaitFor([&] { return memo.count() == 2; }, 5000));
}

struct OddFile
{
    const char* label;
    std::function<void(const TestShare&)> make;
};
class LoaderOddFiles : public ::testing::TestWithParam<OddFile>
{
};

TEST_P(LoaderOddFiles, LoadsTheRestWithoutHangingOrCrashing)
{
    TestShare share;
    share.writeBytes(QStringLiteral("a.vrn"), memberFile(QStringLiteral("ｱ"), QStringLiteral("A")));
    GetParam().make(share);
    TVurnaDataArray members;
    EXPECT_EQ(LoadUserFiles(share.dataSource(), members, AllMembers, false), AllMembersLoaded);
    ASSERT_EQ(members.size(), 3) << GetParam().label;
    EXPECT_EQ(members[2].Name, "A");
    EXPECT_TRUE(members[1].Name.isEmpty()); // the odd file loads as a member with empty fields
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoaderOddFiles,
    ::testing::Values(OddFile{"sparse file of 2 GiB",
                              [](const TestShare& s) {
                                  QFile f(s.realPath() + QStringLiteral("big.vrn"));
                                  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                                  ASSERT_TRUE(f.resize(2LL * 1024 * 1024 * 1024));
                              }},
                      OddFile{"named pipe", [](const TestShare& s) {
                                  ASSERT_EQ(
                                      ::mkfifo(QFile::encodeName(s.realPath() + QStringLiteral("fifo.vrn")).constData(),
                                               0644),
                                      0);
                              }}));

} // namespace
