#pragma once

#include "board/UserLoader.h"

#include <QStringList>

// The reading half of a board load: one listing of the share, then the member files it shows,
// many at once. It touches nothing but what it returns and what it is given, so it runs on
// another thread while the board on show stays as it was.

// A member's files in the share: its status file and its stop marker.
inline const QByteArray StatusExtension = ".vrn";
inline const QByteArray StopExtension = ".off";
// A user status file is a few hundred bytes; anything far larger is not one, and reading it
// whole would stall or exhaust every copy on the LAN.
constexpr qint64 MaxStatusFileBytes = 1024 * 1024;

// Fills a record from its file exactly as a full load does; fields the file lacks keep their
// values.
void FillMemberRecord(TVurnaDataRec& record, const QByteArray& fileName, const QByteArray& text,
                      const QDateTime& lastWrite, bool stopped);

// What one read of a board found, in listing order.
struct BoardFiles
{
    bool open = false;       // false: the share could not be opened, and nothing else is set
    QStringList unnamed;     // status files whose names have no CP932 form, left out
    TVurnaDataArray records; // one per member file
    LoadedFiles loaded;      // filled when asked to keep what was read
    qsizetype filesRead = 0;
};

// Reads the board of `directory`. With `reuse`, a file it holds as the listing shows it now
// keeps its record from there instead of being read. `knownReal` is where an earlier load
// found the folder. With `keep`, what was read is kept for the next load.
BoardFiles ReadBoardFiles(const QByteArray& directory, const LoadedFiles* reuse, const QString& knownReal, bool keep);
