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

bool IsValid(const QByteArray& weekend)
{
    if (weekend.isEmpty())
        return false;
    for (qsizetype i = 0; i < weekend.size();) {
        const qsizetype next = SjisText::nextCharIndex(weekend, i);
        const QByteArray ch = weekend.mid(i, next - i);
        if (!dayNames().contains(Cp932::toUnicode(ch)) || ch.size() != 2)
            return false;
        i = next;
    }
    return true;
}

bool IsWeekend(const QByteArray& weekend, const QDate& date)
{
    return SjisText::indexOf(weekend, ShortDayName(date)) >= 0;
}

} // namespace WeekendDays
