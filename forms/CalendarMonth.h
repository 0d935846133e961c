#pragma once

#include <QByteArray>
#include <QColor>
#include <QDate>
#include <QList>
#include <QString>

// One month laid out on the calendar's grid of 7 columns and 7 rows, and the rules that decide
// what each cell shows: row 0 holds the weekday names, rows 1-6 the days. Column 0 is the
// weekday StartOfWeek (0 = Sunday). Kept apart from the widget so the rules are tested as values.
//
// Day lists hold CP932 lines "yyyy/mm/dd" followed directly by a note, as the site files carry them.
class CalendarMonth
{
public:
    static constexpr int ColCount = 7;
    static constexpr int RowCount = 7;

    static inline const QColor Red{255, 0, 0};
    static inline const QColor Green{0, 128, 0};
    static inline const QColor Silver{192, 192, 192};

    static bool IsLeapYear(int year);
    static int DaysInMonth(int year, int month);

    // `startOfWeek` outside 0-6 counts as Sunday.
    CalendarMonth(int year, int month, int startOfWeek);

    int Year() const { return m_year; }
    int Month() const { return m_month; }
    int StartOfWeek() const { return m_startOfWeek; }
    int DaysInMonth() const { return DaysInMonth(m_year, m_month); }
    // What the column adds to a row's first day; the day of cell (col, row >= 1) is
    // col + MonthOffset + 7 * row - 7.
    int MonthOffset() const { return m_monthOffset; }

    // The weekday (0 = Sunday) shown in a column.
    int WeekdayOf(int col) const { return (col + m_startOfWeek) % 7; }
    // The day number in a cell, 0 for the header row and the cells outside the month.
    int DayAt(int col, int row) const;
    QString CellText(int col, int row) const;

    struct Cell
    {
        int Col = 0;
        int Row = 0;
        bool operator==(const Cell&) const = default;
    };
    // Where a day of the month sits.
    Cell CellOf(int day) const;

    struct Marks
    {
        QByteArray Weekend; // the non-working weekdays' characters (日月火水木金土), CP932
        QList<QByteArray> HoliDay;
        QList<QByteArray> WorkDay;
    };
    struct Marking
    {
        QColor Colour; // invalid: the control's own text colour
        bool Bold = false;
        bool operator==(const Marking&) const = default;
    };
    // How a cell's day is drawn, seen from `today`. Header and empty cells are never marked.
    Marking MarkingAt(int col, int row, const Marks& marks, const QDate& today) const;
    // The notes of the cell's day, holidays first, comma separated, in Unicode, each cut to its
    // first 999 bytes without splitting a character; empty for header and empty cells.
    QString WhatDayAt(int col, int row, const Marks& marks) const;

private:
    int m_year;
    int m_month;
    int m_startOfWeek;
    int m_monthOffset;
};
