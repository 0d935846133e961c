#pragma once

#include "store/WindowPlacement.h"

#include <QtGlobal>

class QMainWindow;
class LocalSettings;

// Where the board window stands: restored when it is made, saved at a normal end, its size
// limits (a column of fixed width that only grows in height), and what maximising means here:
// a full-height column docked at the stored left edge, which a minimise keeps.
class MainPlacement
{
public:
    MainPlacement(QMainWindow& window, LocalSettings& settings);

    void Restore();
    void Save();
    // The window's state changed from `oldState` (Qt::WindowStates).
    void StateChanged(int oldState);

    int Dpi() const;
    const WindowPlacement& Placement() const { return m_placement; }

private:
    void applySizeLimits();
    void dock();
    bool isDocked() const;

    QMainWindow& m_window;
    LocalSettings& m_settings;
    WindowPlacement m_placement;
    bool m_docked = false;
    QRect m_normalBeforeDock;
};
