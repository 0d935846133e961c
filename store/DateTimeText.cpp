#include "store/DateTimeText.h"

#include "platform/SjisText.h"

#include <QList>

namespace DateTimeText {
namespace {

// The whole of `part` as a number of minDigits to maxDigits ASCII digits.
std::optional<int> number(const QByteArray& part, qsizetype minDigits, qsizetype maxDigits)
{
    if (part.size() < minDigits || part.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    for (char c : part) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

int windowedYear(int shortYear, int thisYear)
{
    const int year = thisYear / 100 * 100 + shortYear;
    if (year > thisYear + 50)
        return year - 100;
    if (year <= thisYear - 50)
        return year + 100;
    return year;
}

std::optional<int> year(const QByteArray& part, const QDate& today)
{
    // Three digits are neither a short year nor a full one; reading "024" as the year 24 would
    // place a typing slip two thousand years away.
    if (part.size() == 3)
        return std::nullopt;
    const std::optional<int> y = number(part, 1, 4);
    if (y && part.size() <= 2)
        return windowedYear(*y, today.year());
    return y;
}

// A trimmed text that is a date, blanks, and a time. A date holds no blank, so the first blank
// ends it; no trail byte is a blank, so the byte scan never splits a pair.
bool isDateAndTime(const QByteArray& trimmed, const QDate& today)
{
    qsizetype blank = 0;
    while (blank < trimmed.size() && static_cast<unsigned char>(trimmed.at(blank)) > 0x20)
        ++blank;
    return blank < trimmed.size() && ParseDate(trimmed.left(blank), today) && ParseTime(trimmed.mid(blank));
}

QByteArray twoDigits(int n)
{
    return QByteArray::number(n).rightJustified(2, '0');
}

} // namespace

std::optional<QDate> ParseDate(const QByteArray& text, const QDate& today)
{
    const QList<QByteArray> parts = SjisText::trim(text).split('/');
    if (parts.size() != 2 && parts.size() != 3)
        return std::nullopt;
    const std::optional<int> y = parts.size() == 3 ? year(parts.at(0), today) : today.year();
    const std::optional<int> m = number(parts.at(parts.size() - 2), 1, 2);
    const std::optional<int> d = number(parts.at(parts.size() - 1), 1, 2);
    if (!y || !m || !d)
        return std::nullopt;
    const QDate date(*y, *m, *d);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> ParseTime(const QByteArray& text)
{
    const QList<QByteArray> parts = SjisText::trim(text).split(':');
    if (parts.size() != 2 && parts.size() != 3)
        return std::nullopt;
    const std::optional<int> h = number(parts.at(0), 1, 2);
    const std::optional<int> m = number(parts.at(1), 1, 2);
    const std::optional<int> s = parts.size() == 3 ? number(parts.at(2), 1, 2) : 0;
    if (!h || !m || !s)
        return std::nullopt;
    const QTime time(*h, *m, *s);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

bool IsDateTimeText(const QByteArray& text, const QDate& today)
{
    const QByteArray trimmed = SjisText::trim(text);
    return ParseDate(trimmed, today) || ParseTime(trimmed) || isDateAndTime(trimmed, today);
}

bool IsTimeText(const QByteArray& text, const QDate& today)
{
    const QByteArray trimmed = SjisText::trim(text);
    return ParseTime(trimmed) || isDateAndTime(trimmed, today);
}

QByteArray FormatDate(const QDate& date)
{
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return {};
    return QByteArray::number(date.year()).rightJustified(4, '0') + '/' + twoDigits(date.month()) + '/' +
           twoDigits(date.day());
}

} // namespace DateTimeText
