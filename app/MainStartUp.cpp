// Start-up: FormCreate and StartUp, step by step in their order. Steps that belong to parts
// of the program still to come keep their place here as comments.

#include "app/HighlightButtons.h"
#include "app/MainLog.h"
#include "app/Pictures.h"
#include "app/ShortcutProtection.h"
#include "app/StatusBarSink.h"
#include "app/TfrmMain.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/ShareFiles.h"
#include "platform/SharePath.h"
#include "platform/SingleInstance.h"
#include "platform/SjisText.h"
#include "store/FilterFile.h"
#include "store/SiteConfig.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTabWidget>

bool TfrmMain::FormCreate()
{
    qCInfo(lcMain) << "start-up begins";
    // 1. No progress bar, send list or dialog yet: the window holds them as members.
    // 2. Window placement and size limits.
    RestoreWindowPlacement();
    // 3. The tray shows that the program is starting.
    SetTaskTrayIcon(QStringLiteral("Vurnaが起動処理中です。"), 0, Pictures::TrayStarting());
    // 4. The empty send list.
    m_state.SendList.clear();
    // 5. The progress bar in status panel 0, empty.
    m_status->setProgress(-1);
    // 6.
    StartUp();
    // 7. Shortcut protection: the program refuses to run straight from the shared directory.
    if (m_state.OwnBoard().ShortcutProtect && IsRunFromShare(m_env.programFolder, m_state.OwnBoard().ShareDir)) {
        qCInfo(lcMain) << "started from the shared directory: ends";
        m_quitRequested = true;
    }
    // 8. The update check comes with the self-update.
    if (m_quitRequested) {
        // An end asked for during start-up (shortcut protection, a signal) saves as usual.
        EndProgram();
        return false;
    }
    // 9. The default absence that the last exit wrote is cleared.
    ClearAbsenceOfLastExit();
    // 10. The application shows the window's icon.
    QApplication::setWindowIcon(MainIcon());
    // 11. The help file: the shared directory's, else the one beside the program.
    const QString shared = SharePath::resolve(SharePath::join(m_state.OwnBoard().ShareDir, "Vurnaboard.HLP"));
    const QString beside = QString::fromLocal8Bit(m_env.programFolder) + QStringLiteral("/Vurnaboard.HLP");
    m_helpFile = (!m_state.OwnBoard().ShareDir.isEmpty() && QFileInfo::exists(shared)) ? shared : beside;
    // 12. The wake-up of a second start.
    if (m_env.instance) {
        connect(m_env.instance, &SingleInstance::WakeupRequested, this, &TfrmMain::VurnaWakeup, Qt::UniqueConnection);
        m_env.instance->Listen();
    }
    // 13. (Windows only: the task bar entry's menu loses its close command.)
    // 14. pgcMain ends 4 pixels above the status bar: kept so by its anchors.
    // 15. Unread memos start the reminder at once.
    KeizibanCheckMsg();
    // 16. The tray shows the program's own icon.
    SetTaskTrayIcon(QStringLiteral("Vurnaboard"), 1, MainIcon());
    // 17. The font size the user chose.
    const bool small = m_settings.ReadBool(QStringLiteral("SmallFont"), false);
    MenuAction(QStringLiteral("mnuSmallfont"))->setChecked(small);
    MenuAction(QStringLiteral("mnuNormalFont"))->setChecked(!small);
    m_keiziban->SetSmallFont(small);
    // 18.
    m_state.StartUpFinished = true;
    // 19. The overdue-absence question.
    HuzaiAutoResetCheck();
    // 20. Files dropped from the shell onto the grid.
    m_keiziban->setAcceptDrops(true);
    // 21.
    SetEditMenuEnabled();
    qCInfo(lcMain) << "start-up finished";
    // An end asked for during the later steps (the overdue question waits for an answer) was
    // held back, or has already ended the program; either way there is no event loop to run.
    if (m_quitRequested && !m_ended)
        EndProgram();
    return !m_ended;
}

