// What the parts of the window say, and which handler answers: menus, tray, board, datagrams.
// One connection per command; no handler looks at who called it.

#include "app/FilterList.h"
#include "app/MainLog.h"
#include "app/StatusBarSink.h"
#include "app/TaskTray.h"
#include "app/TfrmMain.h"
#include "board/TVurnaNotice.h"
#include "board/ui/TVurnaGrid.h"
#include "store/StatusReport.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

void TfrmMain::ConnectMenus()
{
    const MainMenus& m = m_menus;
    connect(m.mnuQuit, &QAction::triggered, this, &TfrmMain::Quit);
    connect(m.mnuReloadAll, &QAction::triggered, this, [this] { WhenBoardIdle([this] { ReloadAllClick(); }); });
    connect(m.mnuReloadAllOld, &QAction::triggered, this, [this] { WhenBoardIdle([this] { ReloadAllClick(); }); });
    connect(m.mnuCopy, &QAction::triggered, this,
            [this] { EditFocusedText([](QTextEdit& t) { t.copy(); }, [](QLineEdit& l) { l.copy(); }); });
    connect(m.mnuCut, &QAction::triggered, this,
            [this] { EditFocusedText([](QTextEdit& t) { t.cut(); }, [](QLineEdit& l) { l.cut(); }); });
    connect(m.mnuPaste, &QAction::triggered, this,
            [this] { EditFocusedText([](QTextEdit& t) { t.paste(); }, [](QLineEdit& l) { l.paste(); }); });
    connect(m.mnuSelectAll, &QAction::triggered, this, [this] {
        EditFocusedText([](QTextEdit& t) { t.selectAll(); }, [](QLineEdit& l) { l.selectAll(); });
        if (m_pgcMain->currentWidget() == m_tabKeiziban)
            m_keiziban->SelectAll();
    });
    // Commands whose windows this program does not have are offered disabled rather than
    // doing nothing when chosen.
    connect(m.mnuVersion, &QAction::triggered, this, &TfrmMain::mnuVersionClick);
    connect(m.mnuPreference, &QAction::triggered, this, [this] { WhenBoardIdle([this] { mnuPreferenceClick(); }); });
    connect(m.mnuCustomGroup, &QAction::triggered, this, &TfrmMain::mnuCustomGroupClick);
    connect(m.mnuNormalFont, &QAction::triggered, this, [this] { SetSmallFont(false); });
    connect(m.mnuSmallfont, &QAction::triggered, this, [this] { SetSmallFont(true); });
    connect(m.mnuCustomSort, &QAction::triggered, this, [this] { WhenBoardIdle([this] { SortClick(false); }); });
    connect(m.mnuFuriganaSort, &QAction::triggered, this, [this] { WhenBoardIdle([this] { SortClick(true); }); });
    connect(m.mnuHelp, &QAction::triggered, this, &TfrmMain::mnuHelpClick);

    const GridPopup& p = m_popup;
    connect(p.popInfo, &QAction::triggered, this, [this] { ShowInfomationForm(InfoMode::Details); });
    connect(p.popHuzaiSet, &QAction::triggered, this, [this] { ShowInfomationForm(InfoMode::HuzaiSet); });
    connect(p.popDengonSend, &QAction::triggered, this, [this] { ShowInfomationForm(InfoMode::DengonSend); });
    connect(p.popDengonRead, &QAction::triggered, this, [this] { ShowInfomationForm(InfoMode::DengonRead); });
    connect(p.popHuzaiReset, &QAction::triggered, this, &TfrmMain::ResetSelectedHuzai);
    connect(p.popSelectAll, &QAction::triggered, m_keiziban, &TVurnaGrid::SelectAll);
}

void TfrmMain::ConnectTray()
{
    TaskTray& tray = *m_tray;
    connect(&tray, &TaskTray::TerminateChosen, this, &TfrmMain::Quit);
    connect(&tray, &TaskTray::PresetChosen, this,
            [this](HuzaiPresets::TPreset preset) { m_huzai.ApplyPreset(preset); });
    connect(&tray, &TaskTray::OwnSetChosen, this, &TfrmMain::ShowOwnHuzaiEntry);
    connect(&tray, &TaskTray::OwnResetChosen, this, [this] { m_huzai.ResetOwn(); });
    const auto showMemos = [this] {
        SwitchPage(m_tabDengon);
        ShowMainWindow();
    };
    connect(&tray, &TaskTray::DengonCheckChosen, this, showMemos);
    connect(&tray, &TaskTray::DengonOpenDue, this, showMemos);
    connect(&tray, &TaskTray::RowChosen, this, &TfrmMain::popTrayKeizibanClick);
    connect(&tray, &TaskTray::Clicked, this, &TfrmMain::TrayNotify);
}

