#pragma once

#include "platform/FileText.h"
#include "store/MemoLock.h"

#include <QByteArray>
#include <QList>

struct TVurnaDataRec;

// A member's memo board in the shared directory. With P the member's path without
// extension (the user record's FileName):
//   P + ".mil"  unread memos, newest first, each followed by two empty lines; written by
//               every program that adds a memo; exists exactly while memos are unread;
//   P + ".old"  the memo board as last saved by the member's own program: read memos,
//               newest first, one line per line.
// Both are CP932 with CR LF and are always read and written whole. Every change to them is
// made while holding the member's memo guard (MemoLock), so that two copies adding memos
// at once, or a memo arriving while its owner takes memos in, never lose one.
namespace MemoFiles {

// What follows every unread entry: two empty lines.
inline constexpr char entrySeparator[] = "\r\n\r\n\r\n";

QByteArray unreadPath(const QByteArray& memoPath);
QByteArray readPath(const QByteArray& memoPath);

// The file and guard settings; tests shorten the waits.
struct Policy
{
    RetryPolicy files;
    MemoLockPolicy lock;
};

// Lines of memo text: CR LF, CR or LF end a line, and a break at the very end starts no
// further line ("a\r\n" is one line, "a\r\n\r\n" two).
QList<QByteArray> splitLines(const QByteArray& text);
// Every line followed by CR LF: the text that the memo view holds for those lines.
QByteArray joinLines(const QList<QByteArray>& lines);

// A line shown in header colours: it begins with "○".
bool isHeaderLine(const QByteArray& line);

// Puts `memo` (trimmed of blanks and control characters) on top of P + ".mil". False when
// the memo could not be stored: the guard could not be had, the existing unread memos could
// not be read (they would be overwritten), or the write failed.
bool AddMemo(const QByteArray& memoPath, const QByteArray& memo, const Policy& policy = {});

// Whether unread memos wait: P + ".mil" exists.
bool HasUnreadMemos(const QByteArray& memoPath);

// Both files as they stood at one moment.
struct Board
{
    bool hadUnread = false; // P + ".mil" existed
    QByteArray unread;      // its content
    QByteArray read;        // content of P + ".old"
    bool ok = true;         // false when a file that exists could not be read
};

// Reads a member's board for display (another member's, or one's own).
Board ReadBoard(const QByteArray& memoPath, const Policy& policy = {});

struct TakeIn
{
    Board board;              // what the memo view shows: the unread memos, then the read ones
    bool movedToRead = false; // the unread memos now head P + ".old" and P + ".mil" is gone
    QByteArray readText;      // what P + ".old" holds afterwards, as far as this take-in knows
};

// Moves the own unread memos to the top of the memo board, all under the guard: reads
// ".mil" and ".old", writes ".old" as the unread lines followed by the read lines (exactly
// the text the memo view then holds), then deletes ".mil". When ".old" cannot be read or
// written, ".mil" stays, so nothing is lost and the memos come again next time.
TakeIn TakeInOwnMemos(const QByteArray& memoPath, const Policy& policy = {});

// Writes the member's edited board to P + ".old".
bool SaveOwnBoard(const QByteArray& memoPath, const QByteArray& text, const Policy& policy = {});

// Deletes P + ".mil" and P + ".old". True when neither exists afterwards.
bool EraseOwnBoard(const QByteArray& memoPath, const Policy& policy = {});

// Whether the own program may take in memos: the own FileName and Name are set, the file is
// not the bare drive root, and it lies in the own board's shared directory.
bool MayTakeInMemos(const TVurnaDataRec& own, const QByteArray& ownShareDir);

} // namespace MemoFiles
