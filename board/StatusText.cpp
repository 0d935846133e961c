#include "board/StatusText.h"

#include "platform/Cp932.h"
#include "platform/SjisText.h"

#include <QList>

namespace {

// Numbers separated by '/' or ':'; empty when anything else stands between them.
QList<int> numbers(const QByteArray& text, char separator)
{
    QList<int> result;
    const QByteArray trimmed = SjisText::trim(text);
    if (trimmed.isEmpty())
        return result;
    for (const QByteArray& part : trimmed.split(separator)) {
        if (part.isEmpty() || part.size() > 4)
            return {};
        for (char c : part) {
            if (c < '0' || c > '9')
                return {};
        }
        result.append(part.toInt());
    }
    return result;
}

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

std::optional<QDate> ParseDateText(const QByteArray& text, const QDate& today)
{
    const QList<int> n = numbers(text, '/');
    QDate date;
    if (n.size() == 3) {
        int year = n[0];
        if (year < 100 && SjisText::trim(text).indexOf('/') <= 2) {
            // Two-digit years fall within fifty years of today, as typed dates are read.
            year += today.year() / 100 * 100;
            if (year > today.year() + 50)
                year -= 100;
            else if (year <= today.year() - 50)
                year += 100;
        }
        date = QDate(year, n[1], n[2]);
    } else if (n.size() == 2) {
        date = QDate(today.year(), n[0], n[1]);
    }
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> ParseTimeText(const QByteArray& text)
{
    const QList<int> n = numbers(text, ':');
    if (n.size() < 2 || n.size() > 3)
        return std::nullopt;
    const QTime time(n[0], n[1], n.size() == 3 ? n[2] : 0);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

void GetStatusText(const TVurnaDataRec& record, const QDateTime& now, QByteArray& text, int& code)
{
    static const QByteArray today = Cp932::fromUnicodeLossy(QStringLiteral("本日 "));
    static const QByteArray tomorrow = Cp932::fromUnicodeLossy(QStringLiteral("明日 "));
    static const QByteArray dayAfter = Cp932::fromUnicodeLossy(QStringLiteral("明後日 "));
    code = record.Running ? StatusCode::Running : StatusCode::Stopped;
    text.clear();

    const QDate todayDate = now.date();
    const std::optional<QDate> day = ParseDateText(record.Date, todayDate);
    if (!day) {
        text = record.Date + record.Time;
        if (!record.Date.isEmpty())
            code = StatusCode::away(record.StatusIndex);
        return;
    }

    const QTime time = ParseTimeText(record.Time).value_or(QTime(23, 59));
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
