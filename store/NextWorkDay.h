#pragma once

#include <QByteArray>
#include <QDate>

struct ParmRec;

// The first working day after `today` by the board's calendar lists, as "yyyy/mm/dd". A
// working-day entry wins over the weekend and a holiday of the same date. A calendar that
// declares every day off gives the day after `today` rather than searching for ever.
QByteArray NextWorkDay(const ParmRec& rec, const QDate& today);
