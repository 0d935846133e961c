#include "forms/CalendarMonth.h"

#include "platform/Cp932.h"
#include "platform/SjisText.h"

#include <array>

namespace {

// Indexed by weekday, 0 = Sunday.
constexpr char16_t WeekdayNames[] = u"日月火水木金土";

// The weekday characters as Weekend holds them.
const std::array<QByteArray, 7>& weekdayBytes()
{
    static const std::array<QByteArray, 7> bytes = [] {
        std::array<QByteArray, 7> result;
        for (int i = 0; i < 7; ++i)
            result[i] = Cp932::fromUnicodeLossy(QString(QChar(WeekdayNames[i])));
        return result;
    }();
    return bytes;
}

QByteArray dayKey(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd")).toLatin1();
}

constexpr qsizetype KeyLength = 10;
// Notes longer than this are cut, so a runaway line cannot flood the owner's hint.
constexpr qsizetype MaxNoteBytes = 999;

bool isEntryOf(const QByteArray& entry, const QByteArray& key)
{
    return entry.left(KeyLength) == key;
}

} // namespace

bool CalendarMonth::IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int CalendarMonth::DaysInMonth(int year, int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

CalendarMonth::CalendarMonth(int year, int month, int startOfWeek)
    : m_year(year), m_month(month), m_startOfWeek(startOfWeek >= 0 && startOfWeek <= 6 ? startOfWeek : 0)
{
    // Weekday of the 1st counted 1 = Sunday ... 7 = Saturday, as column index from StartOfWeek.
    const int firstWeekday = QDate(year, month, 1).dayOfWeek() % 7 + 1;
    const int a = (firstWeekday - m_startOfWeek + 7) % 7;
    // a = 0 puts the 1st in the last column; without the shift it would land in the header row.
    m_monthOffset = a == 0 ? -5 : 2 - a;
}

int CalendarMonth::DayAt(int col, int row) const
{
    if (col < 0 || col >= ColCount || row < 1 || row >= RowCount)
        return 0;
    const int day = col + m_monthOffset + 7 * row - 7;
    return day >= 1 && day <= DaysInMonth() ? day : 0;
}

QString CalendarMonth::CellText(int col, int row) const
{
    if (row == 0 && col >= 0 && col < ColCount)
        return QString(QChar(WeekdayNames[WeekdayOf(col)]));
    const int day = DayAt(col, row);
    return day > 0 ? QString::number(day) : QString();
}

CalendarMonth::Cell CalendarMonth::CellOf(int day) const
{
    const int p = day - m_monthOffset;
    return {p % 7, p / 7 + 1};
}

CalendarMonth::Marking CalendarMonth::MarkingAt(int col, int row, const Marks& marks, const QDate& today) const
{
    Marking marking;
    const int day = DayAt(col, row);
    if (day == 0)
        return marking;
    const QDate date(m_year, m_month, day);
    const QByteArray key = dayKey(date);
    if (SjisText::indexOf(marks.Weekend, weekdayBytes()[WeekdayOf(col)]) >= 0)
        marking.Colour = Red;
    for (const QByteArray& entry : marks.HoliDay) {
        if (isEntryOf(entry, key))
            marking = {Red, true};
    }
    for (const QByteArray& entry : marks.WorkDay) {
        if (isEntryOf(entry, key))
            marking = {Green, true};
    }
    // "yyyy/mm/dd" texts sort as their dates do.
    if (key < dayKey(today))
        marking.Colour = Silver;
    return marking;
}

QString CalendarMonth::WhatDayAt(int col, int row, const Marks& marks) const
{
    QString whatDay;
    const int day = DayAt(col, row);
    if (day == 0)
        return whatDay;
    const QByteArray key = dayKey(QDate(m_year, m_month, day));
    for (const QList<QByteArray>* list : {&marks.HoliDay, &marks.WorkDay}) {
        for (const QByteArray& entry : *list) {
            if (!isEntryOf(entry, key))
                continue;
            if (!whatDay.isEmpty())
                whatDay += QLatin1Char(',');
            whatDay += Cp932::toUnicode(SjisText::leftBytes(entry.mid(KeyLength), MaxNoteBytes));
        }
    }
    return whatDay;
}
