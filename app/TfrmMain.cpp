#include "app/TfrmMain.h"

#include "app/HighlightButtons.h"
#include "app/MainLog.h"
#include "app/Pictures.h"
#include "app/StatusBarSink.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolTip>

Q_LOGGING_CATEGORY(lcMain, "vurna.board", QtWarningMsg)

namespace {

constexpr int HintDisplayMs = 60000;

} // namespace

TfrmMain::TfrmMain(TMainEnvironment environment, QWidget* parent)
    : QMainWindow(parent), m_env(std::move(environment)), m_clock(*m_env.clock), m_boxes(*m_env.boxes),
      m_settings([this] { return OwnAddress(); })
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vurnaboard"));
    setWindowIcon(Pictures::TrayNormal());
    BuildWindow();
    BuildMenus();
    BuildTray();
    m_writer = std::make_unique<UserStatusWriter>(m_keiziban->Model(), m_state.Own);
    CreateNotice();
    BuildGridPopup();
    TVurnaBoardModel& model = m_keiziban->Model();
    connect(&model, &TVurnaBoardModel::OnIntervalTimer, this, &TfrmMain::KeizibanIntervalTimer);
    connect(&model, &TVurnaBoardModel::LoadFailed, this, &TfrmMain::ShowLoadFailure);
    connect(&model, &TVurnaBoardModel::OnCheckMsg, this, &TfrmMain::KeizibanCheckMsg);
    connect(&model, &TVurnaBoardModel::OnChangeDB, this, &TfrmMain::KeizibanChangeDB);
    // Created disabled; the reminders switch it on.
    connect(&m_huzaiAlartTimer, &QTimer::timeout, this, &TfrmMain::HuzaiAlartTimerTimer);
    // Key preview: the window sees every key typed in it before its controls do.
    qApp->installEventFilter(this);
}

TfrmMain::~TfrmMain()
{
    // FormDestroy: the tray icon goes away with the window; the lists are plain members.
    qApp->removeEventFilter(this);
    if (m_tray)
        m_tray->hide();
    qCInfo(lcMain) << "window released";
}

QAction* TfrmMain::MenuAction(const QString& objectName) const
{
    return findChild<QAction*>(objectName);
}

void TfrmMain::ShowMainWindow()
{
    // A detail window that is open keeps the focus; only this window is made visible then.
    // (Until the detail window exists the window always comes forward.)
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
    SetTaskTrayIcon(QStringLiteral("Vurnaboard"), 2, MainIcon());
    SetTaskTrayIcon(QStringLiteral("Vurnaboard"), 0, MainIcon());
    ShowMainWindow();
}

void TfrmMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && statusBar()) {
        // The size grip only while the window is neither maximised nor minimised.
        statusBar()->setSizeGripEnabled(!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)));
    }
    QMainWindow::changeEvent(event);
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // FormActivate: the board page gives the grid the focus.
    if (m_pgcMain->currentWidget() == m_tabKeiziban && m_keiziban->isEnabled())
        m_keiziban->setFocus();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        // Hints stay on screen for a minute, long enough to read the long Japanese ones.
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
