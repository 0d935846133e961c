#pragma once

#include "platform/FileText.h"

#include <QByteArray>
#include <QList>

// The absence reasons a member has typed, offered again next time. One file per member beside the user status file:
// P + ".lst", with P the member's path without extension (the user record's FileName). CP932 text, lines separated
// by CR LF with none after the last, no blank lines, newest first, at most MaxLines lines, each one line of a reason
// as typed (blanks inside and around it kept). A missing file is an empty history; the file is always rewritten
// whole.
namespace HistoryFile {

inline constexpr int MaxLines = 16;

// P + ".lst".
QByteArray Path(const QByteArray& memberPath);

struct Lines
{
    QList<QByteArray> lines;
    bool ok = true; // false: the file exists but could not be read (and `lines` is empty)
};

// The lines of the member's history (CR LF, LF or CR end a line; a break at the very end starts no further line).
Lines Read(const QByteArray& memberPath, const RetryPolicy& policy = {});

// Replaces the member's history with `text`; false when it could not be written.
bool Write(const QByteArray& memberPath, const QByteArray& text, const RetryPolicy& policy = {});

// The history after `newText` was typed over `oldText`:
//  1. both texts are split into lines (CR LF, LF or CR end a line);
//  2. for each new line in order, the first old line equal to it without regard to letter case is removed. Letters
//     are ASCII a-z and the full-width Latin letters (ａ-ｚ match Ａ-Ｚ); a lead byte and its trail byte are taken as
//     one character, so a trail byte that happens to be a-z (ハ is 83 6E) is never folded;
//  3. the new lines come first, then the old lines that remain;
//  4. from position 0 on, a line that is empty after trimming blanks and control characters is skipped but keeps
//     its position; any other line is kept as it is, lines joined by CR LF, and the line kept at position `limit`
//     or later is the last. A limit of MaxLines - 1 therefore keeps at most MaxLines lines.
QByteArray MergeHistory(const QByteArray& oldText, const QByteArray& newText, int limit);

// Adds `newText` to the history of every member in `memberPaths`: reads the file (missing: empty), merges and writes
// it back. A file that exists but could not be read is left alone, never overwritten. Returns the number of members
// whose history could not be read or written.
int AddToMembers(const QList<QByteArray>& memberPaths, const QByteArray& newText, const RetryPolicy& policy = {});

} // namespace HistoryFile
