#include "app/StatusBarSink.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

StatusBarSink::StatusBarSink(QStatusBar& bar, QLabel& text, QProgressBar& progress)
    : m_bar(bar), m_text(text), m_progress(progress)
{
}

void StatusBarSink::setStatusText(const QString& text)
{
    m_text.setText(text);
    m_text.repaint();
}

void StatusBarSink::setProgress(int percent)
{
    if (percent < 0)
        m_progress.reset();
    else
        m_progress.setValue(qBound(0, percent, 100));
    m_progress.repaint();
}

void StatusBarSink::ShowProgress(const QString& text, int value)
{
    m_text.setText(text);
    if (value == -99)
        setProgress(-1);
    else
        setProgress(value > 9 ? value : 10);
    m_bar.repaint();
}
