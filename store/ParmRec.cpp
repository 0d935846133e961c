#include "store/ParmRec.h"

#include "platform/Cp932.h"

QList<StatusEntry> BuiltinStatusTable()
{
    return {
        {{}, Cp932::fromUnicodeLossy(QStringLiteral("停止中"))},
        {{}, Cp932::fromUnicodeLossy(QStringLiteral("起動中"))},
        {{}, Cp932::fromUnicodeLossy(QStringLiteral("不在(予定超過)"))},
        {{}, Cp932::fromUnicodeLossy(QStringLiteral("不在(本日戻り)"))},
        {{}, Cp932::fromUnicodeLossy(QStringLiteral("不在"))},
    };
}

QList<QByteArray> DefaultTimeTable()
{
    QList<QByteArray> times;
    for (int i = 0; i < 24; ++i)
        times.append(QByteArray::number((8 + i) % 24).rightJustified(2, '0') + ":00");
    return times;
}
