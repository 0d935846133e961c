#include "forms/InfoTexts.h"

#include "platform/Cp932.h"
#include "platform/SjisText.h"
#include "store/DateTimeText.h"
#include "store/MemoFiles.h"

namespace InfoTexts {

QString SelectionCaption(const QString& firstName, const QString& lastName, int count)
{
    if (count <= 1)
        return firstName + QStringLiteral("さんを選択しています。");
    return firstName + QStringLiteral("さん ～ ") + lastName + QStringLiteral("さんを選択しています。(計:") +
           QString::number(count) + QStringLiteral("人)");
}

QString WeekdayName(const QDate& date)
{
    static const QString names = QStringLiteral("月火水木金土日");
    return date.isValid() ? names.mid(date.dayOfWeek() - 1, 1) : QString();
}

QString MemoHeader(const QString& senderName, bool parcel, const QDateTime& now)
{
    const QString sender = senderName.isEmpty() ? QStringLiteral("ゲスト") : senderName;
    const QString kind = parcel ? QStringLiteral("より(Vurna便) ") : QStringLiteral("より(伝言)     ");
    const QDate day = now.date();
    const QString when = QStringLiteral("送信日時: %1年 %2月%3日(%4) %5時%6分")
                             .arg(day.year())
                             .arg(day.month())
                             .arg(day.day())
                             .arg(WeekdayName(day))
                             .arg(now.time().hour())
                             .arg(now.time().minute());
    return QStringLiteral("○") + sender + kind + when + QStringLiteral("\n\n");
}

QString ReturnText(const QByteArray& date, const QByteArray& time, const QDate& today)
{
    // Only a text that names a day is shown as one: a time alone in the date field is shown as
    // it stands rather than as the zero day of the calendar.
    const QByteArray datePart = date.trimmed().split(' ').first();
    const std::optional<QDate> day =
        DateTimeText::IsDateTimeText(date, today) ? DateTimeText::ParseDate(datePart, today) : std::nullopt;
    if (!day)
        return Cp932::toUnicode(date + time);
    QString text =
        QStringLiteral("%1年 %2月%3日(%4)").arg(day->year()).arg(day->month()).arg(day->day()).arg(WeekdayName(*day));
    const std::optional<QTime> at =
        DateTimeText::IsDateTimeText(time, today) ? DateTimeText::ParseTime(time) : std::nullopt;
    if (at)
        text += QStringLiteral(" %1時%2分").arg(at->hour()).arg(at->minute(), 2, 10, QLatin1Char('0'));
    return text;
}

QString LastUpdateText(const QDateTime& fileTime)
{
    if (!fileTime.isValid())
        return {};
    // File times are kept in UTC; the user reads the office's clock.
    const QDateTime local = fileTime.toLocalTime();
    return QStringLiteral("%1月%2日 %3時%4分 に不在になりました")
        .arg(local.date().month())
        .arg(local.date().day())
        .arg(local.time().hour())
        .arg(local.time().minute());
}

std::optional<QString> RefusalForMemo(const QString& text)
{
    const Cp932::Encoded encoded = Cp932::fromUnicode(text);
    if (encoded.ok)
        return std::nullopt;
    return QStringLiteral("次の文字は送れません。別の文字に置き換えて下さい。\r\n\r\n") + encoded.unmappable;
}

std::optional<QString> RefusalForReason(const QString& text)
{
    const Cp932::Encoded encoded = Cp932::fromUnicode(text);
    if (!encoded.ok)
        return QStringLiteral("次の文字は保存できません。別の文字に置き換えて下さい。\r\n\r\n") + encoded.unmappable;
    // The value is stored trimmed, and a reader ends it at the first line whose last byte is '"'.
    const QByteArray stored = SjisText::trim(encoded.bytes);
    for (const QByteArray& line : MemoFiles::splitLines(stored)) {
        if (line.endsWith('"'))
            return QStringLiteral(
                "行の終わりの「\"」は保存できません。\r\n\r\n「\"」の後に文字を続けるか、「\"」を消して下さい。");
    }
    return std::nullopt;
}

} // namespace InfoTexts
