#include "forms/ShadowLabel.h"

#include <QPainter>

ShadowLabel::ShadowLabel(const QString& text, QWidget* parent, const QColor& colour)
    : QWidget(parent), m_text(text), m_colour(colour)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ShadowLabel::setText(const QString& text)
{
    m_text = text;
    updateGeometry();
    update();
}

void ShadowLabel::setColour(const QColor& colour)
{
    m_colour = colour;
    update();
}

QSize ShadowLabel::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(m_text) + 2, metrics.height() + 2};
}

void ShadowLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect().adjusted(0, 0, -1, -1);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    painter.setPen(Qt::black);
    painter.drawText(area.translated(1, 1), flags, m_text);
    painter.setPen(m_colour);
    painter.drawText(area, flags, m_text);
}
