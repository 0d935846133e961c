#pragma once

#include "platform/Autostart.h"

#include <QByteArray>

// What goes into the desktop entry.
namespace Autostart {

inline constexpr char entryName[] = "Vurnaboard.desktop";

// The Exec value that starts `program` with no arguments: quoted where the desktop entry rules
// ask for it (blanks, quotes and the other reserved characters), '%' doubled so it is no field
// code, and escaped for the string level on top.
QString execValue(const QString& program);
// The whole entry: it starts `program` in the program's own folder.
QByteArray entryText(const QString& program);

} // namespace Autostart
