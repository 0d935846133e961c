#pragma once

#include "store/StatusSink.h"

#include <QObject>

class QLabel;
class QProgressBar;

// The main window's status bar as the status sink: panel 1 (a label filling the rest of
// the bar) takes the texts, the progress bar in panel 0 the progress. Both repaint at once,
// as the work that reports runs on the same thread.
class StatusBarSink final : public StatusSink
{
public:
    StatusBarSink(QLabel& text, QProgressBar& progress);

    void setStatusText(const QString& text) override;
    // 0..100; below 0 empties the bar.
    void setProgress(int percent) override;

private:
    QLabel& m_text;
    QProgressBar& m_progress;
};
