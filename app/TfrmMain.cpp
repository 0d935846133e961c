#include "app/TfrmMain.h"

#include "app/HighlightButtons.h"
#include "app/Pictures.h"
#include "app/StatusBarSink.h"
#include "app/filters/FilterPanel.h"
#include "app/help/HelpBook.h"
#include "app/help/HelpKey.h"
#include "app/help/HelpWindow.h"
#include "app/memo/MemoPage.h"
#include "app/tray/TaskTray.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/LogCategories.h"
#include "platform/SingleInstance.h"
#include "session/BoardSession.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>
#include <QTabWidget>
#include <QToolTip>

namespace {

// Long enough to read the long Japanese hints.
constexpr int HintDisplayMs = 60000;

} // namespace

TfrmMain::TfrmMain(BoardSession& session, MainWindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_env(environment), m_placement(*this, session.Settings())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vurnaboard"));
    setWindowIcon(Pictures::TrayNormal());
    BuildWindow();
    m_session.SetStatusSink(m_status);
    m_menus = BuildMainMenus(*this);
    m_popup = BuildGridPopup(*this);
    m_tray = new TaskTray(m_session.State(), m_session.clock(), m_env.trayAvailable, *this);
    m_dialogs = std::make_unique<DialogLauncher>(m_session, *m_keiziban, *this);
    ConnectMenus();
    ConnectTray();
    ConnectBoard();
    ConnectSession();
    // Key preview: the window sees every key typed in it before its controls do.
    qApp->installEventFilter(this);
}

TfrmMain::~TfrmMain()
{
    qApp->removeEventFilter(this);
    m_session.SetStatusSink(nullptr);
    // The state goes before the child widgets do, and a widget losing the focus as it goes
    // must not reach a handler that works on that state.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
    disconnect(&m_session, nullptr, this, nullptr);
    qCInfo(lcBoard) << "window released";
}

bool TfrmMain::FormCreate()
{
    qCInfo(lcBoard) << "start-up begins";
    m_placement.Restore();
    m_tray->SetTaskTrayIcon(QStringLiteral("Vurnaが起動処理中です。"), TrayOperation::Add, Pictures::TrayStarting());
    m_status->setProgress(-1);
    // F1 anywhere in the program, modal dialogs included (the start-up's own questions too), opens
    // the topic of what has the focus.
    qApp->installEventFilter(new HelpKey([this](int context) { ShowHelp(context); }, this));
    if (!m_session.BeginStartUp()) {
        EndProgram();
        return false;
    }
    QApplication::setWindowIcon(windowIcon());
    if (m_env.instance) {
        connect(m_env.instance, &SingleInstance::WakeupRequested, this, &TfrmMain::VurnaWakeup, Qt::UniqueConnection);
        m_env.instance->Listen();
    }
    m_tray->SetTaskTrayIcon(QStringLiteral("Vurnaboard"), TrayOperation::Modify, windowIcon());
    SetSmallFont(m_session.Settings().SmallFont());
    m_session.FinishStartUp();
    m_keiziban->setAcceptDrops(true);
    SetEditMenuEnabled();
    // An end asked for during the later steps (the overdue question waits for an answer) was
    // held back, or has already ended the program; either way there is no event loop to run.
    if (m_session.EndPending() && !m_session.HasEnded())
        EndProgram();
    return !m_session.HasEnded();
}

void TfrmMain::ShowAtStart()
{
    if (!m_session.State().OwnBoard().AutoSmall) {
        ShowMainWindow();
        qCInfo(lcBoard) << "window shown";
    } else if (!m_env.trayAvailable) {
        // Without a tray a hidden window could never be reached again.
        showMinimized();
        qCInfo(lcBoard) << "window minimised (no tray)";
    } else {
        qCInfo(lcBoard) << "window in the tray";
    }
}

void TfrmMain::Quit()
{
    if (m_session.RequestEnd())
        EndProgram();
}

void TfrmMain::EndProgram()
{
    if (!m_session.HasEnded())
        emit Ending();
    if (!m_session.End([this] {
            m_memoPage->SaveOwnBoard();
            m_placement.Save();
        }))
        return;
    m_tray->SetTaskTrayIcon(QString(), TrayOperation::Delete, {});
    hide();
    qCInfo(lcBoard) << "program ends";
    emit Ended();
    QCoreApplication::quit();
}

void TfrmMain::ShowMainWindow()
{
    // A detail window that is open will keep the focus; until there is one the window always
    // comes forward.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    // (The offscreen platform has no window stacking and says so on every call.)
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        raise();
        activateWindow();
    }
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void TfrmMain::VurnaWakeup()
{
    qCInfo(lcBoard) << "second start: window brought forward";
    // Adding the icon again also brings back one lost when the tray host restarted.
    m_tray->SetTaskTrayIcon(QStringLiteral("Vurnaboard"), TrayOperation::Delete, {});
    m_tray->SetTaskTrayIcon(QStringLiteral("Vurnaboard"), TrayOperation::Add, windowIcon());
    ShowMainWindow();
}

void TfrmMain::SwitchPage(QWidget* page)
{
    if (m_pgcMain->currentWidget() == page)
        pgcMainChange();
    else
        m_pgcMain->setCurrentWidget(page); // runs pgcMainChange
}

void TfrmMain::pgcMainChange()
{
    SetEditMenuEnabled();
    const bool memoPage = m_pgcMain->currentWidget() == m_memoPage;
    m_filters->setVisible(!memoPage);
    if (!memoPage)
        return;
    // Both wait on the share's queue, the parcels behind the memos.
    if (m_memoPage->TakeInMemos(m_session.State().OwnBoard().ShareDir))
        m_session.ReceiveParcels();
}

void TfrmMain::ShowHelp(int context)
{
    // Every member can write the share: the site's help is shown as text here, never handed to
    // the desktop's opener.
    HelpWindow::Open(HelpBook(m_session.State().OwnBoard().ShareDir), context, this);
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (m_session.HasEnded()) {
        event->accept();
        return;
    }
    // The close box keeps the program running: the board page comes back on top and the
    // window goes to the tray, or is minimised where there is no tray to come back from.
    event->ignore();
    SwitchPage(m_tabKeiziban);
    if (m_env.trayAvailable)
        hide();
    else
        showMinimized();
}

void TfrmMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        // The size grip only while the window is neither maximised nor minimised.
        m_status->setSizeGripEnabled(!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)));
        m_placement.StateChanged(int(static_cast<QWindowStateChangeEvent*>(event)->oldState()));
    }
    QMainWindow::changeEvent(event);
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The board page gives the grid the focus whenever the window comes up.
    if (m_pgcMain->currentWidget() == m_tabKeiziban && m_keiziban->isEnabled())
        m_keiziban->setFocus();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && !widget->toolTip().isEmpty()) {
            const auto* help = static_cast<QHelpEvent*>(event);
            QToolTip::showText(help->globalPos(), widget->toolTip(), widget, QRect(), HintDisplayMs);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        // A key reaches the focused widget first and then, when ignored, its parents: only
        // the first delivery counts.
        QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        if (watched == first && first->window() == this) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text();
            const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
            if (plain && text.size() == 1 && text.at(0).isPrint())
                FormKeyPress(text.at(0));
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::FormKeyPress(QChar character)
{
    m_panel1->Choose(HighlightRows::TagForCharacter(character));
}
