#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The one-click absences of the tray menu and the texts of the absence questions, apart
// from the window so that they can be checked at any moment of the day.
namespace HuzaiPresets {

enum class Preset {
    Meeting4h, // popTrayHuzai60
    Meeting2h, // popTrayHuzai30
    Meeting1h, // popTrayHuzai15
    Lunch,     // popTrayHuzaiLunch
    Quick,     // popTrayHuzaiQuick
};

// What a preset writes (CP932): the destination, the return date and time, status mark 0.
struct HuzaiValues
{
    QByteArray Locate;
    QByteArray Date;
    QByteArray Time;
    qint32 StatusIndex = 0;
};

// The values for a click at `t`. Return times are t + the duration, not rounded, so a preset
// near midnight returns on the next day. The short absence has no return time and says since
// when the user is away.
HuzaiValues PresetValues(Preset preset, const QDateTime& t);

// The popup's 不在解除 question: the first member, and the last when there are several.
QString ResetQuestion(const QString& firstName, const QString& lastName, int count);

// The question asked when the user's own absence is overdue.
QString AutoResetQuestion(const QString& name);

} // namespace HuzaiPresets
