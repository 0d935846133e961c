#pragma once

#include "store/StatusSink.h"

#include <QStatusBar>

class QLabel;
class QProgressBar;

// The main window's status bar as the status sink: panel 1 (a label filling the rest of
// the bar) takes the texts, the progress bar in panel 0 the progress. Both repaint at once,
// as the work that reports runs on the same thread.
class StatusBarSink final : public QStatusBar, public StatusSink
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusBarSink)

public:
    StatusBarSink(double scale, QWidget* parent);

    void setStatusText(const QString& text) override;
    // 0..100; below 0 empties the bar.
    void setProgress(int percent) override;
    void setBusy(bool busy) override;

private:
    QLabel* m_text = nullptr;
    QProgressBar* m_progress = nullptr;
};
