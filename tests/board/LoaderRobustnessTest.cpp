#include "board/BoardModel.h"
#include "board/ChangeStamp.h"
#include "board/StatusText.h"
#include "board/UserFile.h"
#include "board/UserLoader.h"
#include "support/BoardFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

TEST(LoadUserFiles, ANameInTwoLetterCasesIsOneMember)
{
    TestShare share;
    share.writeBytes(QStringLiteral("dup.vrn"), memberFile(QStringLiteral("ｱ"), QStringLiteral("lower")));
    share.writeBytes(QStringLiteral("DUP.VRN"), memberFile(QStringLiteral("ｱ"), QStringLiteral("upper")));
    TVurnaDataArray members;
    LoadUserFiles(share.dataSource(), members, AllMembers, false);
    ASSERT_EQ(members.size(), 2);
    // The board shows the file that a single reload of the member reads.
    const QByteArray shown = members[1].Name;
    LoadUserFiles(share.dataSource(), members, share.dataSource() + "DUP", false);
    EXPECT_EQ(members[1].Name, shown);
}

TEST(LoadUserFiles, EmptyDirectoryMeansNoBoardNotTheWorkingFolder)
{
    TVurnaDataArray members{TVurnaDataRec{}, TVurnaDataRec{}};
    EXPECT_EQ(LoadUserFiles("", members, AllMembers, false), AllMembersLoaded);
    EXPECT_EQ(members.size(), 1);
}

TEST(LoadUserFiles, EqualKeysKeepListingOrderOnALargeBoard)
{
    // Forty equal keys: more than the insertion-sort threshold of an unstable sort.
    TestShare share;
    for (int i = 0; i < 40; ++i)
        share.writeBytes(QStringLiteral("m%1.vrn").arg(i),
                         memberFile(QStringLiteral("ｵﾅｼﾞ"), QStringLiteral("N%1").arg(i)));
    QList<QByteArray> listed;
    TVurnaDataArray unsorted;
    for (const QString& name : QDir(share.realPath()).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted))
        listed.append("N" + name.mid(1, name.indexOf(QLatin1Char('.')) - 1).toLatin1());
    TVurnaDataArray members;
    LoadUserFiles(share.dataSource(), members, AllMembers, false);
    QList<QByteArray> loaded;
    for (int i = 1; i < members.size(); ++i)
        loaded.append(members[i].Name);
    EXPECT_EQ(loaded, listed);
}

TEST(LoadUserFiles, FileTimeIsTheFilesLocalLastWriteAndTrailBytesSurviveUpperCasing)
{
    TestShare share;
    share.writeBytes(QStringLiteral("テスト.vrn"), memberFile(QStringLiteral("ﾃｽﾄ"), QStringLiteral("x")));
    const QDateTime onDisk = QFileInfo(share.realPath() + QStringLiteral("テスト.vrn")).lastModified();
    TVurnaDataArray members;
    LoadUserFiles(share.dataSource(), members, AllMembers, false);
    ASSERT_EQ(members.size(), 2);
    EXPECT_EQ(members[1].FileTime.toMSecsSinceEpoch(), onDisk.toMSecsSinceEpoch());
    EXPECT_EQ(members[1].FileName, share.dataSource() + sjis({0x83, 0x65, 0x83, 0x58, 0x83, 0x67}));
}

struct NumberCase
{
    QByteArray text;
    qint32 value;
};
class StatusFileNumbers : public ::testing::TestWithParam<NumberCase>
{
};

TEST_P(StatusFileNumbers, WholeValueMustBeANumber)
{
    TVurnaDataRec r;
    ParseUserFile(userFileText({"F", "N", "G", "I", "L", "D", "T", "W", "P", GetParam().text, GetParam().text}), r);
    EXPECT_EQ(r.StatusIndex, GetParam().value);
    EXPECT_EQ(r.DefaultOnExit, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Table, StatusFileNumbers,
                         ::testing::Values(NumberCase{"2", 2}, NumberCase{" 3 ", 3}, NumberCase{"-1", -1},
                                           NumberCase{"2x", 0}, NumberCase{"1.5", 0}, NumberCase{"", 0},
                                           NumberCase{"-", 0}, NumberCase{"99999999999", 0}));

TEST(DisplayStatusCode, AHugeStatusIndexNeverReadsAsOverdue)
{
    TVurnaDataRec r;
    r.Date = "away";
    r.StatusIndex = std::numeric_limits<qint32>::max();
    QByteArray text;
    int code = 0;
    GetStatusText(r, QDateTime(QDate(2026, 12, 8), QTime(9, 0)), text, code);
    EXPECT_GE(code, 4);
}

TEST(ChangeStampCounter, WrapsAtTheTopInsteadOfOverflowing)
{
    TestShare share;
    share.writeBytes(QStringLiteral("timestmp.dat"), "2147483647\r\nX\r\n");
    BoardModel model;
    model.SetDataSource(share.dataSource());
    EXPECT_EQ(model.TimeStamp(), 2147483647);
    model.CommitTimeStamp(share.dataSource() + "A");
    EXPECT_EQ(share.readBytes(QStringLiteral("timestmp.dat")), QByteArray("1\r\nA\r\n"));
}

TEST(BoardModelAccess, OutOfRangeIndexGivesAnEmptyRecord)
{
    BoardModel model;
    EXPECT_TRUE(model.GetMember(5).FileName.isEmpty());
    EXPECT_TRUE(model.GetMember(-1).FileName.isEmpty());
}

} // namespace
