#include "SiteFixture.h"
#include "platform/SharePath.h"

#include "platform/Cp932.h"
#include "store/NextWorkDay.h"
#include "store/ShareMoveTarget.h"

#include <QDir>

#include <vector>

namespace {

// ---------------------------------------------------------------- defaults

TEST_F(SiteFixture, CommentsAndBlankLinesGiveExactlyTheDefaults)
{
    ParmRec expected = own();
    ASSERT_TRUE(load(ini({"' vurna.ini of the sales floor", "", "   ", "\t' INTERVAL DENGONCHECK=1", "'UDPMESSAGE"})));
    EXPECT_TRUE(own() == expected);
    EXPECT_EQ(own().NewVersion, "0.00");
    EXPECT_EQ(own().UdpMode, 1);
    EXPECT_EQ(own().UdpPort, 1990);
    EXPECT_EQ(own().Interval, ParmRec::DefaultInterval());
    EXPECT_EQ(own().TimeTable.size(), 24);
    EXPECT_EQ(own().TimeTable.first(), "08:00");
    EXPECT_EQ(own().TimeTable.last(), "07:00");
    ASSERT_EQ(own().StatusTable.size(), 5);
    EXPECT_EQ(own().StatusTable.at(2).Name, cp932(QStringLiteral("不在(予定超過)")));
    EXPECT_EQ(own().StatusTable.at(4).Name, cp932(QStringLiteral("不在")));
}

TEST_F(SiteFixture, MissingFileGivesDefaultsAndSucceeds)
{
    ParmRec expected = own();
    ASSERT_TRUE(SiteConfig::Load(own().ShareDir, boards, 0, true, context));
    EXPECT_TRUE(own() == expected);
}

TEST_F(SiteFixture, ReloadForgetsTheOldSettingsButKeepsTheFilters)
{
    ASSERT_TRUE(load(ini({"UDPMESSAGE SEND=NO", "TIMETABLE=08:30", "CUSTOMICON NAME=x",
                          "WEEKEND=" + cp932(QStringLiteral("土日")), "SORTPRIORITY=USE"})));
    own().Filter.GroupFilterOn = true;
    own().Filter.CustomGroup = ",A,";
    ParmRec expected = own();
    ASSERT_TRUE(load(ini({"' nothing"})));
    EXPECT_EQ(own().UdpMode, 1);
    EXPECT_EQ(own().TimeTable, DefaultTimeTable());
    EXPECT_EQ(own().StatusTable.size(), 5);
    EXPECT_TRUE(own().StatusIcons.isEmpty());
    EXPECT_TRUE(own().Weekend.isEmpty());
    EXPECT_EQ(own().SortPriority, 0);
    EXPECT_EQ(own().Filter, expected.Filter);
}

// ---------------------------------------------------------------- datagrams

struct UdpCase
{
    const char* file;
    int mode;
    int port;
};
class UdpTable : public SiteFixture, public ::testing::WithParamInterface<UdpCase>
{
};

TEST_P(UdpTable, ModeAndPort)
{
    ASSERT_TRUE(load(GetParam().file));
    EXPECT_EQ(own().UdpMode, GetParam().mode) << GetParam().file;
    EXPECT_EQ(own().UdpPort, GetParam().port) << GetParam().file;
}

INSTANTIATE_TEST_SUITE_P(Table, UdpTable,
                         ::testing::Values(UdpCase{"' no UDPMESSAGE line\r\n", 1, 1990},
                                           UdpCase{"UDPMESSAGE SEND=IPDIRECT PORT=70000\r\n", 1, 1971},
                                           UdpCase{"UDPMESSAGE PORT=2000\r\n", 3, 2000},
                                           UdpCase{"UDPMESSAGE SEND=BROADCAST PORT=abc\r\n", 3, 1971},
                                           UdpCase{"udpmessage send=off\r\n", 0, 1971},
                                           UdpCase{"UDPMESSAGE SEND=No PORT=0\r\n", 0, 1971},
                                           UdpCase{"UDPMESSAGE SEND=ipdirect PORT=65535\r\n", 1, 65535}));

// ---------------------------------------------------------------- intervals

struct IntervalCase
{
    const char* line;
    int checkMsg;
    int lastCommit;
    int allFile;
};
class IntervalTable : public SiteFixture, public ::testing::WithParamInterface<IntervalCase>
{
};

TEST_P(IntervalTable, ClampedIntoRange)
{
    ASSERT_TRUE(load(ini({GetParam().line})));
    EXPECT_EQ(own().Interval.CheckMsg, GetParam().checkMsg) << GetParam().line;
    EXPECT_EQ(own().Interval.ReloadLastCommit, GetParam().lastCommit) << GetParam().line;
    EXPECT_EQ(own().Interval.ReloadAllFile, GetParam().allFile) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Table, IntervalTable,
    ::testing::Values(
        IntervalCase{"INTERVAL RELOADALLFILE=60 RELOADLASTCOMMIT=10 DENGONCHECK=3", 3, 10, 60},
        IntervalCase{"INTERVAL RELOADALLFILE=30", 5, 15, 60}, IntervalCase{"INTERVAL RELOADLASTCOMMIT=2", 5, 5, 180},
        IntervalCase{"INTERVAL DENGONCHECK=0", 0, 15, 180}, IntervalCase{"INTERVAL DENGONCHECK=5000", 1440, 15, 180},
        IntervalCase{"INTERVAL DENGONCHECK=-3", 0, 15, 180}, IntervalCase{"INTERVAL DENGONCHECK=1", 1, 15, 180},
        IntervalCase{"INTERVAL RELOADLASTCOMMIT=1441 RELOADALLFILE=70000", 5, 1440, 0},
        IntervalCase{"INTERVAL RELOADALLFILE=soon", 5, 15, 180},
        IntervalCase{"RELOADALLFILE=30", 5, 15, 180}, // no INTERVAL keyword
        IntervalCase{"interval reloadallfile=1440", 5, 15, 1440}));

// ---------------------------------------------------------------- sort priority

struct SortCase
{
    const char* line;
    int length;
};
class SortPriorityTable : public SiteFixture, public ::testing::WithParamInterface<SortCase>
{
};

TEST_P(SortPriorityTable, LengthFromLoadAndFromTheLoneReader)
{
    ASSERT_TRUE(load(ini({"' site", GetParam().line})));
    EXPECT_EQ(own().SortPriority, GetParam().length) << GetParam().line;
    EXPECT_EQ(SiteConfig::ReadSortPriority(own().ShareDir, context.retry), GetParam().length) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Table, SortPriorityTable,
                         ::testing::Values(SortCase{"SORTPRIORITY=USE LENGTH=12", 1}, SortCase{"SORTPRIORITY=USE", 1},
                                           SortCase{"SORTPRIORITY=NO", 0}, SortCase{"SORTPRIORITY=NO LENGTH=4", 0},
                                           SortCase{"sortpriority=use length=4", 4},
                                           SortCase{"SORTPRIORITY=USE LENGTH=10", 10},
                                           SortCase{"SORTPRIORITY=USE LENGTH=0", 1},
                                           SortCase{"SORTPRIORITY=USE LENGTH=x", 1},
                                           SortCase{"SORTPRIORITY=USE LENGTH", 1}));

TEST_F(SiteFixture, SortPriorityOfADirectoryWithoutFileIsZero)
{
    EXPECT_EQ(SiteConfig::ReadSortPriority(own().ShareDir + "NOWHERE/", context.retry), 0);
}

// ---------------------------------------------------------------- names, quotes and comments

TEST_F(SiteFixture, CustomIconNamesQuotedUnquotedAndUnclosed)
{
    const QByteArray sales = cp932(QStringLiteral("営業 外出"));
    ASSERT_TRUE(load(ini({"CUSTOMICON YELLOWICON=y1.ico REDICON=r1.ico NAME=\"" + sales + "\"",
                          "CUSTOMICON YELLOWICON=y2.ico REDICON=r2.ico NAME=" + sales,
                          "CUSTOMICON YELLOWICON=y3.ico REDICON=r3.ico NAME=\"" + sales,
                          "CUSTOMICON YELLOWICON=y4.ico REDICON=r4.ico NAME=\"it's\""})));
    const QByteArray back = cp932(QStringLiteral("(本日戻り)"));
    const QByteArray first = cp932(QStringLiteral("営業"));
    ASSERT_EQ(own().StatusTable.size(), 13);
    EXPECT_EQ(own().StatusTable.at(5), (StatusEntry{"y1.ico", sales + back}));
    EXPECT_EQ(own().StatusTable.at(6), (StatusEntry{"r1.ico", sales}));
    EXPECT_EQ(own().StatusTable.at(8), (StatusEntry{"r2.ico", first}));
    EXPECT_EQ(own().StatusTable.at(10), (StatusEntry{"r3.ico", ""}));
    // The apostrophe starts a comment even inside quotes: the quote is left unclosed.
    EXPECT_EQ(own().StatusTable.at(12), (StatusEntry{"r4.ico", ""}));
    EXPECT_EQ(own().MarkCount(), 5);
}

TEST_F(SiteFixture, CustomIconsFallBackToBuiltInPicturesWhenAFileIsMissing)
{
    share.writeBytes(QStringLiteral("Gaisyutu_Y.ico"), "icon 5");
    share.writeBytes(QStringLiteral("kaigi_y.ico"), "icon 7");
    share.writeBytes(QStringLiteral("kaigi_r.ico"), "icon 8");
    ASSERT_TRUE(
        load(ini({"CUSTOMICON YELLOWICON=GAISYUTU_Y.ICO REDICON=gaisyutu_r.ico NAME=" + cp932(QStringLiteral("外出")),
                  "CUSTOMICON YELLOWICON=kaigi_y.ico REDICON=kaigi_r.ico NAME=" + cp932(QStringLiteral("会議"))})));
    ASSERT_EQ(own().StatusTable.size(), 9);
    const QByteArray dir = own().ShareDir;
    ASSERT_EQ(own().StatusIcons.size(), 4);
    // The bytes come with the configuration: the window reads nothing from the share.
    EXPECT_EQ(own().StatusIcons.at(0), (StatusIcon{dir + "GAISYUTU_Y.ICO", 3, "icon 5"})); // entry 5
    EXPECT_EQ(own().StatusIcons.at(1), (StatusIcon{"", 4, ""}));                           // entry 6: missing
    EXPECT_EQ(own().StatusIcons.at(2), (StatusIcon{dir + "kaigi_y.ico", 3, "icon 7"}));    // entry 7
    EXPECT_EQ(own().StatusIcons.at(3), (StatusIcon{dir + "kaigi_r.ico", 4, "icon 8"}));    // entry 8
}

// ---------------------------------------------------------------- time table and calendar

TEST_F(SiteFixture, TwoTimeTableLinesReplaceTheDefaults)
{
    ASSERT_TRUE(load(ini({"TIMETABLE=late", "TIMETABLE=08:30", "TIMETABLE=\"17:15\"", "TIMETABLE=25:00"})));
    EXPECT_EQ(own().TimeTable, (QList<QByteArray>{"08:30", "17:15"}));
}

TEST_F(SiteFixture, AnUnreadableTimeTableLeavesTheDefaults)
{
    ASSERT_TRUE(load(ini({"TIMETABLE=noon"})));
    EXPECT_EQ(own().TimeTable, DefaultTimeTable());
}

TEST_F(SiteFixture, WorkDaysAndHolidaysNeedADateAndAName)
{
    const QByteArray work = cp932(QStringLiteral("出勤日"));
    const QByteArray holiday = cp932(QStringLiteral("創立記念日"));
    ASSERT_TRUE(load(ini({"WORKDAY=2004/05/01", "WORKDAY=2004/5/2," + work, "WORKDAY=2004/13/01," + work,
                          "WORKDAY=2004/05/03,", "HOLIDAY=2004/06/01," + holiday, "holiday=2004/06/02, " + holiday})));
    EXPECT_EQ(own().WorkDays, QList<QByteArray>{"2004/05/02" + work});
    EXPECT_EQ(own().Holidays, (QList<QByteArray>{"2004/06/01" + holiday, "2004/06/02" + holiday}));
}

TEST_F(SiteFixture, UpdateShortcutAndWeekend)
{
    ASSERT_TRUE(load(ini({"UPDATE=auto VERSION=\" 3.10 \" SILENT=yes", "SHORTCUTPROTECT=Yes",
                          "WEEKEND=" + cp932(QStringLiteral("土日")) + " ' Saturday and Sunday"})));
    EXPECT_TRUE(own().AutoUpdate);
    EXPECT_EQ(own().NewVersion, "3.10");
    EXPECT_TRUE(own().SilentUpdate);
    EXPECT_TRUE(own().ShortcutProtect);
    EXPECT_EQ(own().Weekend, cp932(QStringLiteral("土日")));
}

TEST_F(SiteFixture, UpdateOtherThanAutoChangesNothing)
{
    ASSERT_TRUE(load(ini({"UPDATE=MANUAL VERSION=3.10 SILENT=YES", "SHORTCUTPROTECT=NO"})));
    EXPECT_FALSE(own().AutoUpdate);
    EXPECT_EQ(own().NewVersion, "0.00");
    EXPECT_FALSE(own().SilentUpdate);
    EXPECT_FALSE(own().ShortcutProtect);
}

TEST_F(SiteFixture, WeekendLineThatCannotBeUsedIsLogged)
{
    context.memberName = cp932(QStringLiteral("山田太郎"));
    ASSERT_TRUE(load(ini({"WEEKEND=" + cp932(QStringLiteral("土日")), "  WEEKEND=Sat,Sun  ' weekend"})));
    EXPECT_EQ(own().Weekend, cp932(QStringLiteral("土日"))); // the earlier value stays
    const QByteArray expected =
        "24/03/08 09:05:07 Error    " + cp932(QStringLiteral("山田太郎")) + "   " +
        cp932(QStringLiteral("初期設定ファイルの｢WEEKEND=Sat,Sun｣パラメタは記述に問題があります。")) + "\r\n";
    EXPECT_EQ(share.readBytes(QStringLiteral("vurna.log")).toHex(' '), expected.toHex(' '));
    EXPECT_EQ(expected.indexOf(cp932(QStringLiteral("初期"))), 38);
}

TEST_F(SiteFixture, FaultsOfAnotherBoardAreLoggedInTheOwnBoard)
{
    TestShare other(QStringLiteral("other"));
    other.writeBytes(QStringLiteral("vurna.ini"), ini({"WEEKEND=SAT"}));
    ParmRec board;
    board.ShareDir = other.dataSource();
    boards.append(board);
    ASSERT_TRUE(SiteConfig::Load(board.ShareDir, boards, 1, false, context));
    EXPECT_FALSE(other.exists(QStringLiteral("vurna.log")));
    EXPECT_TRUE(share.readBytes(QStringLiteral("vurna.log")).contains("WEEKEND=SAT"));
}

TEST_F(SiteFixture, LogLinesWaitForTheAppenderInTheirOrder)
{
    std::vector<std::function<void()>> handed;
    context.logAppender = [&handed](std::function<void()> append) { handed.push_back(std::move(append)); };
    ASSERT_TRUE(load(ini({"WEEKEND=SAT", "WEEKEND=SUN"})));
    EXPECT_FALSE(share.exists(QStringLiteral("vurna.log")));
    for (const auto& append : handed)
        append();
    const QList<QByteArray> lines = share.readBytes(QStringLiteral("vurna.log")).split('\n');
    ASSERT_EQ(lines.size(), 3); // nothing after the last line's CR LF
    EXPECT_TRUE(lines[0].contains("WEEKEND=SAT") && lines[1].contains("WEEKEND=SUN"));
}

TEST_F(SiteFixture, UnreadableFileFailsTheLoadAndIsLogged)
{
    ASSERT_TRUE(QDir(share.realPath()).mkdir(QStringLiteral("vurna.ini")));
    EXPECT_FALSE(SiteConfig::Load(own().ShareDir, boards, 0, true, context));
    const QByteArray log = share.readBytes(QStringLiteral("vurna.log"));
    EXPECT_TRUE(log.endsWith(cp932(QStringLiteral(" 初期設定ファイルのロード中に「EInOutError」例外が発生しました。")) +
                             "\r\n"));
}

// ---------------------------------------------------------------- site custom groups

TEST_F(SiteFixture, ShareCustomGroupsFromGroupFiles)
{
    share.writeBytes(QStringLiteral("eigyo.grp"), "[ShareCustomGroup]\r\nYAMADA,SUZUKI\r\n");
    share.writeBytes(QStringLiteral("empty.grp"), "[ShareCustomGroup]\r\n");
    share.writeBytes(QStringLiteral("tanaka.ftr"), "[MyDirectory]\r\nSATO\r\nGroup\r\n\r\n\r\n\r\n");
    const QByteArray sales = cp932(QStringLiteral("営業"));
    ASSERT_TRUE(load(ini({"SHARECUSTOMGROUP FILE=eigyo.grp NAME=" + sales, "SHARECUSTOMGROUP FILE=empty.grp NAME=x",
                          "SHARECUSTOMGROUP FILE=none.grp NAME=y", "SHARECUSTOMGROUP FILE=TANAKA.FTR NAME=t"})));
    EXPECT_EQ(own().ShareCustomGroups, (QList<SiteCustomGroup>{{sales, "YAMADA,SUZUKI"}, {"t", "SATO"}}));
}

// ---------------------------------------------------------------- boards

TEST_F(SiteFixture, SharedirLinesAddBoardsToTheOwnBoardOnly)
{
    boards.append(ParmRec()); // a board of an earlier load: cut away
    const QByteArray name = cp932(QStringLiteral("本社 営業部"));
    const QByteArray text = ini({"SHAREDIR UNC=/Srv/Honsya NAME=\"" + name + "\"",
                                 "SHAREDIR UNC=/srv/osaka/ NAME=osaka SLOWLINE=no", "SHAREDIR NAME=nowhere"});
    ASSERT_TRUE(load(text));
    ASSERT_EQ(boards.size(), 3);
    EXPECT_EQ(boards[1].ShareDir, "/Srv/Honsya" + QByteArray(1, SharePath::nativeSeparator));
    EXPECT_EQ(boards[1].BoardName, name);
    EXPECT_TRUE(boards[1].SlowLine);
    EXPECT_EQ(boards[2].ShareDir, "/srv/osaka/");
    EXPECT_FALSE(boards[2].SlowLine);

    TestShare other(QStringLiteral("other"));
    other.writeBytes(QStringLiteral("vurna.ini"), text);
    ASSERT_TRUE(SiteConfig::Load(other.dataSource(), boards, 2, false, context));
    EXPECT_EQ(boards.size(), 3);
}

class RecordingMove final : public ShareMoveTarget
{
public:
    void WriteLocalSettings(ParmRec& ownBoard) override { written.append(ownBoard.ShareDir); }
    TVurnaDataRec LoadOwnIdentity() override { return identity; }
    void SaveOwnIdentity(const TVurnaDataRec& own) override { saved.append(own); }

