#include "app/MainPlacement.h"

#include "platform/LogCategories.h"
#include "store/LocalSettings.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace {

// Qt keeps a window's placement as the top-left of its frame (pos) and the size of its
// client area; the stored edges are those two, so a restore puts the window back exactly.
RectEdges edgesOf(const QPoint& topLeft, const QSize& size)
{
    return RectEdges{topLeft.x(), topLeft.y(), topLeft.x() + size.width(), topLeft.y() + size.height()};
}

const QScreen* screenOf(const QMainWindow& window)
{
    return window.screen() ? window.screen() : QGuiApplication::primaryScreen();
}

} // namespace

MainPlacement::MainPlacement(QMainWindow& window, LocalSettings& settings) : m_window(window), m_settings(settings) {}

int MainPlacement::Dpi() const
{
    const QScreen* screen = m_window.screen();
    return screen ? qMax(96, int(std::lround(screen->logicalDotsPerInchY()))) : 96;
}

void MainPlacement::applySizeLimits()
{
    const QScreen* screen = screenOf(m_window);
    const WindowSizeLimits limits = MainWindowSizeLimits(Dpi());
    const QSize screenSize = screen ? screen->geometry().size() : QSize(limits.MinWidth, limits.MinHeight);
    const std::optional<QRect> workArea = screen ? std::optional<QRect>(screen->availableGeometry()) : std::nullopt;
    const MinMaxInfo info = SizeLimitsOnDemand(limits, screenSize, m_placement.MaxPosition, workArea);
    m_window.setMinimumSize(info.MinTrackSize);
    m_window.setMaximumSize(
        QSize(info.MaxTrackSize.width(), qMax(info.MaxTrackSize.height(), info.MinTrackSize.height())));
}

void MainPlacement::Restore()
{
    const QScreen* screen = screenOf(m_window);
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    const WindowSizeLimits limits = MainWindowSizeLimits(Dpi());
    m_window.resize(limits.MinWidth, qMax(m_window.height(), limits.MinHeight));

    m_placement =
        RestoredPlacement(edgesOf(m_window.pos(), m_window.size()), screenSize, m_settings.ReadStoredPlacement());
    applySizeLimits();
    m_window.move(m_placement.Normal.Left, m_placement.Normal.Top);
    m_window.resize(m_placement.Normal.width(), m_placement.Normal.height());
    qCInfo(lcBoard) << "placement restored" << m_window.pos() << m_window.size();
}

void MainPlacement::Save()
{
    const Qt::WindowStates state = m_window.windowState();
    const bool placed = state & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen);
    const QRect normal = placed ? m_window.normalGeometry() : QRect(m_window.pos(), m_window.size());
    if (!normal.isValid()) {
        qCInfo(lcBoard) << "placement not known: not saved";
        return;
    }
    WindowPlacement placement = m_placement;
    placement.Normal = edgesOf(normal.topLeft(), normal.size());
    if (state & Qt::WindowMaximized)
        placement.MaxPosition = QPoint(m_window.pos().x(), 0);
    // Docked, the window stands where the maximised column goes; its normal place is the one
    // it had before.
    if (isDocked() && m_normalBeforeDock.isValid()) {
        placement.Normal = edgesOf(m_normalBeforeDock.topLeft(), m_normalBeforeDock.size());
        placement.MaxPosition = QPoint(m_window.pos().x(), 0);
    }
    m_settings.SaveWindowPlacement(placement);
    qCInfo(lcBoard) << "placement saved" << normal;
}

void MainPlacement::StateChanged(int oldState)
{
    const Qt::WindowStates state = m_window.windowState();
    if (!(state & Qt::WindowMaximized) || (state & Qt::WindowMinimized))
        return;
    if (!(oldState & Qt::WindowMaximized)) {
        // Kept as the placement keeps it: the frame's top-left and the client area's size.
        const QPoint frame = m_window.geometry().topLeft() - m_window.pos();
        m_normalBeforeDock = m_window.normalGeometry().translated(-frame);
    }
    // The window system has sized the maximised window by the limits; the column then goes
    // to its stored left edge, once the system is done with it. Placed there, the window is
    // in the normal state again, and so it stays docked across a minimise and comes back so.
    QTimer::singleShot(0, &m_window, [this] { dock(); });
}

bool MainPlacement::isDocked() const
{
    return m_docked && m_window.pos() == QPoint(m_placement.MaxPosition.x(), 0);
}

void MainPlacement::dock()
{
    if (!(m_window.windowState() & Qt::WindowMaximized) || (m_window.windowState() & Qt::WindowMinimized))
        return;
    const QScreen* screen = screenOf(m_window);
    const QRect workArea = screen ? screen->availableGeometry() : QRect();
    const int bottom = workArea.isValid() ? workArea.y() + workArea.height() : m_window.maximumHeight();
    const int frame = m_window.frameGeometry().height() - m_window.height();
    const int height = qBound(m_window.minimumHeight(), bottom - frame, m_window.maximumHeight());
    m_window.move(m_placement.MaxPosition.x(), 0);
    m_window.resize(m_window.minimumWidth(), height);
    m_docked = true;
}
