#pragma once

#include "store/WindowPlacement.h"

#include <QtGlobal>

class QMainWindow;
class TLocalSettings;

// Where the board window stands: restored when it is made, saved at a normal end, its size
// limits (a column of fixed width that only grows in height), and what maximising means here:
// a full-height column docked at the stored left edge. A window minimised from the maximised
// state comes back maximised.
class MainPlacement
{
public:
    MainPlacement(QMainWindow& window, TLocalSettings& settings);

    void Restore();
    void Save();
    // The window's state changed from `oldState` (Qt::WindowStates).
    void StateChanged(int oldState);
    // The state the window takes when it is brought back from the tray or the task bar.
    int RestoredState() const;

    int Dpi() const;
    const TWindowPlacement& Placement() const { return m_placement; }

private:
    void applySizeLimits();
    void dock();

    QMainWindow& m_window;
    TLocalSettings& m_settings;
    TWindowPlacement m_placement;
    bool m_maximizedBeforeMinimized = false;
};
