#pragma once

#include "forms/CalendarMonth.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>

class Clock;

// A month calendar: 7 columns and 7 rows, the weekday names in row 0 and the month's days
// below, the selected day drawn highlighted. Weekend columns, holidays and working days are
// coloured, days before today greyed; the notes of the day under the mouse are offered as
// WhatDay. The owner hands it the day lists; the widget only draws them and takes input.
class TVurnaCalendar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TVurnaCalendar)

public:
    // Shows today's date from `clock`, which must outlive the calendar.
    explicit TVurnaCalendar(Clock& clock, QWidget* parent = nullptr);

    QDate Date() const { return m_date; }
    // Shows and selects `date` without OnChange: the owner sets it, so there is nothing to tell
    // the owner. An invalid date is ignored.
    void SetDate(const QDate& date);

    // Each setter ignores values below 1, a month above 12, a day past the month's end and
    // the value already shown; otherwise it turns UseCurrentDate off and fires OnChange. A new
    // year or month that lacks the shown day keeps the month's last day instead.
    int Year() const { return m_date.year(); }
    void SetYear(int year);
    int Month() const { return m_date.month(); }
    void SetMonth(int month);
    int Day() const { return m_date.day(); }
    void SetDay(int day);

    // The weekday in column 0, 0 = Sunday; values outside 0-6 are ignored.
    int StartOfWeek() const { return m_startOfWeek; }
    void SetStartOfWeek(int weekday);

    // True shows the clock's date again (without OnChange).
    bool UseCurrentDate() const { return m_useCurrentDate; }
    void SetUseCurrentDate(bool use);

    // The user cannot move the selection, and so picks nothing.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // CP932 lines "yyyy/mm/dd" followed directly by the day's note.
    const QList<QByteArray>& WorkDay() const { return m_marks.WorkDay; }
    void SetWorkDay(const QList<QByteArray>& lines);
    const QList<QByteArray>& HoliDay() const { return m_marks.HoliDay; }
    void SetHoliDay(const QList<QByteArray>& lines);
    // CP932 characters of the non-working weekdays (土日); empty for none.
    const QByteArray& Weekend() const { return m_marks.Weekend; }
    void SetWeekend(const QByteArray& weekdays);

    // Notes of the day last under the mouse; set before OnMouseMove.
    const QString& WhatDay() const { return m_whatDay; }

    int GridLineWidth() const { return m_gridLineWidth; }
    void SetGridLineWidth(int width);

    int MonthOffset() const { return m_layout.MonthOffset(); }
    const CalendarMonth& Layout() const { return m_layout; }

    // The selected cell.
    int Col() const { return m_col; }
    int Row() const { return m_row; }
    QRect CellRect(int col, int row) const;
    // The cell under a point (a grid line belongs to the cell before it); false past the last
    // column or row, where the division of the client size leaves a remainder.
    bool CellAt(const QPoint& pos, int& col, int& row) const;

    QSize sizeHint() const override;

signals:
    // The date changed through Year, Month or Day (a click on another day among them).
    void OnChange();
    // A cell was chosen by the mouse or an arrow key.
    void OnClick();
    // WhatDay was updated for the cell under the mouse.
    void OnMouseMove();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Part { Year, Month, Day };
    void setPart(Part part, int value);
    void updateLayout();
    bool selectCell(int col, int row);
    void chooseCell(int col, int row);
    int colWidth() const;
    int rowHeight() const;

    Clock& m_clock;
    QDate m_date;
    CalendarMonth m_layout;
    CalendarMonth::Marks m_marks;
    QString m_whatDay;
    int m_startOfWeek = 0;
    bool m_useCurrentDate = true;
    bool m_readOnly = false;
    // The layout moves the selection itself, also when the user may not.
    bool m_updating = false;
    int m_gridLineWidth = 1;
    int m_col = 0;
    int m_row = 1;
};
