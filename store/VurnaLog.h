#pragma once

#include <QByteArray>
#include <QDateTime>

#include <functional>

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

// Runs an entry's append later, after the entries handed to it before, off the window's thread:
// the log lives on the file server, which may not answer for a minute.
using Appender = std::function<void(std::function<void()> append)>;

// Appends one entry (creating the file when needed): through `appender` when there is one, the
// line already made with the moment of the event; at once otherwise. A failure drops the entry
// silently: the log is for the administrator and never troubles the user.
void WriteLogEntry(const QByteArray& logPath, const QByteArray& member, const QByteArray& message,
                   const QByteArray& kind, const QDateTime& at, const Appender& appender = {});

} // namespace VurnaLog