void TfrmMain::ConnectBoard()
{
    MinuteScheduler& scheduler = m_state.Scheduler;
    connect(&scheduler, &MinuteScheduler::OnIntervalTimer, this, &TfrmMain::KeizibanIntervalTimer);
    // The minute's reloads fail for as long as the share is away (a file server restarting): a
    // box each time would pile up over the lunch break. The status bar tells it until a reload
    // succeeds again; a load the user asked for still answers with a box.
    connect(&scheduler, &MinuteScheduler::LoadFailed, this, [this](const QString& message) {
        ReportStatus(*m_status, message, Severity::Fault);
        m_loadFault = m_statusText->text();
    });
    connect(&m_state.BoardModel, &TVurnaBoardModel::Refreshed, this, [this] {
        if (!m_loadFault.isEmpty() && m_statusText->text() == m_loadFault)
            m_status->setStatusText(QString());
        m_loadFault.clear();
    });
    connect(&scheduler, &MinuteScheduler::OnCheckMsg, this, &TfrmMain::KeizibanCheckMsg);
    connect(&m_state.BoardModel, &TVurnaBoardModel::OnChangeDB, this, &TfrmMain::KeizibanChangeDB);

    m_keiziban->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_keiziban, &QWidget::customContextMenuRequested, this, &TfrmMain::popControlPopup);
    connect(m_keiziban, &TVurnaGrid::OnDblClick, this, [this] { ShowInfomationForm(InfoMode::Details); });
    connect(m_keiziban, &TVurnaGrid::OnShellDrop, this, &TfrmMain::KeizibanShellDrop);
    connect(m_btnOwnerSet, &QToolButton::clicked, this, &TfrmMain::ShowOwnHuzaiEntry);
    connect(m_btnOwnerReset, &QToolButton::clicked, this, [this] { m_huzai.ResetOwn(); });

    // The filter lists and their boxes; the filter file keeps the board's state at exit.
    connect(m_btnGroupFilter, &QPushButton::clicked, this, [this] { m_cmbGroupFilter->Toggle(m_keiziban->height()); });
    connect(m_btnStatusFilter, &QPushButton::clicked, this,
            [this] { m_cmbStatusFilter->Toggle(m_keiziban->height()); });
    connect(m_cmbGroupFilter, &FilterList::TickToggled, this, &TfrmMain::GroupFilterClick);
    connect(m_cmbStatusFilter, &FilterList::TickToggled, this, &TfrmMain::StatusFilterClick);
    connect(m_chkGroupFilter, &QCheckBox::toggled, this, &TfrmMain::GroupFilterClick);
    connect(m_chkStatusFilter, &QCheckBox::toggled, this, &TfrmMain::StatusFilterClick);
}

void TfrmMain::ConnectNotice()
{
    TNoticeContext context{m_state.BoardModel,   m_state.Scheduler, m_state.Own, m_state.Boards,
                           m_state.CurrentBoard, *m_status,         m_settings,  m_clock};
    m_notice = new TVurnaNotice(context, this);
    // Without a look-up of its own the notice asks the host.
    if (m_env.lookUpAddress)
        m_notice->SetAddressLookUp(m_env.lookUpAddress);
    m_writer.SetNotifier(m_notice);
    MakeDelivery();
    connect(m_notice, &TVurnaNotice::MemoArrived, this, [this] {
        m_state.NewMemo = true;
        m_tray->StartHuzaiAlart();
    });
    connect(m_notice, &TVurnaNotice::ReloadRequested, this,
            [this] { WhenBoardIdle([this] { SetKeiziban(m_state.ShownBoard(), true); }); });
    connect(m_notice, &TVurnaNotice::EndRequested, this, &TfrmMain::Quit);
}
