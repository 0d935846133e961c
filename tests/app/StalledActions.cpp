#include "StalledActions.h"

#include "app/TfrmMain.h"
#include "board/ChangeNotice.h"
#include "board/Datagram.h"
#include "board/UserFile.h"
#include "platform/Cp932.h"
#include "session/BoardSession.h"
#include "session/SettingResult.h"
#include "store/ParcelPost.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

namespace StalledActions {

namespace {

QByteArray sjis(const QString& text)
{
    return Cp932::fromUnicodeLossy(text);
}

QByteArray member(const QString& furigana, const QString& name, const QString& locate, const QByteArray& date)
{
    return BuildUserFileText({.Running = true,
                              .FileName = {},
                              .Furigana = sjis(furigana),
                              .Name = sjis(name),
                              .Group = sjis(QStringLiteral("営業")),
                              .InnerLine = {},
                              .Locate = sjis(locate),
                              .Date = date,
                              .Time = {},
                              .WarningCall = {},
                              .IP = "127.0.0.1",
                              .StatusIndex = 0,
                              .DefaultOnExit = 0,
                              .SortPrefix = {},
                              .FileTime = {}});
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

TVurnaDataRec onFile(const QString& backing, const QString& name)
{
    QFile file(backing + QLatin1Char('/') + name);
    TVurnaDataRec record;
    if (file.open(QIODevice::ReadOnly))
        ParseUserFile(file.readAll(), record);
    return record;
}

TVurnaDataRec onBoard(BoardSession& session, const char* base)
{
    TVurnaDataRec record;
    const BoardModel& model = session.State().Model;
    for (int i = 1; i <= model.MemberHigh(); ++i)
        if (model.GetMember(i).FileName.endsWith(base))
            record = model.GetMember(i);
    return record;
}

} // namespace

void MakeShare(const QString& backing, const QString& served)
{
    put(backing + QStringLiteral("/yamada.vrn"),
        member(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田"), QStringLiteral("会議"), "2024/04/02"));
    put(backing + QStringLiteral("/suzuki.vrn"), member(QStringLiteral("ｽｽﾞｷ"), QStringLiteral("鈴木"), {}, {}));
    put(backing + QStringLiteral("/yamada.mil"), sjis(QStringLiteral("○鈴木より 折り返し電話を")) + "\r\n");
    put(QDir::tempPath() + QStringLiteral("/vurna-stalled-parcel.txt"), "parcel");
    QDir(backing).mkdir(QStringLiteral("osaka"));
    put(backing + QStringLiteral("/osaka/osaka1.vrn"), member(QStringLiteral("ｵｵｻｶ"), QStringLiteral("大阪"), {}, {}));
    put(backing + QStringLiteral("/vurna.ini"), "INTERVAL RELOADALLFILE=60 RELOADLASTCOMMIT=5\r\nSHAREDIR UNC=" +
                                                    served.toUtf8() + "/osaka/ NAME=osaka SLOWLINE=NO\r\n");
}

void ChangeWhileAway(const QString& backing)
{
    put(backing + QStringLiteral("/tanaka.vrn"), member(QStringLiteral("ﾀﾅｶ"), QStringLiteral("田中"), {}, {}));
}

QList<Action> All()
{
    const QByteArray flooded = sjis(QStringLiteral("外出"));
    return {
        {"own reset button",
         [](BoardSession&, TfrmMain& window) {
             window.findChild<QAbstractButton*>(QStringLiteral("btnOwnerReset"))->click();
         },
         [](BoardSession&, const QString& backing) {
             return onFile(backing, QStringLiteral("yamada.vrn")).Locate.isEmpty() &&
                    !QFile::exists(backing + QStringLiteral("/yamada.off"));
         }},
        {"tray preset",
         [](BoardSession&, TfrmMain& window) {
             window.findChild<QAction*>(QStringLiteral("popTrayHuzaiLunch"))->trigger();
         },
         [](BoardSession&, const QString& backing) {
             return onFile(backing, QStringLiteral("yamada.vrn")).Locate == sjis(QStringLiteral("食事中！"));
         }},
        {"detail window Set",
         [](BoardSession& session, TfrmMain&) {
             TVurnaDataArray records{TVurnaDataRec{}, onBoard(session, "SUZUKI")};
             session.Huzai().SetHuzai(records, sjis(QStringLiteral("出張")), 0, {}, "2024/04/05");
         },
         [](BoardSession&, const QString& backing) {
             return onFile(backing, QStringLiteral("suzuki.vrn")).Locate == sjis(QStringLiteral("出張"));
         }},
        {"preferences confirmed",
         [](BoardSession& session, TfrmMain&) {
             SettingResult result;
             result.ShareDir = session.State().OwnBoard().ShareDir;
             result.FileName = "yamada";
             result.Furigana = sjis(QStringLiteral("ﾔﾏﾀﾞ"));
             result.Name = sjis(QStringLiteral("山田花子"));
             session.ApplyPreferences(result);
         },
         [](BoardSession& session, const QString& backing) {
             return onFile(backing, QStringLiteral("yamada.vrn")).Name == sjis(QStringLiteral("山田花子")) &&
                    onBoard(session, "YAMADA").Name == sjis(QStringLiteral("山田花子"));
         }},
        {"memo page opened",
         [](BoardSession&, TfrmMain& window) {
             window.SwitchPage(window.findChild<QWidget*>(QStringLiteral("tabDengon")));
             // Nothing typed meanwhile could be lost under the memos the take-in puts on top.
             EXPECT_TRUE(window.findChild<TQuaxoRichEdit*>(QStringLiteral("rchDengonOwner"))->isReadOnly());
         },
         [](BoardSession&, const QString& backing) {
             // A file the program makes has the board's spelling (upper case).
             QFile board(backing + QStringLiteral("/YAMADA.old"));
             return !QFile::exists(backing + QStringLiteral("/yamada.mil")) && board.open(QIODevice::ReadOnly) &&
                    board.readAll().count(sjis(QStringLiteral("○鈴木より"))) == 1;
         }},
        {"memo sent and files dropped",
         [](BoardSession& session, TfrmMain&) {
             const QByteArray suzuki = onBoard(session, "SUZUKI").FileName;
             const QByteArray parcel =
                 QFile::encodeName(QDir::tempPath() + QStringLiteral("/vurna-stalled-parcel.txt"));
             session.Delivery().ProcessSendList(ParcelPost::BuildSendList("stalled", {suzuki}, {parcel}, "memo"),
                                                session.State().ShownBoard().ShareDir);
         },
         [](BoardSession&, const QString& backing) {
             // The share names new files and folders as the board spells them (upper case).
             bool delivered = false;
             bool stored = false;
             for (QDirIterator it(backing, QDirIterator::Subdirectories); it.hasNext();) {
                 const QString path = it.next();
                 delivered = delivered || path.endsWith(QStringLiteral("vurna-stalled-parcel.txt"));
                 QFile file(path);
                 // Exactly once, however long the server kept it waiting.
                 stored = stored || (it.fileName().toLower() == QStringLiteral("suzuki.mil") &&
                                     file.open(QIODevice::ReadOnly) && file.readAll().count("memo") == 1);
             }
             return delivered && stored;
         }},
        {"board switch",
         [](BoardSession& session, TfrmMain&) {
             // A filter chosen from the menu while the switch waits is not undone by it.
             QTimer::singleShot(20, &session, [&session] { session.State().Boards[0].Filter.StatusFilterOn = true; });
             session.WhenBoardIdle([&session] { session.SwitchBoard(1); });
         },
         [](BoardSession& session, const QString&) {
             return session.State().CurrentBoard == 1 && !onBoard(session, "OSAKA1").FileName.isEmpty() &&
                    session.State().Boards[0].Filter.StatusFilterOn;
         }},
        {"minute tick",
         [](BoardSession& session, TfrmMain&) {
             for (int minute = 0; minute < 60; ++minute)
                 session.State().Scheduler.MinuteTick();
         },
         [](BoardSession& session, const QString&) { return !onBoard(session, "TANAKA").FileName.isEmpty(); }},
        {"datagram flood with refusals",
         [flooded](BoardSession& session, TfrmMain&) {
             const QByteArray suzuki = onBoard(session, "SUZUKI").FileName;
             for (int i = 0; i < 300; ++i) {
                 const QByteArray sender = "127.0.0." + QByteArray::number(2 + i % 3);
                 const QByteArray text = i % 50 == 0
                                             ? QByteArray(Datagram::KeyRel) + Datagram::KeyEod
                                             : Datagram::StatusText(Datagram::WirePath(suzuki), "2024/04/01", "18:00",
                                                                    0, i == 299 ? flooded : QByteArray::number(i)) +
                                                   Datagram::KeyEod;
                 session.Notice().HandleDatagram(text, sender);
             }
         },
         [flooded](BoardSession& session, const QString&) {
             return onBoard(session, "SUZUKI").Locate == flooded && !onBoard(session, "TANAKA").FileName.isEmpty();
         }},
    };
}

} // namespace StalledActions
