#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// The main window's placement rules as plain arithmetic on the screen size, the work area
// (the screen without the task bar) and the screen's pixels per inch. The window is a
// column of fixed width; maximised it becomes a full-height column docked at MaxLeft.

// A rectangle given by its edges: Right and Bottom lie just outside it.
struct RectEdges
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int width() const { return Right - Left; }
    int height() const { return Bottom - Top; }
    bool operator==(const RectEdges&) const = default;
};

// Size constraints of a window, already scaled to the screen.
struct WindowSizeLimits
{
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;
    bool operator==(const WindowSizeLimits&) const = default;
};

// The main window's constraints: 640 wide (minimum and maximum), at least 460 high, at 96
// pixels per inch; scaled by dpi / 96 and truncated.
WindowSizeLimits MainWindowSizeLimits(int dpi);

// `pixels96` (a size at 96 pixels per inch) at `dpi`, truncated.
int ScaleFrom96(int pixels96, int dpi);

// The values the local settings hold; absent ones fall back to the current window.
struct StoredPlacement
{
    std::optional<int> NormalLeft;
    std::optional<int> NormalTop;
    std::optional<int> NormalBottom;
    std::optional<int> MaxLeft;
    std::optional<int> MaxTop;
};

// What the window system keeps about a window's placement.
struct WindowPlacement
{
    RectEdges Normal;                // restored rectangle
    QPoint MaxPosition;              // top-left when maximised
    QPoint MinPosition;              // top-left when minimised
    bool RestoreToMaximized = false; // restoring from minimised maximises
    bool Hidden = false;             // placed without being shown

    bool operator==(const WindowPlacement&) const = default;
};

// The placement applied at window creation. The normal rectangle keeps the window's
// current width wherever NormalLeft puts it (a stored NormalRight is never read); the
// minimised position is off screen; visibility is left to start-up.
WindowPlacement RestoredPlacement(const RectEdges& current, QSize screen, const StoredPlacement& stored);

// The answer to the window system's minimum and maximum size query.
struct MinMaxInfo
{
    QSize MinTrackSize;
    QPoint MaxPosition;
    QSize MaxSize;
    QSize MaxTrackSize;

    bool operator==(const MinMaxInfo&) const = default;
};

// `placementMaxPosition`: the window's maximised position when its placement can be read;
// `workArea`: the desktop work area when it can be obtained. The window can only change
// its height; maximised it is MinWidth wide and reaches the work area's bottom edge.
MinMaxInfo SizeLimitsOnDemand(const WindowSizeLimits& limits, QSize screen, std::optional<QPoint> placementMaxPosition,
                              std::optional<QRect> workArea);
