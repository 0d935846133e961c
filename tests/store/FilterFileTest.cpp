#include "store/FilterFile.h"
#include "store/MemberList.h"
#include "support/TestShare.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

ParmRecList threeBoards()
{
    ParmRecList boards(3);
    boards[0].ShareDir = "/SRV/OWN/";
    boards[1].ShareDir = "/Srv/Honsya/";
    boards[2].ShareDir = "/srv/osaka/";
    return boards;
}

TEST(FilterFileBuild, OwnBoardSectionWithGroupFilter)
{
    ParmRecList boards(1);
    boards[0].ShareDir = "/SRV/OWN/";
    boards[0].Filter.CustomGroup = "A,B,"; // as the editor builds it
    boards[0].Filter.GroupFilterOn = true;
    boards[0].Filter.CheckedGroups = ',' + cp932(QStringLiteral("営業")) + ',';
    const QByteArray expected = "[MyDirectory]\r\nA,B\r\nGroup\r\n" + cp932(QStringLiteral("営業")) + "\r\n\r\n\r\n";
    EXPECT_EQ(FilterFile::Build(boards).toHex(' '), expected.toHex(' '));
}

TEST(FilterFileBuild, EveryBoardInOrderWithoutOuterCommas)
{
    ParmRecList boards = threeBoards();
    boards[1].Filter = {",,YAMADA,SUZUKI,,", true, ",,", true, ",3,4,5,"};
    boards[2].Filter.StatusFilterOn = true;
    boards[2].Filter.CheckedStatus = ",1,";
    const QByteArray expected = "[MyDirectory]\r\n\r\n\r\n\r\n\r\n\r\n"
                                "[/Srv/Honsya/]\r\nYAMADA,SUZUKI\r\nGroup,Status\r\n\r\n3,4,5\r\n\r\n"
                                "[/srv/osaka/]\r\n\r\nStatus\r\n\r\n1\r\n\r\n";
    EXPECT_EQ(FilterFile::Build(boards), expected);
}

TEST(FilterFileWrite, WritesTheFileAndSkipsAMemberWithoutFileName)
{
    TestShare share;
    ParmRecList boards = threeBoards();
    boards[0].Filter.CustomGroup = ",A,";
    ASSERT_TRUE(FilterFile::Write(share.dataSource() + "YAMADA.ftr", boards, RetryPolicy{1, 0, {}}));
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.ftr")), FilterFile::Build(boards));
    EXPECT_FALSE(FilterFile::Write(".ftr", boards, RetryPolicy{1, 0, {}}));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath(QStringLiteral(".ftr"))));
}

TEST(FilterFileRead, SectionsGoToTheBoardsTheyName)
{
    TestShare share;
    share.writeBytes(QStringLiteral("yamada.ftr"), "[MyDirectory]\r\nA,B\r\nGroup\r\n" + cp932(QStringLiteral("営業")) +
                                                       "\r\n\r\n\r\n"
                                                       "[/gone/]\r\nGONE\r\nGroup,Status\r\nX\r\n9\r\n\r\n"
                                                       "[/srv/osaka/]\r\nC\r\nStatus\r\n\r\n3,4\r\n\r\n"
                                                       "[/SRV/HONSYA/]\r\nD\r\nGroup\r\nY\r\n2\r\n\r\n");
    ParmRecList boards = threeBoards();
    ASSERT_TRUE(FilterFile::Read(share.dataSource() + "YAMADA.ftr", boards, RetryPolicy{1, 0, {}}));
    EXPECT_EQ(boards[0].Filter, (FilterState{",A,B,", true, ',' + cp932(QStringLiteral("営業")) + ',', false, ",,"}));
    EXPECT_EQ(boards[2].Filter, (FilterState{",C,", false, ",,", true, ",3,4,"}));
    // A header in another letter case names no board: its lines run the counter past 5.
    EXPECT_EQ(boards[1].Filter, FilterState());
}

TEST(FilterFileRead, FirstSectionIsTheOwnBoardWhateverItsHeader)
{
    ParmRecList boards = threeBoards();
    FilterFile::Apply("[SomethingElse]\r\nA\r\nStatus\r\n\r\n7\r\n", boards);
    EXPECT_EQ(boards[0].Filter, (FilterState{",A,", false, ",,", true, ",7,"}));
}

