#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// What the share says after a run, and whether everything else agrees with it. Every check
// returns one line per thing wrong.
namespace SoakChecks {

// Every user status file reads back to the very bytes it holds.
QStringList StatusFilesParse(const QString& shareReal);

// Every memo a driver stored ("memo KEY TOKEN" lines) stands exactly once in the recipient's
// ".mil" or ".old", and nowhere else; `tags` begin every token of the run.
QStringList MemosStandOnce(const QString& shareReal, const QStringList& journal, const QStringList& tags);

// Nothing in the share but the board's own files: no temporary file, guard or stray folder.
QStringList NoStrayFiles(const QString& shareReal);

// The last state each driver member wrote ("final ..." lines) is what its files say.
QStringList DriverStatesKept(const QString& shareReal, const QStringList& journal);

// The board as a copy showed it (its dump's member lines) against the files, member by member.
QStringList BoardAgrees(const QString& shareReal, const QString& copy, const QStringList& dumpLines);

} // namespace SoakChecks
