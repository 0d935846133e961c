// Vurna3: the board program. One copy per user session; a second start wakes the first.

#include "app/BoardDump.h"
#include "app/Pictures.h"
#include "app/SessionEnd.h"
#include "app/TfrmMain.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Clock.h"
#include "platform/Diagnostics.h"
#include "platform/EndDeadline.h"
#include "platform/HostAddress.h"
#include "platform/ProcessStarter.h"
#include "platform/RecordedMessageBoxes.h"
#include "platform/SharePath.h"
#include "platform/ShareQueue.h"
#include "platform/SingleInstance.h"
#include "platform/ui/QtFolderChooser.h"
#include "platform/ui/QtMessageBoxes.h"
#include "session/BoardSession.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QThread>

int main(int argc, char** argv)
{
    // Made before everything else so that it is the last to go: the destructors after an end
    // may still wait on threads that hang on the server.
    EndDeadline deadline;
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Vurnaboard"));
    Diagnostics::InstallFromEnvironment();

    SingleInstance instance;
    if (!instance.TryAcquire()) {
        instance.WakeRunning();
        return 0;
    }

    Pictures::InitResources();
    // The window goes to the tray rather than away; only an explicit end ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    SystemClock clock;
    QtMessageBoxes boxes;
    // End-to-end tests read the boxes from a file instead of pressing their buttons.
    const std::unique_ptr<RecordedMessageBoxes> recorded = RecordedMessageBoxes::FromEnvironment();
    DetachedProcessStarter starter;
    QtFolderChooser folders;
    BoardSession session({
        .clock = &clock,
        .boxes = recorded ? static_cast<MessageBoxes*>(recorded.get()) : &boxes,
        .folders = &folders,
        .lookUpAddress = &HostAddress::LookUpOwnAddress,
        .bindAddress = HostAddress::PinnedAddress(),
        .programFolder = SharePath::fromNative(QCoreApplication::applicationDirPath()),
        .programFile = QCoreApplication::applicationFilePath(),
        .arguments = QCoreApplication::arguments().mid(1),
        .starter = &starter,
        .updateWait = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); },
    });

    TfrmMain frmMain(session, {.instance = &instance, .trayAvailable = QSystemTrayIcon::isSystemTrayAvailable()});
    boxes.SetOwner(&frmMain);
    folders.SetOwner(&frmMain);
    SessionEnd sessionEnd;
    QObject::connect(&sessionEnd, &SessionEnd::EndRequested, &frmMain,
                     [&deadline] { deadline.Arm(EndDeadline::AfterRequestMs); });
    QObject::connect(&sessionEnd, &SessionEnd::EndRequested, &frmMain, &TfrmMain::Quit);
    // A start-up that was slow to finish still leaves the end its own wait for the share.
    QObject::connect(&frmMain, &TfrmMain::Ending, &frmMain,
                     [&deadline] { deadline.Extend(BoardSession::EndWaitMs + 1000); });
    QObject::connect(&frmMain, &TfrmMain::Ended, &frmMain, [&deadline] { deadline.Arm(EndDeadline::AfterSavedMs); });
    QObject::connect(&sessionEnd, &SessionEnd::TickRequested, &session.State().Scheduler, &MinuteScheduler::MinuteTick);
    int dumps = 0;
    QObject::connect(&sessionEnd, &SessionEnd::DumpRequested, &frmMain, [&frmMain, &clock, &dumps] {
        BoardDump::Write(*frmMain.findChild<TVurnaGrid*>(QStringLiteral("Keiziban")), clock, ++dumps);
    });

    if (!frmMain.FormCreate())
        return 0;
    frmMain.ShowAtStart();
    const int code = app.exec();
    // A call still waiting on a server that does not answer would meet the statics that the rest
    // of the end destroys, Qt's own among them. What the end had to write is written or kept.
    if (!session.ShareWorkEnded(ShareQueue::LeaveBehindMs))
        EndDeadline::EndNow();
    return code;
}
