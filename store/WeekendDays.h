#pragma once

#include <QByteArray>
#include <QDate>

// Weekend days are written in vurna.ini as Japanese short day names ("土日"); a day is a
// weekend day when its name occurs anywhere in that text.
namespace WeekendDays {

// The short day name of `date` ("月" .. "日") in CP932.
QByteArray ShortDayName(const QDate& date);

// Whether `weekend` is a usable WEEKEND value: one or more short day names and nothing else.
bool IsValid(const QByteArray& weekend);

// Whether the day name of `date` occurs in `weekend`.
bool IsWeekend(const QByteArray& weekend, const QDate& date);

} // namespace WeekendDays
