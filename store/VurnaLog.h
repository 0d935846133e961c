#pragma once

#include <QByteArray>
#include <QDateTime>

// The configuration log "vurna.log" in the own board's shared directory, read by the site
// administrator. One CP932 line per entry:
//   yy/mm/dd hh:nn:ss KIND____ MEMBER____ message
// so that the message always starts in column 39.
namespace VurnaLog {

constexpr char FileName[] = "vurna.log";
constexpr char KindError[] = "Error";

// The line without its line break. Kind and member are cut to 8 and 10 bytes without
// splitting a double-byte character and padded with blanks to exactly that width.
QByteArray FormatLine(const QDateTime& at, const QByteArray& kind, const QByteArray& member, const QByteArray& message);

// Appends one entry (creating the file when needed). A failure drops the entry silently:
// the log is for the administrator and never troubles the user.
void WriteLogEntry(const QByteArray& logPath, const QByteArray& member, const QByteArray& message,
                   const QByteArray& kind, const QDateTime& at);

} // namespace VurnaLog