    TVurnaDataRec identity;
    QList<QByteArray> written;
    QList<TVurnaDataRec> saved;
};

TEST_F(SiteFixture, ChangeSharedirToAMissingDirectoryStillAddsABoard)
{
    RecordingMove move;
    context.shareMove = &move;
    const QByteArray dir = own().ShareDir;
    ASSERT_TRUE(load(ini({"ChangeShareDir UNC=/no/such/dir", "UDPMESSAGE SEND=NO"})));
    EXPECT_EQ(own().ShareDir, dir);
    EXPECT_TRUE(move.written.isEmpty());
    EXPECT_TRUE(move.saved.isEmpty());
    ASSERT_EQ(boards.size(), 2);
    EXPECT_EQ(boards[1].ShareDir, "/no/such/dir" + QByteArray(1, SharePath::nativeSeparator));
    EXPECT_TRUE(boards[1].BoardName.isEmpty());
    EXPECT_EQ(own().UdpMode, 0);
}

TEST_F(SiteFixture, ChangeSharedirMovesTheOwnBoardAndReadsTheNewFile)
{
    TestShare moved(QStringLiteral("Moved"));
    moved.writeBytes(QStringLiteral("VURNA.INI"), ini({"UDPMESSAGE SEND=NO", "CUSTOMICON YELLOWICON=y.ico NAME=a"}));
    moved.writeBytes(QStringLiteral("y.ico"), "icon");
    RecordingMove move;
    move.identity.FileName = own().ShareDir + "YAMADA";
    move.identity.Name = "Yamada";
    context.shareMove = &move;
    ASSERT_TRUE(load(ini({"CHANGESHAREDIR UNC=" + QDir::toNativeSeparators(moved.realPath().chopped(1)).toUtf8(),
                          "INTERVAL DENGONCHECK=9"})));
    const QByteArray newDir = moved.dataSource();
    EXPECT_EQ(own().ShareDir, newDir);
    EXPECT_EQ(move.written, QList<QByteArray>{newDir});
    ASSERT_EQ(move.saved.size(), 1);
    EXPECT_EQ(move.saved[0].FileName, newDir + "YAMADA");
    EXPECT_EQ(move.saved[0].Name, "Yamada");
    EXPECT_EQ(own().UdpMode, 0);
    EXPECT_EQ(own().Interval.CheckMsg, 5); // the old file's remaining lines are not read
    ASSERT_EQ(own().StatusIcons.size(), 2);
    EXPECT_EQ(own().StatusIcons[0].IconPath, newDir + "y.ico");
    EXPECT_EQ(boards.size(), 1);
}

TEST_F(SiteFixture, ChangeSharedirKeepsAnEmptyOwnFileNameEmpty)
{
    TestShare moved(QStringLiteral("moved"));
    RecordingMove move;
    context.shareMove = &move;
    ASSERT_TRUE(load(ini({"CHANGESHAREDIR UNC=" + QDir::toNativeSeparators(moved.realPath()).toUtf8()})));
    EXPECT_EQ(own().ShareDir, moved.dataSource());
    EXPECT_TRUE(move.saved.isEmpty());
}

TEST_F(SiteFixture, ChangeSharedirCountsOnlyOnTheFirstLineOfTheOwnBoard)
{
    TestShare moved(QStringLiteral("moved"));
    const QByteArray dir = own().ShareDir;
    ASSERT_TRUE(load(ini({"' first", "CHANGESHAREDIR UNC=" + QDir::toNativeSeparators(moved.realPath()).toUtf8()})));
    EXPECT_EQ(own().ShareDir, dir);
    EXPECT_EQ(boards.size(), 2);
}

// ---------------------------------------------------------------- next working day

struct WorkDayCase
{
    const char* name;
    QDate today;
    const char* weekend; // UTF-8
    QList<QByteArray> workDays;
    QList<QByteArray> holidays;
    QByteArray expected;
};
class NextWorkDayTable : public ::testing::TestWithParam<WorkDayCase>
{
};

TEST_P(NextWorkDayTable, SkipsWeekendsAndHolidays)
{
    const WorkDayCase& c = GetParam();
    ParmRec rec;
    rec.Weekend = Cp932::fromUnicodeLossy(QString::fromUtf8(c.weekend));
    rec.WorkDays = c.workDays;
    rec.Holidays = c.holidays;
    EXPECT_EQ(NextWorkDay(rec, c.today), c.expected) << c.name;
}

const QDate friday(2024, 3, 8);
INSTANTIATE_TEST_SUITE_P(
    Table, NextWorkDayTable,
    ::testing::Values(
        WorkDayCase{"weekend and Monday holiday", friday, "土日", {}, {"2024/03/11holiday"}, "2024/03/12"},
        WorkDayCase{"Saturday working day", friday, "土日", {"2024/03/09work"}, {"2024/03/11holiday"}, "2024/03/09"},
        WorkDayCase{
            "working day beats holiday", friday, "土日", {"2024/03/11work"}, {"2024/03/11holiday"}, "2024/03/11"},
        WorkDayCase{"plain weekend", friday, "土日", {}, {}, "2024/03/11"},
        WorkDayCase{"no weekend", friday, "", {}, {}, "2024/03/09"},
        WorkDayCase{"Sunday only", friday, "日", {}, {}, "2024/03/09"},
        WorkDayCase{"midweek", QDate(2024, 3, 6), "土日", {}, {}, "2024/03/07"},
        WorkDayCase{
            "year end", QDate(2024, 12, 31), "土日", {}, {"2025/01/01a", "2025/01/02b", "2025/01/03c"}, "2025/01/06"},
        WorkDayCase{"every day off", friday, "月火水木金土日", {}, {}, "2024/03/09"}));

} // namespace
