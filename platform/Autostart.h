#pragma once

#include <QByteArray>
#include <QString>

// Starting the program at log-on: a desktop entry named after the program in the user's XDG
// autostart folder ($XDG_CONFIG_HOME/autostart, ~/.config/autostart when unset), which every
// freedesktop session starts. Its presence is what the preferences show as ticked.
namespace Autostart {

inline constexpr char entryName[] = "Vurnaboard.desktop";

QString folder();
QString entryPath();
bool isPresent();

// The Exec value that starts `program` with no arguments: quoted where the desktop entry rules
// ask for it (blanks, quotes and the other reserved characters), '%' doubled so it is no field
// code, and escaped for the string level on top.
QString execValue(const QString& program);
// The whole entry: it starts `program` in the program's own folder.
QByteArray entryText(const QString& program);

// Writes the entry (replacing one already there) or removes it. False, with the reason in
// `error`, when that could not be done.
bool create(const QString& program, QString* error);
bool remove(QString* error);

} // namespace Autostart
