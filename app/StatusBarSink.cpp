#include "app/StatusBarSink.h"

#include "app/MainFonts.h"

#include <QLabel>
#include <QProgressBar>

namespace {

constexpr int StatusBarHeight = 20;

} // namespace

StatusBarSink::StatusBarSink(double scale, QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("stsMain"));
    setFixedHeight(int(StatusBarHeight * scale));
    setFont(MainFonts::Proportional(12, false, scale));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(64, 64, 64));
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);

    // Panel 0: 150 wide, holding the progress bar (left 1, top 2, the panel's height less 3,
    // its width less 2).
    auto* panel0 = new QWidget(this);
    panel0->setFixedSize(int(150 * scale), int(StatusBarHeight * scale));
    m_progress = new QProgressBar(panel0);
    m_progress->setObjectName(QStringLiteral("prgMain"));
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_progress->reset();
    m_progress->setGeometry(1, 2, panel0->width() - 2, panel0->height() - 3);
    addWidget(panel0);

    // Panel 1: at least 50 wide and the rest of the bar.
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("stsMainText"));
    // Reports quote names and paths from the share: shown as written, never as markup.
    m_text->setTextFormat(Qt::PlainText);
    m_text->setMinimumWidth(int(50 * scale));
    m_text->setPalette(palette);
    addWidget(m_text, 1);
}

void StatusBarSink::setStatusText(const QString& text)
{
    m_text->setText(text);
    m_text->repaint();
}

void StatusBarSink::setProgress(int percent)
{
    if (percent < 0)
        m_progress->reset();
    else
        m_progress->setValue(qBound(0, percent, 100));
    m_progress->repaint();
}

void StatusBarSink::setBusy(bool busy)
{
    // A range of nothing makes the bar move back and forth; the range of percents ends it.
    m_progress->setRange(0, busy ? 0 : 100);
    if (!busy)
        m_progress->reset();
}
