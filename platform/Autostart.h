#pragma once

#include <QString>

// Starting the program at log-on. The preferences' check box is the presence of the start-up
// entry:
// - Linux: a desktop entry "Vurnaboard.desktop" in the user's XDG autostart folder
//   ($XDG_CONFIG_HOME/autostart, ~/.config/autostart when unset), which every freedesktop
//   session starts;
// - Windows: the shortcut "Vurnaboard.lnk" in the user's Startup folder (VURNA_STARTUP_FOLDER,
//   when set, stands in for that folder, so tests leave the real one alone).
// Either starts the given program in its own folder.
namespace Autostart {

QString folder();
QString entryPath();
bool isPresent();

// Writes the entry (replacing one already there) or removes it. False, with the reason in
// `error`, when that could not be done.
bool create(const QString& program, QString* error);
bool remove(QString* error);

} // namespace Autostart
