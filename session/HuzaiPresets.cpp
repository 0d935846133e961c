#include "session/HuzaiPresets.h"

#include "platform/Cp932.h"

namespace HuzaiPresets {

namespace {

HuzaiValues returning(const QString& locate, const QDateTime& t, int hours)
{
    const QDateTime back = t.addSecs(qint64(hours) * 3600);
    HuzaiValues values;
    values.Locate = Cp932::fromUnicodeLossy(locate);
    values.Date = back.toString(QStringLiteral("yyyy/MM/dd")).toLatin1();
    values.Time = back.toString(QStringLiteral("hh:mm")).toLatin1();
    return values;
}

} // namespace

HuzaiValues PresetValues(Preset preset, const QDateTime& t)
{
    switch (preset) {
    case Preset::Meeting4h:
        return returning(QStringLiteral("会議"), t, 4);
    case Preset::Meeting2h:
        return returning(QStringLiteral("会議"), t, 2);
    case Preset::Meeting1h:
        return returning(QStringLiteral("会議"), t, 1);
    case Preset::Lunch:
        return returning(QStringLiteral("食事中！"), t, 1);
    case Preset::Quick:
        break;
    }
    // The hour without a leading zero, the minutes with one: 9時05分.
    const QString since = QStringLiteral("%1時%2分から離席中です。そこら辺にいます。")
                              .arg(t.time().hour())
                              .arg(t.time().minute(), 2, 10, QLatin1Char('0'));
    HuzaiValues values;
    values.Locate = Cp932::fromUnicodeLossy(QStringLiteral("ちょっと離席中！\r\n") + since);
    return values;
}

QString ResetQuestion(const QString& firstName, const QString& lastName, int count)
{
    QString text = firstName + QStringLiteral("さん");
    if (count > 1)
        text += QStringLiteral(" ～ ") + lastName + QStringLiteral("さん");
    return text + QStringLiteral("の不在設定を解除します。");
}

QString AutoResetQuestion(const QString& name)
{
    return QStringLiteral("現在、") + name + QStringLiteral("さんは不在状態になっていますが、\r\n") +
           QStringLiteral("既に戻り予定時刻を過ぎているので、不在状態を解除しますか？\r\n\r\n") +
           QStringLiteral("\"はい\"を選択すると、不在状態は解除されます。\r\n") +
           QStringLiteral("\"いいえ\"を選択すると、不在状態のままです。");
}

} // namespace HuzaiPresets
