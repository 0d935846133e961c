// What the parts of the window say, and which handler answers: menus, tray, board, session.
// One connection per command; no handler looks at who called it.

#include "app/HighlightButtons.h"
#include "app/Pictures.h"
#include "app/TfrmMain.h"
#include "app/filters/FilterPanel.h"
#include "app/memo/MemoPage.h"
#include "app/tray/TaskTray.h"
#include "board/ui/TVurnaGrid.h"
#include "forms/HelpContext.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "session/BoardSession.h"
#include "session/MainCaption.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

namespace {

// Runs the clipboard command on the text field with the focus.
void editFocusedText(const std::function<void(QTextEdit&)>& onText, const std::function<void(QLineEdit&)>& onLine)
{
    QWidget* focused = QApplication::focusWidget();
    if (auto* text = qobject_cast<QTextEdit*>(focused))
        onText(*text);
    else if (auto* line = qobject_cast<QLineEdit*>(focused))
        onLine(*line);
}

} // namespace

void TfrmMain::ConnectMenus()
{
    const MainMenus& m = m_menus;
    BoardSession& s = m_session;
    const auto whenIdle = [this](std::function<void()> command) {
        return [this, command] { m_session.WhenBoardIdle(command); };
    };
    connect(m.mnuQuit, &QAction::triggered, this, &TfrmMain::Quit);
    connect(m.mnuReloadAll, &QAction::triggered, this, whenIdle([&s] { s.ReloadAllAsked(); }));
    connect(m.mnuReloadAllOld, &QAction::triggered, this, whenIdle([&s] { s.ReloadAllAsked(); }));
    connect(m.mnuCopy, &QAction::triggered, this,
            [] { editFocusedText([](QTextEdit& t) { t.copy(); }, [](QLineEdit& l) { l.copy(); }); });
    connect(m.mnuCut, &QAction::triggered, this,
            [] { editFocusedText([](QTextEdit& t) { t.cut(); }, [](QLineEdit& l) { l.cut(); }); });
    connect(m.mnuPaste, &QAction::triggered, this,
            [] { editFocusedText([](QTextEdit& t) { t.paste(); }, [](QLineEdit& l) { l.paste(); }); });
    connect(m.mnuSelectAll, &QAction::triggered, this, [this] {
        editFocusedText([](QTextEdit& t) { t.selectAll(); }, [](QLineEdit& l) { l.selectAll(); });
        if (m_pgcMain->currentWidget() == m_tabKeiziban)
            m_keiziban->SelectAll();
    });
    connect(m.mnuVersion, &QAction::triggered, this, [this] { m_dialogs->Version(); });
    // The preferences edit the own board: it is shown first, and nothing opens while it cannot be.
    connect(m.mnuPreference, &QAction::triggered, this, whenIdle([this] {
                SwitchBoardClick(0);
                if (m_session.State().CurrentBoard != 0)
                    return;
                SwitchPage(m_tabKeiziban);
                m_dialogs->Preferences();
            }));
    // The group filter is applied again afterwards, OK or not.
    connect(m.mnuCustomGroup, &QAction::triggered, this, [this] {
        m_dialogs->CustomGroups();
        m_filters->ApplyGroupFilter();
    });
    for (const bool small : {false, true}) {
        connect(small ? m.mnuSmallfont : m.mnuNormalFont, &QAction::triggered, this, [this, small] {
            SetSmallFont(small);
            m_session.Settings().SetSmallFont(small);
        });
    }
    connect(m.mnuCustomSort, &QAction::triggered, this, whenIdle([&s] { s.SortByReading(false); }));
    connect(m.mnuFuriganaSort, &QAction::triggered, this, whenIdle([&s] { s.SortByReading(true); }));
    connect(m.mnuHelp, &QAction::triggered, this, [this] { ShowHelp(HelpTopic::Board); });

    const GridPopup& p = m_popup;
    DialogLauncher& d = *m_dialogs;
    connect(p.popInfo, &QAction::triggered, this, [&d] { d.ShowInfomationForm(TfrmInfo::Mode::Details); });
    connect(p.popHuzaiSet, &QAction::triggered, this, [&d] { d.ShowInfomationForm(TfrmInfo::Mode::HuzaiSet); });
    connect(p.popDengonSend, &QAction::triggered, this, [&d] { d.ShowInfomationForm(TfrmInfo::Mode::DengonSend); });
    connect(p.popDengonRead, &QAction::triggered, this, [&d] { d.ShowInfomationForm(TfrmInfo::Mode::DengonRead); });
    connect(p.popHuzaiReset, &QAction::triggered, this, [&d] { d.ResetSelectedHuzai(); });
    connect(p.popSelectAll, &QAction::triggered, m_keiziban, &TVurnaGrid::SelectAll);
}

void TfrmMain::ConnectTray()
{
    TaskTray& tray = *m_tray;
    connect(&tray, &TaskTray::TerminateChosen, this, &TfrmMain::Quit);
    connect(&tray, &TaskTray::PresetChosen, this,
            [this](HuzaiPresets::Preset preset) { m_session.Huzai().ApplyPreset(preset); });
    connect(&tray, &TaskTray::OwnSetChosen, this, [this] { m_dialogs->ShowOwnHuzaiEntry(); });
    connect(&tray, &TaskTray::OwnResetChosen, this, [this] { m_session.Huzai().ResetOwn(); });
    const auto showMemos = [this] {
        SwitchPage(m_memoPage);
        ShowMainWindow();
    };
    connect(&tray, &TaskTray::DengonCheckChosen, this, showMemos);
    connect(&tray, &TaskTray::DengonOpenDue, this, showMemos);
    connect(&tray, &TaskTray::RowChosen, this, [this](char letter) {
        FormKeyPress(QLatin1Char(letter));
        SwitchPage(m_tabKeiziban);
        ShowMainWindow();
    });
    connect(&tray, &TaskTray::Clicked, this, [this] {
        if (m_session.State().NewMemo)
            SwitchPage(m_memoPage);
        ShowMainWindow();
    });
}

