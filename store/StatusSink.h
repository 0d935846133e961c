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
    // 0..100; below 0 empties the bar.
    virtual void setProgress(int percent) = 0;
    // Work of unknown length waits (the share does not answer): the bar moves without a value.
    virtual void setBusy(bool) {}

    // The progress display of memo and file delivery: any value from 0 to 9 shows as 10 so
    // that a started bar is visible; -99 empties the bar.
    void ShowProgress(const QString& text, int value)
    {
        setStatusText(text);
        setProgress(value == -99 ? -1 : (value > 9 ? value : 10));
    }
};
