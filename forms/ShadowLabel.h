#pragma once

#include <QColor>
#include <QWidget>

// A caption drawn twice, a black copy one pixel right and below the coloured one, so that it
// reads on any background: the look of the detail window's field labels.
class ShadowLabel final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShadowLabel)

public:
    explicit ShadowLabel(const QString& text, QWidget* parent = nullptr, const QColor& colour = QColor(0, 255, 0));

    QString text() const { return m_text; }
    void setText(const QString& text);
    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QColor m_colour;
};
