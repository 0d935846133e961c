// Start-up: FormCreate and StartUp. Their order matters: the own identity needs the site's
// configuration, the board needs the filters, and the user is announced only once the board
// shows where they stand.

#include "app/HelpKey.h"
#include "app/MainLog.h"
#include "app/Pictures.h"
#include "app/ShortcutProtection.h"
#include "app/StatusBarSink.h"
#include "app/TaskTray.h"
#include "app/TfrmMain.h"
#include "board/TVurnaNotice.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/ShareFiles.h"
#include "platform/SingleInstance.h"
#include "platform/SjisText.h"
#include "store/FilterFile.h"
#include "store/SiteConfig.h"
#include "store/StatusReport.h"

#include <QApplication>

bool TfrmMain::FormCreate()
{
    qCInfo(lcMain) << "start-up begins";
    m_placement.Restore();
    m_tray->SetTaskTrayIcon(QStringLiteral("Vurnaが起動処理中です。"), TrayOperation::Add, Pictures::TrayStarting());
    m_state.SendList.clear();
    m_status->setProgress(-1);
    // F1 anywhere in the program, modal dialogs included (the start-up's own questions too), opens
    // the topic of what has the focus.
    qApp->installEventFilter(new HelpKey([this](int context) { ShowHelp(context); }, this));
    StartUp();
    // The program refuses to run straight from the shared directory, where an update would
    // replace it under every member at once.
    if (m_state.OwnBoard().ShortcutProtect && IsRunFromShare(m_env.programFolder, m_state.OwnBoard().ShareDir)) {
        qCInfo(lcMain) << "started from the shared directory: ends";
        m_quitRequested = true;
    }
    if (!m_quitRequested)
        RunUpdateCheck();
    if (m_quitRequested) {
        // An end asked for during start-up (shortcut protection, the updater, a signal) saves as
        // usual.
        EndProgram();
        return false;
    }
    m_huzai.ClearAbsenceOfLastExit();
    QApplication::setWindowIcon(windowIcon());
    if (m_env.instance) {
        connect(m_env.instance, &SingleInstance::WakeupRequested, this, &TfrmMain::VurnaWakeup, Qt::UniqueConnection);
        m_env.instance->Listen();
    }
    // Memos that arrived while the program was not running start the reminder at once.
    KeizibanCheckMsg();
    m_tray->SetTaskTrayIcon(QStringLiteral("Vurnaboard"), TrayOperation::Modify, windowIcon());
    ApplySmallFontSetting();
    m_state.StartUpFinished = true;
    m_huzai.HuzaiAutoResetCheck();
    m_keiziban->setAcceptDrops(true);
    SetEditMenuEnabled();
    qCInfo(lcMain) << "start-up finished";
    // An end asked for during the later steps (the overdue question waits for an answer) was
    // held back, or has already ended the program; either way there is no event loop to run.
    if (m_quitRequested && !m_ended)
        EndProgram();
    return !m_ended;
}

void TfrmMain::ApplySmallFontSetting()
{
    const bool small = m_settings.SmallFont();
    m_menus.mnuSmallfont->setChecked(small);
    m_menus.mnuNormalFont->setChecked(!small);
    m_keiziban->SetSmallFont(small);
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
    m_settings.ReadLocalSettings(m_state.Boards);
    qCInfo(lcMain) << "local settings read: share" << m_state.OwnBoard().ShareDir << "AutoSmall"
                   << m_state.OwnBoard().AutoSmall;
    m_state.CurrentBoard = 0;
    SiteConfigContext context;
    context.shareMove = &m_settings;
    context.clock = &m_clock;
    // Log entries name the user before the identity is read.
    context.memberName = m_settings.Name();
    if (!m_state.OwnBoard().ShareDir.isEmpty())
        SiteConfig::Load(m_state.OwnBoard().ShareDir, m_state.Boards, 0, true, context);
    qCInfo(lcMain) << "site configuration read: boards" << m_state.Boards.size();
    // Without a listener the own address stays empty, so nothing is sent either; a listener
    // that cannot be had is reported and the program runs on without it.
    if (m_state.OwnBoard().UdpMode != 0)
        m_notice->StartListener(m_env.bindAddress);
    else
        qCInfo(lcMain) << "datagrams off on the own board";
    // The memo check runs at the board's interval, counted from now (start-up runs again when
    // the preferences change).
    TInterval interval = m_state.Scheduler.Interval();
    interval.CheckMsg = m_state.ShownBoard().Interval.CheckMsg;
    m_state.Scheduler.SetInterval(interval);
    m_state.Scheduler.RestartMemoCheckCount();
    m_settings.LoadOwnIdentity(m_state.Own, m_notice->GetOwnAddress());
    qCInfo(lcMain) << "own identity" << m_state.Own.FileName;
    // A guest has no filter file.
    if (HasOwnEntry(m_state.Own))
        FilterFile::Read(m_state.Own.FileName + FilterFile::Extension, m_state.Boards);
    SetKeiziban(m_state.ShownBoard());
    SetShareDirectoryToMenuItem();
    if (SjisText::trim(m_state.Own.FileName).isEmpty()) {
        qCInfo(lcMain) << "guest: nothing written";
        return;
    }
    TakeOwnEntry();
}

void TfrmMain::TakeOwnEntry()
{
    // Without an entry on the board nothing is written or sent: the user may have chosen a
    // file name on a share that cannot be reached.
    TVurnaDataRec entry;
    if (m_state.FindOwnEntry(entry) < 0) {
        qCInfo(lcMain) << "own entry not on the board";
        return;
    }
    const QByteArray storedAddress = entry.IP;
    m_state.Own = entry;
    m_state.Own.IP = m_notice->GetOwnAddress();
    if (m_writer.SetStopMarker(false)) {
        qCInfo(lcMain) << "own entry marked running";
    } else {
        // A read-only or full share: the board shows, but nothing the user changes can be kept.
        qCWarning(lcMain) << "own entry could not be marked running: the share takes no writes";
        ReportStatus(*m_status, QStringLiteral("共有ディレクトリに書き込めません。行き先を変更しても保存されません。"),
                     Severity::Fault);
    }
    // The stamp's file waits let events run, and a reload among them may have moved the entry:
    // it is found again by its file.
    const int current = m_state.BoardModel.IndexOfMember(m_state.Own.FileName);
    if (current >= 1)
        m_state.BoardModel.SetMember(current, m_state.Own);
    m_keiziban->Arrange();
    m_keiziban->InvalidateMember(m_state.Own.FileName, false);
    // Other copies reach the user at the new address.
    if (storedAddress != m_state.Own.IP) {
        m_writer.WriteUserFile(m_state.Own);
        qCInfo(lcMain) << "own status file rewritten for the address" << m_state.Own.IP;
    }
}
