#include "store/MemoFiles.h"

#include "platform/LogCategories.h"
#include "platform/ShareFiles.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"
#include "store/TVurnaDataRec.h"

namespace MemoFiles {
namespace {

bool removeWithRetries(const QByteArray& path, const RetryPolicy& policy)
{
    for (int attempt = 1; attempt <= policy.attempts; ++attempt) {
        if (!ShareFiles::exists(path) || ShareFiles::remove(path))
            return true;
        if (attempt < policy.attempts)
            waitBeforeRetry(policy, attempt);
    }
    qCWarning(lcFiles) << "could not delete" << SharePath::resolve(path);
    return false;
}

} // namespace

QByteArray unreadPath(const QByteArray& memoPath)
{
    return memoPath + ".mil";
}

QByteArray readPath(const QByteArray& memoPath)
{
    return memoPath + ".old";
}

QList<QByteArray> splitLines(const QByteArray& text)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text.at(i);
        if (c == '\r' || c == '\n') {
            lines.append(text.mid(start, i - start));
            i += (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n') ? 2 : 1;
            start = i;
        } else {
            i = SjisText::nextCharIndex(text, i);
        }
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QByteArray joinLines(const QList<QByteArray>& lines)
{
    QByteArray text;
    for (const QByteArray& line : lines)
        text += line + "\r\n";
    return text;
}

bool isHeaderLine(const QByteArray& line)
{
    return line.startsWith("\x81\x9B"); // ○
}

bool AddMemo(const QByteArray& memoPath, const QByteArray& memo, const Policy& policy)
{
    MemoLock lock(memoPath, policy.lock);
    if (lock.acquire() != MemoLock::Result::Acquired)
        return false;
    const QByteArray path = unreadPath(memoPath);
    bool readOk = false;
    const QByteArray old = ReadFileTextChecked(path, policy.files, &readOk);
    if (!readOk) {
        qCWarning(lcFiles) << "unread memos could not be read; memo not added" << SharePath::resolve(path);
        return false;
    }
    return WriteFileText(path, SjisText::trim(memo) + entrySeparator + old, policy.files);
}

bool HasUnreadMemos(const QByteArray& memoPath)
{
    return ShareFiles::exists(unreadPath(memoPath));
}

namespace {

Board readBoardUnlocked(const QByteArray& memoPath, const Policy& policy)
{
    Board board;
    bool unreadOk = true;
    bool readOk = true;
    board.hadUnread = HasUnreadMemos(memoPath);
    if (board.hadUnread)
        board.unread = ReadFileTextChecked(unreadPath(memoPath), policy.files, &unreadOk);
    board.read = ReadFileTextChecked(readPath(memoPath), policy.files, &readOk);
    board.ok = unreadOk && readOk;
    return board;
}

} // namespace

Board ReadBoard(const QByteArray& memoPath, const Policy& policy)
{
    // Held only so the two files are read at one moment; when the guard cannot be had the
    // board is still shown, since reading changes nothing.
    MemoLock lock(memoPath, policy.lock);
    lock.acquire();
    return readBoardUnlocked(memoPath, policy);
}

TakeIn TakeInOwnMemos(const QByteArray& memoPath, const Policy& policy)
{
    TakeIn result;
    MemoLock lock(memoPath, policy.lock);
    if (lock.acquire() != MemoLock::Result::Acquired) {
        // Shown but not moved: the unread memos stay unread until the next take-in.
        result.board = readBoardUnlocked(memoPath, policy);
        result.readText = result.board.read;
        return result;
    }
    result.board = readBoardUnlocked(memoPath, policy);
    result.readText = result.board.read;
    if (!result.board.hadUnread || !result.board.ok)
        return result;
    const QByteArray board = joinLines(splitLines(result.board.unread)) + joinLines(splitLines(result.board.read));
    if (!WriteFileText(readPath(memoPath), board, policy.files))
        return result;
    result.readText = board;
    result.movedToRead = removeWithRetries(unreadPath(memoPath), policy.files);
    return result;
}

bool SaveOwnBoard(const QByteArray& memoPath, const QByteArray& text, const Policy& policy)
{
    MemoLock lock(memoPath, policy.lock);
    if (lock.acquire() != MemoLock::Result::Acquired)
        return false;
    return WriteFileText(readPath(memoPath), text, policy.files);
}

bool EraseOwnBoard(const QByteArray& memoPath, const Policy& policy)
{
    MemoLock lock(memoPath, policy.lock);
    if (lock.acquire() != MemoLock::Result::Acquired)
        return false;
    const bool unreadGone = removeWithRetries(unreadPath(memoPath), policy.files);
    const bool readGone = removeWithRetries(readPath(memoPath), policy.files);
    return unreadGone && readGone;
}

bool MayTakeInMemos(const TVurnaDataRec& own, const QByteArray& ownShareDir)
{
    if (own.FileName.isEmpty() || own.Name.isEmpty() || ownShareDir.isEmpty())
        return false;
    if (SjisText::upperCase(SjisText::trim(own.FileName)) == "C:\\")
        return false;
    return SjisText::indexOf(own.FileName, ownShareDir) >= 0;
}

} // namespace MemoFiles
