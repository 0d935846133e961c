#pragma once

#include "store/StatusSink.h"

#include <QObject>

class QLabel;
class QProgressBar;
class QStatusBar;

// The main window's status bar as the status sink: panel 1 (a label filling the rest of
// the bar) takes the texts, the progress bar in panel 0 the progress. Both repaint at once,
// as the work that reports runs on the same thread.
class StatusBarSink final : public StatusSink
{
public:
    StatusBarSink(QStatusBar& bar, QLabel& text, QProgressBar& progress);

    void setStatusText(const QString& text) override;
    // 0..100; below 0 empties the bar.
    void setProgress(int percent) override;

    // The progress display of the memo and file delivery: any value from 0 to 9 shows as
    // 10 so that a started bar is visible; -99 empties the bar.
    void ShowProgress(const QString& text, int value);

private:
    QStatusBar& m_bar;
    QLabel& m_text;
    QProgressBar& m_progress;
};
