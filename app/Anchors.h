#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

// Keeps child widgets at their designed distances from the edges of their parent, the way
// a form designer's anchors do: a control anchored left and right stretches with the
// parent, one anchored only at the bottom moves with it. Geometry is designed at 96 dpi and
// scaled once by `scale`.
class Anchors final : public QObject
{
    Q_OBJECT

public:
    enum Edge { Left = 1, Top = 2, Right = 4, Bottom = 8, All = 15 };

    // `designSize`: the parent's size at 96 dpi that the rectangles below are designed in.
    Anchors(QWidget& parent, QSize designSize, double scale);

    // Places `child` at `design` (96 dpi) and keeps the anchored edges.
    void Place(QWidget* child, QRect design, int edges = Left | Top);
    // Applies the rules to the parent's current size.
    void Apply();

    int Scaled(int pixels96) const;
    QRect Scaled(const QRect& design) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Rule
    {
        QWidget* child;
        QRect rect; // scaled
        int edges;
    };

    QWidget& m_parent;
    QSize m_designSize; // scaled
    double m_scale;
    QList<Rule> m_rules;
};
