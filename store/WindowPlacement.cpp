#include "store/WindowPlacement.h"

int ScaleFrom96(int pixels96, int dpi)
{
    return int(qint64(pixels96) * dpi / 96);
}

WindowSizeLimits MainWindowSizeLimits(int dpi)
{
    WindowSizeLimits limits;
    limits.MinHeight = ScaleFrom96(460, dpi);
    limits.MinWidth = ScaleFrom96(640, dpi);
    limits.MaxWidth = ScaleFrom96(640, dpi);
    return limits;
}

WindowPlacement RestoredPlacement(const RectEdges& current, QSize screen, const StoredPlacement& stored)
{
    WindowPlacement placement;
    placement.Normal.Left = stored.NormalLeft.value_or(current.Left);
    placement.Normal.Top = stored.NormalTop.value_or(current.Top);
    // The width is the window's own: a moved window keeps it (the size limits would force
    // it anyway), and a stored left beyond the current right edge cannot turn it inside out.
    placement.Normal.Right = placement.Normal.Left + current.width();
    placement.Normal.Bottom = stored.NormalBottom.value_or(current.Top + current.height());
    placement.MaxPosition =
        QPoint(stored.MaxLeft.value_or(screen.width() - current.width()), stored.MaxTop.value_or(0));
    placement.MinPosition = QPoint(screen.width(), screen.height());
    placement.RestoreToMaximized = true;
    placement.Hidden = true;
    return placement;
}

MinMaxInfo SizeLimitsOnDemand(const WindowSizeLimits& limits, QSize screen, std::optional<QPoint> placementMaxPosition,
                              std::optional<QRect> workArea)
{
    int maxLeft = screen.width() - limits.MaxWidth;
    if (placementMaxPosition && placementMaxPosition->x() >= 0)
        maxLeft = placementMaxPosition->x();
    const int workBottom = workArea ? workArea->y() + workArea->height() : screen.height();
    const int maxHeight = workBottom;

    MinMaxInfo info;
    info.MinTrackSize = QSize(limits.MinWidth, limits.MinHeight);
    info.MaxPosition = QPoint(maxLeft, 0);
    info.MaxSize = QSize(limits.MinWidth, maxHeight);
    info.MaxTrackSize = QSize(limits.MinWidth, maxHeight);
    return info;
}
