#pragma once

#include <QString>

// Where status texts and progress go: panel 1 and the progress bar in panel 0 of the main
// window's status bar. Core code reports through this; the window implements it, tests
// record it.
class StatusSink
{
public:
    virtual ~StatusSink() = default;
    // Replaces the whole text of the status panel.
    virtual void setStatusText(const QString& text) = 0;
    // 0..100.
    virtual void setProgress(int percent) = 0;
};
