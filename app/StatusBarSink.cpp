#include "app/StatusBarSink.h"

#include <QLabel>
#include <QProgressBar>

StatusBarSink::StatusBarSink(QLabel& text, QProgressBar& progress) : m_text(text), m_progress(progress)
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
