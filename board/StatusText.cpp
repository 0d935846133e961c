#include "board/StatusText.h"

#include "platform/Cp932.h"
#include "store/DateTimeText.h"

namespace {

QByteArray twoDigits(int n)
{
    return QByteArray::number(n).rightJustified(2, '0');
}

QByteArray weekdayName(const QDate& day)
{
    static const QString names = QStringLiteral("月火水木金土日");
    return Cp932::fromUnicodeLossy(names.mid(day.dayOfWeek() - 1, 1));
}

} // namespace

void GetStatusText(const TVurnaDataRec& record, const QDateTime& now, QByteArray& text, int& code)
{
    static const QByteArray today = Cp932::fromUnicodeLossy(QStringLiteral("本日 "));
    static const QByteArray tomorrow = Cp932::fromUnicodeLossy(QStringLiteral("明日 "));
    static const QByteArray dayAfter = Cp932::fromUnicodeLossy(QStringLiteral("明後日 "));
    code = record.Running ? StatusCode::Running : StatusCode::Stopped;
    text.clear();

    const QDate todayDate = now.date();
    const std::optional<QDate> day = DateTimeText::ParseDate(record.Date, todayDate);
    if (!day) {
        text = record.Date + record.Time;
        if (!record.Date.isEmpty())
            code = StatusCode::away(record.StatusIndex);
        return;
    }

    const QTime time = DateTimeText::ParseTime(record.Time).value_or(QTime(23, 59));
    const QDateTime moment(*day, time);
    text = twoDigits(day->month()) + '/' + twoDigits(day->day()) + weekdayName(*day) + ' ' + record.Time;
    if (now > moment) {
        code = StatusCode::Overdue;
    } else if (*day == todayDate) {
        text = today + record.Time;
        code = StatusCode::backToday(record.StatusIndex);
    } else if (*day == todayDate.addDays(1)) {
        text = tomorrow + record.Time;
        code = StatusCode::away(record.StatusIndex);
    } else if (*day == todayDate.addDays(2)) {
        text = dayAfter + record.Time;
        code = StatusCode::away(record.StatusIndex);
    } else {
        code = StatusCode::away(record.StatusIndex);
    }
}