TEST(FilterFileRead, OwnDirectoryListedAsAnotherBoardKeepsBothStates)
{
    ParmRecList boards = threeBoards();
    boards[1].ShareDir = boards[0].ShareDir;
    FilterFile::Apply("[MyDirectory]\r\nOWN\r\n\r\n\r\n\r\n\r\n[/SRV/OWN/]\r\nOTHER\r\n\r\n\r\n\r\n\r\n", boards);
    EXPECT_EQ(boards[0].Filter.CustomGroup, ",OWN,");
    EXPECT_EQ(boards[1].Filter.CustomGroup, ",OTHER,");
}

TEST(FilterFileRead, RoundTripKeepsTheFilters)
{
    ParmRecList boards = threeBoards();
    boards[0].Filter = {",A,B,", true, ",G1,G2,", false, ""};
    boards[2].Filter = {"", false, "", true, ",0,5,"};
    ParmRecList read = threeBoards();
    FilterFile::Apply(FilterFile::Build(boards), read);
    EXPECT_EQ(read[0].Filter, (FilterState{",A,B,", true, ",G1,G2,", false, ",,"}));
    EXPECT_EQ(read[2].Filter, (FilterState{",,", false, ",,", true, ",0,5,"}));
    EXPECT_EQ(FilterFile::Build(read), FilterFile::Build(boards));
}

TEST(FilterFileRead, MissingFileChangesNothing)
{
    TestShare share;
    ParmRecList boards = threeBoards();
    boards[0].Filter.GroupFilterOn = true;
    EXPECT_FALSE(FilterFile::Read(share.dataSource() + "NOBODY.ftr", boards, RetryPolicy{1, 0, {}}));
    EXPECT_TRUE(boards[0].Filter.GroupFilterOn);
}

struct GroupFileCase
{
    const char* name;
    QByteArray content;
    QByteArray members;
};
class GroupFileTable : public ::testing::TestWithParam<GroupFileCase>
{
};

TEST_P(GroupFileTable, SecondLineUnderAKnownHeader)
{
    TestShare share;
    share.writeBytes(QStringLiteral("group.txt"), GetParam().content);
    EXPECT_EQ(FilterFile::ReadGroupDefinition(share.dataSource() + "GROUP.TXT", RetryPolicy{1, 0, {}}),
              GetParam().members)
        << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Table, GroupFileTable,
                         ::testing::Values(GroupFileCase{"site group", "[ShareCustomGroup]\r\nA,B\r\n", "A,B"},
                                           GroupFileCase{"filter file", "[MyDirectory]\r\n,A,\r\nGroup\r\n", ",A,"},
                                           GroupFileCase{"header with blanks", " [ShareCustomGroup]\t\r\nA\r\n", "A"},
                                           GroupFileCase{"header only", "[ShareCustomGroup]\r\n", ""},
                                           GroupFileCase{"unknown header", "[Group]\r\nA,B\r\n", ""},
                                           GroupFileCase{"empty file", "", ""}));

TEST(GroupFile, MissingFileDefinesNothing)
{
    TestShare share;
    EXPECT_TRUE(FilterFile::ReadGroupDefinition(share.dataSource() + "NONE.GRP", RetryPolicy{1, 0, {}}).isEmpty());
}

struct NormaliseCase
{
    QByteArray in;
    QByteArray out;
};
class NormaliseTable : public ::testing::TestWithParam<NormaliseCase>
{
};

TEST_P(NormaliseTable, OuterCommasOnBothEnds)
{
    EXPECT_EQ(MemberList::Normalise(GetParam().in), GetParam().out) << GetParam().in.constData();
}

INSTANTIATE_TEST_SUITE_P(Table, NormaliseTable,
                         ::testing::Values(NormaliseCase{"A,B,", ",A,B,"}, NormaliseCase{",A,B,", ",A,B,"},
                                           NormaliseCase{"A,B", ",A,B,"}, NormaliseCase{" A ", ",A,"},
                                           NormaliseCase{",", ""}, NormaliseCase{",,", ""}, NormaliseCase{" , ", ""},
                                           NormaliseCase{"", ""}, NormaliseCase{"\r\n", ""}));

TEST(MemberListContains, WholeKeysOnly)
{
    const QByteArray so = sjis({0x83, 0x5C});
    EXPECT_TRUE(MemberList::Contains("A,B", "A"));
    EXPECT_TRUE(MemberList::Contains(",A,B,", "B"));
    EXPECT_FALSE(MemberList::Contains("AB,C", "A"));
    EXPECT_FALSE(MemberList::Contains("A,B", ""));
    EXPECT_TRUE(MemberList::Contains("X," + so + ",", so));
    EXPECT_EQ(MemberList::StripOuterCommas(",,A,,B,,"), "A,,B");
    EXPECT_EQ(MemberList::StripOuterCommas(",,,"), "");
}

} // namespace
