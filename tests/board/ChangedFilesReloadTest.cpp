#include "board/BoardModel.h"
#include "board/MinuteScheduler.h"
#include "board/UserLoader.h"
#include "support/BoardFixtures.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

void setWriteTime(const TestShare& share, const QString& name, const QDateTime& time)
{
    QFile f(share.realPath() + name);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
}

// Writes a member file that was last written an hour ago, as most of a board is.
void writeOld(const TestShare& share, const QString& name, const QByteArray& text)
{
    share.writeBytes(name, text);
    setWriteTime(share, name, QDateTime::currentDateTimeUtc().addSecs(-3600));
}

// Rewrites a member file with other bytes of the same length and gives it back its time: a
// change that neither the size nor the time in the listing shows.
void rewriteUnseen(const TestShare& share, const QString& name, const QString& newName)
{
    const QDateTime time = QFileInfo(share.realPath() + name).lastModified();
    share.writeBytes(name, memberFile(QStringLiteral("ｱ"), newName));
    setWriteTime(share, name, time);
}

void writeBoard(const TestShare& share)
{
    writeOld(share, QStringLiteral("a.vrn"), memberFile(QStringLiteral("ｱ"), QStringLiteral("A")));
    writeOld(share, QStringLiteral("b.vrn"), memberFile(QStringLiteral("ｲ"), QStringLiteral("B")));
    writeOld(share, QStringLiteral("c.vrn"), memberFile(QStringLiteral("ｳ"), QStringLiteral("C")));
    writeOld(share, QStringLiteral("d.vrn"), memberFile(QStringLiteral("ｴ"), QStringLiteral("D")));
    share.writeBytes(QStringLiteral("c.off"), "");
}

struct ShareChange
{
    const char* label;
    std::function<void(const TestShare&)> beforeFirstLoad;
    std::function<void(const TestShare&)> change;
};
void PrintTo(const ShareChange& change, std::ostream* out)
{
    *out << change.label;
}
class ChangedFilesReload : public ::testing::TestWithParam<ShareChange>
{
};

TEST_P(ChangedFilesReload, GivesTheBoardAFullLoadGives)
{
    TestShare share;
    writeBoard(share);
    if (GetParam().beforeFirstLoad)
        GetParam().beforeFirstLoad(share);
    TVurnaDataArray board;
    LoadedFiles loaded;
    ASSERT_EQ(LoadAllMembers(share.dataSource(), board, false, loaded), AllMembersLoaded);
    GetParam().change(share);

    TVurnaDataArray full;
    LoadUserFiles(share.dataSource(), full, AllMembers, false);
    for (int round = 1; round <= 2; ++round) {
        ASSERT_EQ(ReloadChangedMembers(share.dataSource(), board, false, loaded), AllMembersLoaded);
        EXPECT_EQ(board, full) << GetParam().label << ", reload " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChangedFilesReload,
    ::testing::Values(
        ShareChange{"one member's file rewritten, moving up the board", nullptr,
                    [](const TestShare& s) {
                        s.writeBytes(QStringLiteral("d.vrn"), memberFile(QStringLiteral("ｱｱ"), QStringLiteral("D2")));
                    }},
        ShareChange{"a new member", nullptr,
                    [](const TestShare& s) {
                        s.writeBytes(QStringLiteral("e.vrn"), memberFile(QStringLiteral("ｵ"), QStringLiteral("E")));
                    }},
        ShareChange{"a member removed", nullptr,
                    [](const TestShare& s) { ASSERT_TRUE(QFile::remove(s.realPath() + QStringLiteral("b.vrn"))); }},
        ShareChange{"same size and time, first written within two seconds of the listing",
                    [](const TestShare& s) {
                        s.writeBytes(QStringLiteral("a.vrn"), memberFile(QStringLiteral("ｱ"), QStringLiteral("A")));
                    },
                    [](const TestShare& s) { rewriteUnseen(s, QStringLiteral("a.vrn"), QStringLiteral("Z")); }},
        ShareChange{"one stop marker removed, another made", nullptr,
                    [](const TestShare& s) {
                        ASSERT_TRUE(QFile::remove(s.realPath() + QStringLiteral("c.off")));
                        s.writeBytes(QStringLiteral("A.OFF"), "");
                    }},
        ShareChange{"a file renamed to another letter case", nullptr, [](const TestShare& s) {
                        ASSERT_TRUE(QFile::rename(s.realPath() + QStringLiteral("b.vrn"),
                                                  s.realPath() + QStringLiteral("B.VRN")));
                    }}));

// The minute's reload reads only what the listing shows changed; a full load reads it all.
TEST(ChangedFilesReload, PeriodicReloadSkipsFilesListedAsBeforeAndAFullLoadDoesNot)
{
    TestShare share;
    writeBoard(share);
    BoardModel model;
    model.SetDataSource(share.dataSource());
    model.Reload(AllMembers);
    MinuteScheduler scheduler(model);
    scheduler.SetInterval(TInterval{0, 0, 1});

    rewriteUnseen(share, QStringLiteral("a.vrn"), QStringLiteral("Z"));
    share.writeBytes(QStringLiteral("b.vrn"), memberFile(QStringLiteral("ｲ"), QStringLiteral("B2")));
    scheduler.MinuteTick();
    EXPECT_EQ(model.GetMember(1).Name, "A");
    EXPECT_EQ(model.GetMember(2).Name, "B2");

    model.Reload(AllMembers);
    EXPECT_EQ(model.GetMember(1).Name, "Z");
}

} // namespace
