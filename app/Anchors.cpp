#include "app/Anchors.h"

#include <QEvent>
#include <QWidget>

#include <cmath>

Anchors::Anchors(QWidget& parent, QSize designSize, double scale) : QObject(&parent), m_parent(parent), m_scale(scale)
{
    m_designSize = QSize(Scaled(designSize.width()), Scaled(designSize.height()));
    parent.installEventFilter(this);
}

int Anchors::Scaled(int pixels96) const
{
    return int(std::trunc(pixels96 * m_scale));
}

QRect Anchors::Scaled(const QRect& design) const
{
    return QRect(Scaled(design.x()), Scaled(design.y()), Scaled(design.width()), Scaled(design.height()));
}

void Anchors::Place(QWidget* child, QRect design, int edges)
{
    m_rules.append({child, Scaled(design), edges});
    Apply();
}

void Anchors::Apply()
{
    const int dw = m_parent.width() - m_designSize.width();
    const int dh = m_parent.height() - m_designSize.height();
    for (const Rule& rule : std::as_const(m_rules)) {
        QRect r = rule.rect;
        if (rule.edges & Right) {
            if (rule.edges & Left)
                r.setWidth(r.width() + dw);
            else
                r.moveLeft(r.left() + dw);
        }
        if (rule.edges & Bottom) {
            if (rule.edges & Top)
                r.setHeight(r.height() + dh);
            else
                r.moveTop(r.top() + dh);
        }
        r.setWidth(qMax(0, r.width()));
        r.setHeight(qMax(0, r.height()));
        rule.child->setGeometry(r);
    }
}

bool Anchors::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_parent && event->type() == QEvent::Resize)
        Apply();
    return QObject::eventFilter(watched, event);
}
