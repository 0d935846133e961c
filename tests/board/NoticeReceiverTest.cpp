#include "NoticeFixture.h"
#include "board/Datagram.h"
#include "platform/SharePath.h"
#include "platform/ShareQueue.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>

namespace {

const QByteArray Osaka = sjis({0x91, 0xE5, 0x8D, 0xE3}); // 大阪
const QByteArray Kaigi = sjis({0x89, 0xEF, 0x8B, 0x63}); // 会議
const QByteArray Eod = "\x01Vrn3_Eod";

QByteArray status(const QByteArray& path, const QByteArray& icon, const QByteArray& locate)
{
    return "\x01Vrn3_Dat" + path + "\x01Vrn3_Date2026/12/09\x01Vrn3_Time17:00\x01Vrn3_Icon" + icon + "\x01Vrn3_Locate" +
           locate + Eod;
}

// ---------------------------------------------------------------------------------------------
// Receiving: what a datagram does to the member ITO (present, running at 192.168.1.30, mark 3)

struct ReceiveCase
{
    const char* name;
    QByteArray text;
    QByteArray sender;
    bool running;
    QByteArray ip;
    QByteArray locate;
    QByteArray date;
    QByteArray time;
    qint32 statusIndex;
    bool restartsStampCount;
};

class Receiving : public NoticeOffice, public ::testing::WithParamInterface<ReceiveCase>
{
};

const QByteArray Other = "192.168.1.30";
const QByteArray Own = "192.168.1.20";

TEST_P(Receiving, AppliesWhatTheDatagramSays)
{
    const ReceiveCase& c = GetParam();
    ASSERT_TRUE(copy->notice->StartListener("127.0.0.1"));
    ASSERT_EQ(copy->notice->GetOwnAddress(), Own);
    copy->scheduler.SetInterval(TInterval{0, 15, 0});
    copy->scheduler.MinuteTick();
    ASSERT_EQ(copy->scheduler.MinCounter().ReloadLastCommit, 1);
    const TVurnaDataRec before = copy->member("ITO");
    const TVurnaDataRec uedaBefore = copy->member("UEDA");

    copy->notice->HandleDatagram(c.text, c.sender);

    const TVurnaDataRec after = copy->member("ITO");
    EXPECT_EQ(after.Running, c.running);
    EXPECT_EQ(after.IP, c.ip);
    EXPECT_EQ(after.Locate, c.locate);
    EXPECT_EQ(after.Date, c.date);
    EXPECT_EQ(after.Time, c.time);
    EXPECT_EQ(after.StatusIndex, c.statusIndex);
    EXPECT_EQ(after.FileName, before.FileName);
    EXPECT_EQ(after.Name, before.Name);
    EXPECT_EQ(after.FileTime, before.FileTime);
    EXPECT_EQ(copy->scheduler.MinCounter().ReloadLastCommit, c.restartsStampCount ? 0 : 1);
    EXPECT_EQ(copy->member("UEDA"), uedaBefore);
    EXPECT_EQ(copy->model.GetMember(0), TVurnaDataRec{}); // the placeholder is nobody
    EXPECT_TRUE(copy->status.texts.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, Receiving,
    ::testing::Values(
        ReceiveCase{"TwoLineLocateArrivesAsTwoLines", status("\\SRV\\SHARE\\ITO", "2", Osaka + "\r\n" + Kaigi), Other,
                    true, Other, Osaka + "\r\n" + Kaigi, "2026/12/09", "17:00", 2, true},
        ReceiveCase{"PathInAnotherDirectoryNamesTheSameMember", status("C:\\ELSEWHERE\\ITO", "1", "x"), Other, true,
                    Other, "x", "2026/12/09", "17:00", 1, true},
        ReceiveCase{"StatusFromOwnAddressIgnored", status("\\S\\ITO", "2", "x"), Own, true, Other, "", "", "", 3,
                    false},
        ReceiveCase{"NonNumericIconIsZero", status("\\S\\ITO", "x2", "x"), Other, true, Other, "x", "2026/12/09",
                    "17:00", 0, true},
        ReceiveCase{"StatusWithoutIconKeyIsZero", "\x01Vrn3_Dat\\S\\ITO\x01Vrn3_Locatex", Other, true, Other, "x", "",
                    "", 0, true},
        ReceiveCase{"StatusForSomeoneNotOnTheBoard", status("\\S\\NOBODY", "2", "x"), Other, true, Other, "", "", "", 3,
                    false},
        ReceiveCase{"LetterCaseOfTheNameCounts", status("\\S\\ito", "2", "x"), Other, true, Other, "", "", "", 3,
                    false},
        ReceiveCase{"StoppedWithoutClosingKey", "\x01Vrn3_Off\\S\\ITO", Other, false, Other, "", "", "", 3, true},
        ReceiveCase{"StoppedFromOwnAddressIgnored", "\x01Vrn3_Off\\S\\ITO" + Eod, Own, true, Other, "", "", "", 3,
                    false},
        ReceiveCase{"StartedFromOwnAddressApplied", "\x01Vrn3_On\\S\\ITO\x01Vrn3_IP10.1.1.1" + Eod, Own, true,
                    "10.1.1.1", "", "", "", 3, true},
        ReceiveCase{"StartedForNobodyStillRestartsTheCount", "\x01Vrn3_On\\S\\NOBODY\x01Vrn3_IP10.1.1.1" + Eod, Other,
                    true, Other, "", "", "", 3, true},
        ReceiveCase{"EmptyPathTouchesNobody", "\x01Vrn3_On\x01Vrn3_IP10.1.1.1" + Eod, Other, true, Other, "", "", "", 3,
                    true},
        ReceiveCase{"DirectoryPathTouchesNobody", status("\\S\\", "2", "x"), Other, true, Other, "", "", "", 3, false},
        ReceiveCase{"UnknownKindChangesNothing", "\x01Vrn3_Foo\\S\\ITO" + Eod, Other, true, Other, "", "", "", 3,
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Datagrams for the window: memos, reload and end

struct SignalCase
{
    const char* name;
    QByteArray text;
    bool withoutOwnMember;
    int memo;
    int reload;
    int end;
};

class WindowRequests : public NoticeOffice, public ::testing::WithParamInterface<SignalCase>
{
};

TEST_P(WindowRequests, ReachTheWindow)
{
    const SignalCase& c = GetParam();
    if (c.withoutOwnMember)
        copy->own = TVurnaDataRec{};
    QSignalSpy memo(copy->notice.get(), &ChangeNotice::MemoArrived);
    QSignalSpy reload(copy->notice.get(), &ChangeNotice::ReloadRequested);
    QSignalSpy end(copy->notice.get(), &ChangeNotice::EndRequested);
    copy->scheduler.SetInterval(TInterval{5, 0, 0});
    copy->scheduler.MinuteTick();
    ASSERT_EQ(copy->scheduler.MinCounter().CheckMsg, 1);
    const TVurnaDataArray before = copy->model.Members();

    copy->notice->HandleDatagram(c.text, "192.168.1.30");

    EXPECT_EQ(memo.count(), c.memo);
    EXPECT_EQ(reload.count(), c.reload);
    EXPECT_EQ(end.count(), c.end);
    // The memo check counts again from 0 once the user has been told.
    EXPECT_EQ(copy->scheduler.MinCounter().CheckMsg, c.memo ? 0 : 1);
    EXPECT_EQ(copy->model.Members(), before);
    EXPECT_TRUE(copy->sent.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowRequests,
    ::testing::Values(SignalCase{"MemoForOwnMember", "\x01Vrn3_Msg\\\\PC\\SHARE\\OWN" + Eod, false, 1, 0, 0},
                      SignalCase{"MemoNameIsUpperCased", "\x01Vrn3_Msg\\\\pc\\share\\own" + Eod, false, 1, 0, 0},
                      SignalCase{"MemoWithoutClosingKey", "\x01Vrn3_Msg\\S\\OWN", false, 1, 0, 0},
                      SignalCase{"MemoForSomeoneElse", "\x01Vrn3_Msg\\S\\ITO" + Eod, false, 0, 0, 0},
                      SignalCase{"MemoNamingADirectory", "\x01Vrn3_Msg\\S\\" + Eod, false, 0, 0, 0},
                      SignalCase{"MemoWithoutOwnMember", "\x01Vrn3_Msg\\S\\OWN" + Eod, true, 0, 0, 0},
                      SignalCase{"Reload", "\x01Vrn3_Rel" + Eod, false, 0, 1, 0},
                      SignalCase{"End", "\x01Vrn3_End", false, 0, 0, 1},
                      SignalCase{"EmptyDatagram", "", false, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Share moved: obeyed only for a directory that is a board

enum class Target { Board, WithoutIni, Missing, IniIsAFolder, Relative, LineBreak };

struct ShareCase
{
    const char* name;
    Target target;
    bool obeyed;
};

// The test of the folder runs on the queue, as in the program.
class ShareMoved : public NoticeOffice, public ::testing::WithParamInterface<ShareCase>
{
protected:
    void SetUp() override
    {
        NoticeOffice::SetUp();
        copy = std::make_unique<NoticeCopy>(share, "OWN", "192.168.1.20", &queue);
    }
    void TearDown() override { copy.reset(); }
    ShareQueue queue;
};

TEST_P(ShareMoved, OnlyForABoardDirectory)
{
    const ShareCase& c = GetParam();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString dir = elsewhere.path() + QStringLiteral("/掲示板");
    if (c.target != Target::Missing && c.target != Target::LineBreak) {
        ASSERT_TRUE(QDir().mkpath(dir));
    }
    if (c.target == Target::Board || c.target == Target::Relative) {
        QFile ini(dir + QStringLiteral("/Vurna.INI"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    }
    if (c.target == Target::IniIsAFolder) {
        ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("/vurna.ini")));
    }
    // As a Windows copy would name it: backslashes, the letters as the sender wrote them.
    QByteArray wanted = cp932(dir).replace('/', '\\');
    const QString workingDir = QDir::currentPath();
    if (c.target == Target::Relative) {
        ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
        wanted = cp932(QStringLiteral("掲示板"));
    }
    QByteArray logged = wanted;
    if (c.target == Target::LineBreak) {
        // A made-up entry of its own must not appear in the administrator's log.
        wanted += "\r\n24/04/01 09:00:00 Shr       ADMIN      ok";
        logged = QByteArray(wanted).replace('\r', ' ').replace('\n', ' ');
    }
    copy->settings.SetShareDir("/OLD/");

    copy->notice->HandleDatagram("\x01Vrn3_Shr=" + wanted, "192.168.9.9");
    ASSERT_TRUE(queue.Drain(10000));
    QCoreApplication::sendPostedEvents();
    QDir::setCurrent(workingDir);

    const QByteArray expected = cp932(QDir::toNativeSeparators(dir)) + SharePath::nativeSeparator;
    EXPECT_EQ(copy->settings.ShareDir(), c.obeyed ? expected : QByteArray("/OLD/"));
    // The administrator finds every request, obeyed or not, in the own board's log.
    const QList<QByteArray> lines = share.readBytes(QStringLiteral("vurna.log")).split('\n');
    ASSERT_EQ(lines.size(), 2);
    const QByteArray line = lines.at(0);
    EXPECT_EQ(line.mid(18, 9), "Shr      ");
    EXPECT_EQ(line.mid(27, 11), cp932(QStringLiteral("自分")) + "       "); // 10 bytes and the blank
    EXPECT_TRUE(line.contains(c.obeyed ? expected : logged));
    EXPECT_TRUE(line.contains("192.168.9.9"));
    EXPECT_TRUE(line.endsWith('\r'));
    EXPECT_TRUE(copy->status.texts.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Table, ShareMoved,
                         ::testing::Values(ShareCase{"BoardDirectoryTaken", Target::Board, true},
                                           ShareCase{"DirectoryWithoutIniRefused", Target::WithoutIni, false},
                                           ShareCase{"MissingDirectoryRefused", Target::Missing, false},
                                           ShareCase{"IniThatIsAFolderRefused", Target::IniIsAFolder, false},
                                           ShareCase{"RelativePathRefused", Target::Relative, false},
                                           ShareCase{"LineBreakStaysInOneLogLine", Target::LineBreak, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// A datagram during a load meets the freshly loaded member

TEST_F(NoticeOffice, DatagramDuringALoadIsAppliedToTheNewBoard)
{
    bool handledDuringLoad = false;
    QObject::connect(&copy->model, &BoardModel::BusyChanged, [&](bool busy) {
        if (!busy || handledDuringLoad)
            return;
        handledDuringLoad = true;
        // Another copy renamed ITO just now; the load in progress reads the new name.
        share.writeBytes(QStringLiteral("Ito.vrn"),
                         noticeMember(QStringLiteral("ｲﾄｳ"), QStringLiteral("伊東"), "192.168.1.30", "3"));
        copy->notice->HandleDatagram(status("\\S\\ITO", "1", "x"), "192.168.1.30");
        EXPECT_EQ(copy->member("ITO").Locate, ""); // not yet
    });
    copy->model.Reload(AllMembers);
    ASSERT_TRUE(handledDuringLoad);
    const TVurnaDataRec ito = copy->member("ITO");
    EXPECT_EQ(ito.Locate, "x");
    EXPECT_EQ(ito.StatusIndex, 1);
    EXPECT_EQ(ito.Name, cp932(QStringLiteral("伊東"))); // not the copy taken before the load
}

} // namespace
