#pragma once

#include <QList>
#include <QListWidget>
#include <QPixmap>
#include <QString>

// A check list that drops down below a filter button of the board page: one row per choice,
// each with its picture and a tick. It closes on any click outside it (that click does nothing
// else, as a list that holds the mouse swallows it) and when it loses the focus.
class FilterList final : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FilterList)

public:
    struct Choice
    {
        QString text;
        QPixmap picture;
        bool ticked = false;
        // A choice that could not be stored and read back as itself is shown but cannot be ticked.
        bool tickable = true;
    };

    // `rowHeight` and `pictureSize` in pixels at the screen's dpi.
    FilterList(int rowHeight, int pictureSize, QWidget* parent);
    ~FilterList() override;

    // Replaces the choices without telling anyone: the owner fills the list from stored state.
    void SetChoices(const QList<Choice>& choices);
    // Rows of the ticked choices, in list order.
    QList<int> TickedRows() const;
    int RowHeight() const { return m_rowHeight; }

    // The filter button's click: drops the list down (sized to its rows, but no taller than
    // `maxHeight`), or closes it when it is down.
    void Toggle(int maxHeight);

signals:
    // The user ticked or unticked a choice.
    void TickToggled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int m_rowHeight;
    bool m_filling = false;
    bool m_swallowRelease = false;
};
