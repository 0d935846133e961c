#include "app/TfrmMain.h"

#include "app/HighlightButtons.h"
#include "app/MainLog.h"
#include "app/Pictures.h"
#include "app/StatusBarSink.h"
#include "app/TaskTray.h"
#include "board/TVurnaNotice.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolTip>

Q_LOGGING_CATEGORY(lcMain, "vurna.board", QtWarningMsg)

namespace {

// Long enough to read the long Japanese hints.
constexpr int HintDisplayMs = 60000;

} // namespace

TfrmMain::TfrmMain(TMainEnvironment environment, QWidget* parent)
    : QMainWindow(parent), m_env(std::move(environment)), m_clock(*m_env.clock), m_boxes(*m_env.boxes),
      m_settings([this] { return m_notice ? m_notice->GetOwnAddress() : QByteArray(); }),
      m_writer(m_state.BoardModel, m_state.Own), m_huzai(m_state, m_writer, m_clock, m_boxes),
      m_placement(*this, m_settings)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vurnaboard"));
    setWindowIcon(Pictures::TrayNormal());
    BuildWindow();
    m_huzai.SetStatusSink(m_status.get());
    m_menus = BuildMainMenus(*this);
    m_popup = BuildGridPopup(*this);
    m_tray = new TaskTray(m_state, m_clock, m_env.trayAvailable, *this);
    ConnectMenus();
    ConnectTray();
    ConnectBoard();
    ConnectNotice();
    // Key preview: the window sees every key typed in it before its controls do.
    qApp->installEventFilter(this);
}

TfrmMain::~TfrmMain()
{
    qApp->removeEventFilter(this);
    // The state goes before the child widgets do, and a widget losing the focus as it goes
    // must not reach a handler that works on that state.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
    qCInfo(lcMain) << "window released";
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
    qCInfo(lcMain) << "second start: window brought forward";
    // Adding the icon again also brings back one lost when the tray host restarted.
    m_tray->SetTaskTrayIcon(QStringLiteral("Vurnaboard"), TrayOperation::Delete, {});
    m_tray->SetTaskTrayIcon(QStringLiteral("Vurnaboard"), TrayOperation::Add, windowIcon());
    ShowMainWindow();
}

void TfrmMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        // The size grip only while the window is neither maximised nor minimised.
        if (statusBar())
            statusBar()->setSizeGripEnabled(!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)));
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

void TfrmMain::ShowLoadFailure(const QString& message)
{
    m_boxes.show(message, Mb::Ok | Mb::IconStop);
}
