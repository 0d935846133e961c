#include "session/MainCaption.h"

#include "platform/Cp932.h"

namespace {

// Japanese one-character weekday names, Monday first (QDate::dayOfWeek() is 1 for Monday).
constexpr const char16_t* WeekdayNames[] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};

} // namespace

QString MainCaptionText(const QDate& today, const QByteArray& ownName)
{
    const QString spaces = QStringLiteral("　　　");
    const QString date = QString::number(today.year()) + QStringLiteral("年 ") + QString::number(today.month()) +
                         QStringLiteral("月") + QString::number(today.day()) + QStringLiteral("日（") +
                         QString::fromUtf16(WeekdayNames[today.dayOfWeek() - 1]) + QStringLiteral("）");
    const QString name = ownName.isEmpty() ? QStringLiteral("ゲスト") : Cp932::toUnicode(ownName);
    return QStringLiteral("Vurnaboard") + spaces + date + spaces + QStringLiteral("使用者： ") + name +
           QStringLiteral("さん");
}
