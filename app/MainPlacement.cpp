// The window's placement: restored at creation, saved at a normal end, and the size limits
// that make the window a column of fixed width that only grows in height.

#include "app/MainLog.h"
#include "app/TfrmMain.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

// Qt keeps a window's placement as the top-left of its frame (pos) and the size of its
// client area; the stored edges are those two, so a restore puts the window back exactly.
TRectEdges edgesOf(const QPoint& topLeft, const QSize& size)
{
    return TRectEdges{topLeft.x(), topLeft.y(), topLeft.x() + size.width(), topLeft.y() + size.height()};
}

} // namespace

void TfrmMain::ApplySizeLimits()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const TSizeLimits limits = MainWindowSizeLimits(Dpi());
    const QSize screenSize = screen ? screen->geometry().size() : QSize(limits.MinWidth, limits.MinHeight);
    const std::optional<QRect> workArea = screen ? std::optional<QRect>(screen->availableGeometry()) : std::nullopt;
    const TMinMaxInfo info = SizeLimitsOnDemand(limits, screenSize, m_placement.MaxPosition, workArea);
    setMinimumSize(info.MinTrackSize);
    // Never narrower or wider than the minimum width; at most the work area high. (Where the
    // window manager puts a maximised window is its own business on X11 and Wayland.)
    setMaximumSize(QSize(info.MaxTrackSize.width(), qMax(info.MaxTrackSize.height(), info.MinTrackSize.height())));
}

void TfrmMain::RestoreWindowPlacement()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    const TSizeLimits limits = MainWindowSizeLimits(Dpi());
    resize(limits.MinWidth, qMax(height(), limits.MinHeight));

    m_placement = RestoredPlacement(edgesOf(pos(), size()), screenSize, m_settings.ReadStoredPlacement());
    ApplySizeLimits();
    move(m_placement.Normal.Left, m_placement.Normal.Top);
    resize(m_placement.Normal.width(), m_placement.Normal.height());
    qCInfo(lcMain) << "placement restored" << pos() << size();
}

void TfrmMain::SaveWindowPlacement()
{
    const bool placed = windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen);
    const QRect normal = placed ? normalGeometry() : QRect(pos(), size());
    if (!normal.isValid()) {
        qCInfo(lcMain) << "placement not known: not saved";
        return;
    }
    TWindowPlacement placement = m_placement;
    placement.Normal = edgesOf(normal.topLeft(), normal.size());
    if (windowState() & Qt::WindowMaximized)
        placement.MaxPosition = QPoint(pos().x(), 0);
    m_settings.SaveWindowPlacement(placement);
    qCInfo(lcMain) << "placement saved" << normal;
}
