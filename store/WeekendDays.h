#pragma once

#include <QByteArray>
#include <QDate>

// Weekend days are written in vurna.ini as Japanese short day names ("土日"); a day is a
// weekend day when its name occurs anywhere in that text, so whatever else an administrator
// writes beside the names ("土日祝", "土、日") does no harm.
namespace WeekendDays {

// The short day name of `date` ("月" .. "日") in CP932.
QByteArray ShortDayName(const QDate& date);

// Whether `weekend` names at least one day ("月" .. "日" anywhere in it). A value that names
// none ("SAT,SUN") can never make a day a weekend day and is taken for a mistake.
bool NamesAnyDay(const QByteArray& weekend);

// Whether the day name of `date` occurs in `weekend`.
bool IsWeekend(const QByteArray& weekend, const QDate& date);

} // namespace WeekendDays
