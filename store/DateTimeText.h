#pragma once

#include <QByteArray>
#include <QDate>
#include <QTime>

#include <optional>

// The one reading of dates and times written as text: the return date and time of a user status file, the time table
// and the calendar of vurna.ini. One reading everywhere, so the day the board shows as today is the day the calendar
// means, and a date written by one part of the program is read back by every other.
//
// Every text is first trimmed of blanks and control characters (bytes <= 0x20) at both ends. Then:
//   date   Y/M/D or M/D, with "/" between the numbers. M and D have one or two digits (leading zeros allowed). Y has
//          four digits and is taken as written (0001-9999), or one or two digits and is placed in the hundred years
//          from today's year - 49 to today's year + 50 (in 2026, "76" is 2076 and "77" is 1977). M/D lies in today's
//          year. A day the calendar does not have (2023/2/29, 2024/13/1) is not a date.
//   time   H:N or H:N:S, each number with one or two digits ("9:5" is 9:05), from 0:00:00 to 23:59:59; 24:00 is not
//          a time.
//   date and time   a date, one or more blanks or control characters, a time.
// Digits are ASCII only: full-width digits, signs, three-digit years, the year 0000, empty numbers, blanks between a
// number and its separator and any other separator ("2024-05-01", "9.05") make the text no date or time.
namespace DateTimeText {

// A date as above; nullopt when the text is not one. `today` places short years and M/D.
std::optional<QDate> ParseDate(const QByteArray& text, const QDate& today);

// A time as above; nullopt when the text is not one.
std::optional<QTime> ParseTime(const QByteArray& text);

// A date, a time, or a date and time; the empty text is none of them.
bool IsDateTimeText(const QByteArray& text, const QDate& today);

// A time, or a date and time: what a time-table entry may be.
bool IsTimeText(const QByteArray& text, const QDate& today);

// "yyyy/mm/dd", which ParseDate reads back as the same day; empty for an invalid date or one outside the years
// 1-9999.
QByteArray FormatDate(const QDate& date);

} // namespace DateTimeText
