#include "store/WeekendDays.h"

#include "platform/Cp932.h"
#include "platform/SjisText.h"

namespace WeekendDays {
namespace {

// Monday first, as QDate::dayOfWeek counts.
const QString& dayNames()
{
    static const QString names = QStringLiteral("月火水木金土日");
    return names;
}

} // namespace

QByteArray ShortDayName(const QDate& date)
{
    return Cp932::fromUnicodeLossy(dayNames().mid(date.dayOfWeek() - 1, 1));
}

bool NamesAnyDay(const QByteArray& weekend)
{
    for (qsizetype day = 0; day < dayNames().size(); ++day) {
        if (SjisText::indexOf(weekend, Cp932::fromUnicodeLossy(dayNames().mid(day, 1))) >= 0)
            return true;
    }
    return false;
}

bool IsWeekend(const QByteArray& weekend, const QDate& date)
{
    return SjisText::indexOf(weekend, ShortDayName(date)) >= 0;
}

} // namespace WeekendDays
