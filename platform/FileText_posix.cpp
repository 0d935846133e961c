#include "platform/FileText_posix.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether what was written to `fd` is on the disk. A file server may tell of a full disk only
// here; a file system that cannot sync this file has nothing more to report.
bool synced(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

} // namespace

bool ReplaceWholeFileOnce(const QString& target, const QByteArray& text)
{
    // QSaveFile writes a temporary file in the target's directory and renames it over the
    // target on commit; its temporary name ends in neither of the extensions the board lists.
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // A short text stays in the file's buffer, and commit (Qt 6.4) renames the temporary file
    // over the target even when writing that buffer out failed: on a full disk the member's
    // file would be replaced by an empty one. So the text is written out and synced first,
    // while a failure can still leave the old file in place.
    if (file.write(text) != text.size() || !file.flush() || !synced(file.handle())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool ReadOpenFile(int fd, const RetryPolicy& policy, QByteArray& text, QDateTime* lastWrite)
{
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > policy.maxBytes)
        return false;
    text.clear();
    text.reserve(qsizetype(st.st_size));
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (text.size() + n > policy.maxBytes)
            return false; // grew while being read
        text.append(buffer, n);
        // All the size said is here: on a file server, reading on only to meet the end would
        // cost another round trip for every file of a board.
        if (st.st_size > 0 && text.size() >= st.st_size)
            break;
    }
    // Kept in UTC: a local-time conversion re-reads the zone file for every call, which on a
    // full load costs as much as reading the member file itself. Shown as local time.
    if (lastWrite)
        *lastWrite =
            QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000, Qt::UTC);
    return true;
}

ReadAttempt ReadWholeFileOnce(const QString& realPath, const RetryPolicy& policy, QByteArray& text,
                              QDateTime* lastWrite)
{
    // Plain open, read and close: a board load reads thousands of small files and the
    // generic file class adds look-ups to each.
    const int fd = ::open(QFile::encodeName(realPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadAttempt::Missing : ReadAttempt::Failed;
    ReadAttempt outcome = ReadAttempt::Read;
    if (!ReadOpenFile(fd, policy, text, lastWrite)) {
        struct stat st;
        outcome = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) ? ReadAttempt::Folder : ReadAttempt::Failed;
    }
    ::close(fd);
    return outcome;
}
