#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

// Whole-file reading and writing for every file in the shared directory. Several PCs read
// and write the same files, so a failed attempt is retried: up to three attempts in all,
// letting pending events run and then waiting half a second after each failure. A read
// that never succeeds gives empty text; a write that never succeeds is dropped silently.
struct RetryPolicy
{
    int attempts = 3;
    int delayMs = 500;
    // Called before each wait with the number of the attempt that failed; lets tests count
    // attempts or change the file between them.
    std::function<void(int failedAttempt)> beforeRetry;
    // A file larger than this (or one that is not a regular file) counts as unreadable: it is
    // not what the board keeps there, and reading it would stall the program.
    qint64 maxBytes = 256LL * 1024 * 1024;
};

// The whole file as bytes; empty when the file does not exist or cannot be read.
QByteArray ReadFileText(const QByteArray& path, const RetryPolicy& policy = {});

// The same for a file whose real path on disk is already known (from a directory listing).
QByteArray ReadNativeFileText(const QString& realPath, const RetryPolicy& policy = {});

// The whole file as bytes, with `*ok` telling a file that does not exist (empty text, ok) from one that exists but
// could not be read, is not a regular file or is too large (empty text, not ok): a caller that rewrites the file
// after reading it must not take the second for an empty file and destroy what it holds.
QByteArray ReadFileTextChecked(const QByteArray& path, const RetryPolicy& policy, bool* ok);

// The whole file at a real path with its last-write time (UTC), retried as every read of the
// share is. False when there is no such file (or only a folder of that name); a file that never
// reads gives empty text and the time the file system lists for it.
bool ReadFileWithTime(const QString& realPath, const RetryPolicy& policy, QByteArray& text, QDateTime& lastWrite);

// Replaces the whole file with `text`. Readers on other PCs only ever see the old or the new
// content: the text goes to a temporary file beside the target, which then takes the target's
// place, also while another PC has the target open for reading. (On Windows the old file is
// renamed away first, so a reader may find no file for that moment.) Does nothing when the base
// name of `path` is empty. Returns whether the text was written; a failure leaves the old
// file whole. The board's callers ignore a failure, as the file format expects.
bool WriteFileText(const QByteArray& path, const QByteArray& text, const RetryPolicy& policy = {});

// Lets pending events run, then waits; called between attempts.
void waitBeforeRetry(const RetryPolicy& policy, int failedAttempt);

// One attempt of each, as the OS does it; the functions above retry them.
enum class ReadAttempt { Read, Missing, Folder, Failed };
// Reads the whole file at `realPath` (at most policy.maxBytes, a regular file only) with its
// last-write time (UTC) when `lastWrite` is given.
ReadAttempt ReadWholeFileOnce(const QString& realPath, const RetryPolicy& policy, QByteArray& text,
                              QDateTime* lastWrite);
// Writes `text` to a temporary file beside `realPath`, on the disk, and puts it in its place.
bool ReplaceWholeFileOnce(const QString& realPath, const QByteArray& text);