void TfrmMain::ConnectBoard()
{
    m_keiziban->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_keiziban, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_popup.EnableFor(m_keiziban->HasSelection());
        m_popup.popControl->popup(m_keiziban->mapToGlobal(pos));
    });
    connect(m_keiziban, &TVurnaGrid::OnDblClick, this,
            [this] { m_dialogs->ShowInfomationForm(TfrmInfo::Mode::Details); });
    connect(m_keiziban, &TVurnaGrid::OnShellDrop, this, [this] {
        if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
            raise();
            activateWindow();
        }
        m_dialogs->ShowInfomationForm(TfrmInfo::Mode::SendFiles);
    });
    connect(m_btnOwnerSet, &QToolButton::clicked, this, [this] { m_dialogs->ShowOwnHuzaiEntry(); });
    connect(m_btnOwnerReset, &QToolButton::clicked, this, [this] { m_session.Huzai().ResetOwn(); });
}

void TfrmMain::ConnectSession()
{
    BoardSession& s = m_session;
    connect(&s, &BoardSession::BoardLoading, this, [this](const ParmRec& board) {
        const bool furigana = m_session.Settings().RegistSortPriority();
        m_menus.mnuCustomSort->setChecked(!furigana);
        m_menus.mnuFuriganaSort->setChecked(furigana);
        m_keiziban->SetImageList(Pictures::StatusPictureList(board));
    });
    connect(&s, &BoardSession::BoardShown, this, &TfrmMain::ShowBoard);
    connect(&s, &BoardSession::BoardsListed, this, &TfrmMain::SetShareDirectoryToMenuItem);
    connect(&s, &BoardSession::OwnEntryTaken, this, [this] {
        m_keiziban->Arrange();
        m_keiziban->InvalidateMember(m_session.State().Own.FileName, false);
    });
    connect(&s, &BoardSession::MemoWaiting, m_tray, &TaskTray::StartHuzaiAlart);
    connect(m_memoPage, &MemoPage::UnreadTakenIn, this, [this] {
        m_session.MemosTakenIn();
        m_tray->StopHuzaiAlart();
        ShowMainWindow();
    });
    connect(&s, &BoardSession::OwnAbsenceChanged, this, [this](bool absent) {
        if (absent)
            m_tray->StartHuzaiAlart();
        else
            m_tray->StopHuzaiAlart();
    });
    connect(&s, &BoardSession::WaitingOnShare, this, [](bool waiting) {
        if (waiting)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    connect(&s, &BoardSession::MinutePassed, this,
            [this] { setWindowTitle(MainCaptionText(m_session.clock().now().date(), m_session.State().Own.Name)); });
    connect(&s, &BoardSession::EndRequested, this, &TfrmMain::Quit);
}

void TfrmMain::ShowBoard()
{
    m_filters->ShowBoard();
    // The caption only: the overdue question belongs to the minute and to the start.
    const MainState& state = m_session.State();
    setWindowTitle(MainCaptionText(m_session.clock().now().date(), state.Own.Name));
    const bool own = HasOwnEntry(state.Own);
    m_pgcMain->setTabVisible(m_pgcMain->indexOf(m_memoPage), own);
    m_btnOwnerSet->setEnabled(own);
    m_btnOwnerReset->setEnabled(own);
    m_tray->SetOwnItemsEnabled(own);
}

void TfrmMain::SetShareDirectoryToMenuItem()
{
    m_menus.mnuShareDir->clear();
    auto* group = new QActionGroup(m_menus.mnuShareDir);
    const ParmRecList& boards = m_session.State().Boards;
    for (int i = 0; i < boards.size(); ++i) {
        QAction* item = m_menus.mnuShareDir->addAction(Cp932::toUnicode(boards.at(i).BoardName));
        item->setCheckable(true);
        item->setChecked(i == 0);
        group->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, i] { m_session.WhenBoardIdle([this, i] { SwitchBoardClick(i); }); });
    }
}

void TfrmMain::SwitchBoardClick(int index)
{
    m_session.SwitchBoard(index);
    // The menu ticks the board on show, switched or not.
    const QList<QAction*> items = m_menus.mnuShareDir->actions();
    if (m_session.State().CurrentBoard < items.size())
        items.at(m_session.State().CurrentBoard)->setChecked(true);
}

void TfrmMain::SetSmallFont(bool small)
{
    m_menus.mnuSmallfont->setChecked(small);
    m_menus.mnuNormalFont->setChecked(!small);
    m_keiziban->SetSmallFont(small);
    m_keiziban->update();
}

void TfrmMain::SetEditMenuEnabled()
{
    // The clipboard has work only on the memo page; the board's members are not text.
    const bool memoPage = m_pgcMain->currentWidget() == m_memoPage;
    for (QAction* item : {m_menus.mnuCopy, m_menus.mnuCut, m_menus.mnuPaste})
        item->setEnabled(memoPage);
}
