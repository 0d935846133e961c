#pragma once

#include <QString>
#include <QStringList>

class Clock;
class TVurnaGrid;

// The board as the grid shows it, written to the diagnostics (category "vurna.board", info)
// so that an administrator or a test can compare a running copy with the shared directory
// without looking at the screen. One line per shown member, between a begin and an end line
// that carry the same serial number:
//   board dump begin <serial> shown=<count>
//   board dump member <serial>\t<key>\t<code>\t<running>\t<mark>\t<date>\t<time>\t<name>\t<locate>\t<return text>
//   board dump end <serial>
// Fields are Unicode; a backslash, tab, CR or LF inside a field is written as \\, \t, \r, \n.
namespace BoardDump {

// The lines of one dump, in cell order (left cell first, row by row).
QStringList Lines(const TVurnaGrid& grid, const Clock& clock, int serial);

// Writes one dump; `serial` tells dumps of one process apart.
void Write(const TVurnaGrid& grid, const Clock& clock, int serial);

// A field as the member lines carry it, and back.
QString EscapeField(const QString& text);
QString UnescapeField(const QString& text);

} // namespace BoardDump