void TfrmMain::ShowAtStart()
{
    if (!m_state.OwnBoard().AutoSmall) {
        ShowMainWindow();
        qCInfo(lcMain) << "window shown";
    } else if (!m_env.trayAvailable) {
        // Without a tray a hidden window could never be reached again.
        showMinimized();
        qCInfo(lcMain) << "window minimised (no tray)";
    } else {
        qCInfo(lcMain) << "window in the tray";
    }
}

void TfrmMain::StartUp()
{
    // 1. Hints stay on screen for 60 000 ms (the window's event filter shows them so).
    // 2. Dates are formatted "yyyy/MM/dd" wherever the program writes or reads them.
    // 3. The own board's local settings.
    m_settings.ReadLocalSettings(m_state.Boards);
    qCInfo(lcMain) << "local settings read: share" << m_state.OwnBoard().ShareDir << "AutoSmall"
                   << m_state.OwnBoard().AutoSmall;
    // 4.
    m_state.CurrentBoard = 0;
    // 5. The site configuration of the own board.
    SiteConfigContext context;
    context.shareMove = &m_settings;
    context.clock = &m_clock;
    // The own record is read at step 8; log entries name the user already.
    context.memberName = m_settings.ReadString(QStringLiteral("Name"));
    if (!m_state.OwnBoard().ShareDir.isEmpty())
        SiteConfig::Load(m_state.OwnBoard().ShareDir, m_state.Boards, 0, true, context);
    qCInfo(lcMain) << "site configuration read: boards" << m_state.Boards.size();
    // 6. The datagram listener (its failure is reported; the program runs on without it).
    StartNotice();
    // 7. The memo check runs at the board's interval, counted from now.
    TVurnaBoardModel& model = m_keiziban->Model();
    TInterval interval = model.Interval();
    interval.CheckMsg = m_state.ShownBoard().Interval.CheckMsg;
    model.SetInterval(interval);
    // 8. The own identity.
    m_settings.LoadOwnIdentity(m_state.Own, OwnAddress());
    qCInfo(lcMain) << "own identity" << m_state.Own.FileName;
    // 9. The user's filter file (a guest has none).
    if (HasOwnEntry(m_state.Own))
        FilterFile::Read(m_state.Own.FileName + FilterFile::Extension, m_state.Boards);
    // 10. The board, loaded.
    SetKeiziban(m_state.ShownBoard());
    // 11.
    SetShareDirectoryToMenuItem();
    // 12. A guest stops here.
    if (SjisText::trim(m_state.Own.FileName).isEmpty()) {
        qCInfo(lcMain) << "guest: nothing written";
        return;
    }
    // 13. The user's entry on the board; without one nothing is written or sent.
    TVurnaDataRec entry;
    const int index = model.FindMember(m_state.Own.FileName, entry);
    if (index < 0) {
        qCInfo(lcMain) << "own entry not on the board";
        return;
    }
    // 14. The entry as loaded, at this PC's address.
    const QByteArray storedAddress = entry.IP;
    m_state.Own = entry;
    m_state.Own.IP = OwnAddress();
    // 15. Marked running: stop marker gone, change stamp advanced.
    m_writer->SetStopMarker(false);
    qCInfo(lcMain) << "own entry marked running";
    // 16. The board shows the own record. The stamp's file waits let events run, and a
    //     reload among them may have moved the entry: it is found again by its file.
    const int current = model.IndexOfMember(m_state.Own.FileName);
    if (current >= 1)
        model.SetMember(current, m_state.Own);
    m_keiziban->Arrange();
    m_keiziban->InvalidateMember(m_state.Own.FileName, false);
    // 17. Other copies reach the user at the new address.
    if (storedAddress != m_state.Own.IP) {
        m_writer->WriteUserFile(m_state.Own);
        qCInfo(lcMain) << "own status file rewritten for the address" << m_state.Own.IP;
    }
}
