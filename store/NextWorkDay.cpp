#include "store/NextWorkDay.h"

#include "store/DateTimeText.h"
#include "store/ParmRec.h"
#include "store/WeekendDays.h"

namespace {

bool listed(const QList<QByteArray>& days, const QByteArray& date)
{
    for (const QByteArray& entry : days) {
        if (entry.left(10) == date)
            return true;
    }
    return false;
}

// Ten years: more than any real run of holidays, small enough to answer at once.
constexpr int SearchLimitDays = 3660;

} // namespace

QByteArray NextWorkDay(const ParmRec& rec, const QDate& today)
{
    for (int step = 1; step <= SearchLimitDays; ++step) {
        const QDate day = today.addDays(step);
        const QByteArray text = DateTimeText::FormatDate(day);
        if (listed(rec.WorkDays, text))
            return text;
        if (WeekendDays::IsWeekend(rec.Weekend, day) || listed(rec.Holidays, text))
            continue;
        return text;
    }
    return DateTimeText::FormatDate(today.addDays(1));
}
