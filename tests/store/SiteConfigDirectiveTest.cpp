#include "SiteFixture.h"

#include "platform/Cp932.h"
#include "platform/SharePath.h"

#include <QDir>

namespace {

// ---------------------------------------------------------------- where keywords are found

// One line of a file and what it leaves in the record: keywords count anywhere in the line,
// on character boundaries only, and one line may feed directives of several kinds.
struct DirectiveCase
{
    const char* name;
    QByteArray line;
    int udpMode;
    int udpPort;
    int checkMsg;
    int boards;
    int statusEntries;
};

class DirectiveTable : public SiteFixture, public ::testing::WithParamInterface<DirectiveCase>
{
};

TEST_P(DirectiveTable, KeywordsAnywhereOnCharacterBoundaries)
{
    const DirectiveCase& c = GetParam();
    ASSERT_TRUE(load(c.line + "\r\n")) << c.name;
    EXPECT_EQ(own().UdpMode, c.udpMode) << c.name;
    EXPECT_EQ(own().UdpPort, c.udpPort) << c.name;
    EXPECT_EQ(own().Interval.CheckMsg, c.checkMsg) << c.name;
    EXPECT_EQ(boards.size(), c.boards) << c.name;
    EXPECT_EQ(own().StatusTable.size(), c.statusEntries) << c.name;
}

// 0x83 followed by an ASCII capital is one double-byte character (83 53, 83 55, 83 49), so
// the keyword that seems to follow it starts one letter late and is not there.
INSTANTIATE_TEST_SUITE_P(
    Table, DirectiveTable,
    ::testing::Values(
        DirectiveCase{"interval and datagrams on one line", "INTERVAL DENGONCHECK=3 UDPMESSAGE SEND=NO", 0, 1971, 3, 1,
                      5},
        DirectiveCase{"datagram keyword after its value", "PORT=2000 UDPMESSAGE", 3, 2000, 5, 1, 5},
        DirectiveCase{"icon keyword after the name", "NAME=x CUSTOMICON YELLOWICON=a.ico REDICON=b.ico", 1, 1990, 5, 1,
                      7},
        DirectiveCase{"board keyword after a word", "x SHAREDIR UNC=/srv/x", 1, 1990, 5, 2, 5},
        DirectiveCase{"SHAREDIR behind a lead byte", sjis({0x83}) + "SHAREDIR UNC=/srv/x", 1, 1990, 5, 1, 5},
        DirectiveCase{"UDPMESSAGE behind a lead byte", sjis({0x83}) + "UDPMESSAGE SEND=NO", 1, 1990, 5, 1, 5},
        DirectiveCase{"INTERVAL behind a lead byte", sjis({0x83}) + "INTERVAL DENGONCHECK=3", 1, 1990, 5, 1, 5},
        DirectiveCase{"bare CR between two directives", "UDPMESSAGE SEND=NO\rINTERVAL DENGONCHECK=3 \r", 0, 1971, 3, 1,
                      5},
        DirectiveCase{"bare CR after a port", "UDPMESSAGE SEND=IPDIRECT PORT=2001\rSHAREDIR UNC=/srv/x", 1, 2001, 5, 2,
                      5}));

TEST_F(SiteFixture, IconKeywordAfterTheNameStillNamesTheEntries)
{
    ASSERT_TRUE(load(ini({"NAME=x CUSTOMICON YELLOWICON=a.ico REDICON=b.ico"})));
    ASSERT_EQ(own().StatusTable.size(), 7);
    EXPECT_EQ(own().StatusTable.at(5), (StatusEntry{"a.ico", "x" + cp932(QStringLiteral("(本日戻り)"))}));
    EXPECT_EQ(own().StatusTable.at(6), (StatusEntry{"b.ico", "x"}));
}

TEST_F(SiteFixture, BareCrEndsTheBoardDirectory)
{
    ASSERT_TRUE(load("SHAREDIR UNC=/srv/x\rNAME=y\r\n"));
    ASSERT_EQ(boards.size(), 2);
    EXPECT_EQ(boards[1].ShareDir, "/srv/x" + QByteArray(1, SharePath::nativeSeparator));
    EXPECT_EQ(boards[1].BoardName, "y");
}

// ---------------------------------------------------------------- update version

struct VersionCase
{
    const char* line;
    bool autoUpdate;
    QByteArray version;
    bool silent;
};

class VersionTable : public SiteFixture, public ::testing::WithParamInterface<VersionCase>
{
};

TEST_P(VersionTable, VersionKeepsItsLetterCase)
{
    ASSERT_TRUE(load(ini({GetParam().line})));
    EXPECT_EQ(own().AutoUpdate, GetParam().autoUpdate) << GetParam().line;
    EXPECT_EQ(own().NewVersion, GetParam().version) << GetParam().line;
    EXPECT_EQ(own().SilentUpdate, GetParam().silent) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Table, VersionTable,
                         ::testing::Values(VersionCase{"UPDATE=AUTO VERSION=3.10b", true, "3.10b", false},
                                           VersionCase{"update=auto version=3.10B silent=Yes", true, "3.10B", true},
                                           VersionCase{"UPDATE=AUTO", true, "", false},
                                           VersionCase{"UPDATE=AUTO SILENT=NO VERSION=", true, "", false},
                                           VersionCase{"UPDATE=NEVER VERSION=3.10b", false, "0.00", false}));

// ---------------------------------------------------------------- directories

// テ is 83 65 and ト is 83 67: their trail bytes are the letters e and g, which upper-casing
// must leave alone or the path names another directory.
TEST_F(SiteFixture, ChangeSharedirKeepsTrailBytesThatLookLikeSmallLetters)
{
    const QString name = QStringLiteral("テト");
    TestShare moved(name);
    moved.writeBytes(QStringLiteral("vurna.ini"), ini({"UDPMESSAGE SEND=NO"}));
    // No move target: the own board still moves, only the local settings stay unwritten.
    ASSERT_EQ(context.shareMove, nullptr);
    ASSERT_TRUE(load(ini({"changesharedir unc=" + Cp932::fromUnicodeLossy(QDir::toNativeSeparators(moved.realPath())),
                          "UDPMESSAGE PORT=2"})));
    const QByteArray newDir = moved.dataSource();
    ASSERT_TRUE(newDir.contains(sjis({0x83, 0x65, 0x83, 0x67}))) << newDir.toHex(' ').constData();
    EXPECT_EQ(own().ShareDir.toHex(' '), newDir.toHex(' '));
    EXPECT_EQ(own().UdpMode, 0);    // read from the new directory's file
    EXPECT_EQ(own().UdpPort, 1971); // not from the old file's remaining line
    EXPECT_EQ(boards.size(), 1);
}

} // namespace
