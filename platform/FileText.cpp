#include "platform/FileText.h"

#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcFiles, "vurna.files", QtWarningMsg)

namespace {

// Whether what was written to `fd` is on the disk. A file server may tell of a full disk only
// here; a file system that cannot sync this file has nothing more to report.
bool synced(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

bool writeOnce(const QString& target, const QByteArray& text)
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

} // namespace

void waitBeforeRetry(const RetryPolicy& policy, int failedAttempt)
{
    if (policy.beforeRetry)
        policy.beforeRetry(failedAttempt);
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    if (policy.delayMs > 0)
        QThread::msleep(static_cast<unsigned long>(policy.delayMs));
}

QByteArray ReadFileText(const QByteArray& path, const RetryPolicy& policy)
{
    return ReadNativeFileText(SharePath::resolve(path), policy);
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
            return false;  // grew while being read
        text.append(buffer, n);
        // All the size said is here: on a file server, reading on only to meet the end would
        // cost another round trip for every file of a board.
        if (st.st_size > 0 && text.size() >= st.st_size)
            break;
    }
    // Kept in UTC: a local-time conversion re-reads the zone file for every call, which on a
    // full load costs as much as reading the member file itself. Shown as local time.
    if (lastWrite)
        *lastWrite = QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000,
                                                    Qt::UTC);
    return true;
}

namespace {

QByteArray readChecked(const QString& real, const RetryPolicy& policy, bool* ok)
{
    *ok = true;
    const QByteArray encoded = QFile::encodeName(real);
    for (int attempt = 1; attempt <= policy.attempts; ++attempt) {
        // Plain open, read and close: a board load reads thousands of small files and the
        // generic file class adds look-ups to each.
        const int fd = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && (errno == ENOENT || errno == ENOTDIR))
            return {}; // missing: an empty file as far as every caller is concerned
        if (fd >= 0) {
            QByteArray text;
            const bool ok = ReadOpenFile(fd, policy, text, nullptr);
            ::close(fd);
            if (ok)
                return text;
        }
        qCDebug(lcFiles) << "read failed" << real << "attempt" << attempt;
        if (attempt < policy.attempts)
            waitBeforeRetry(policy, attempt);
    }
    *ok = false;
    return {};
}

} // namespace

QByteArray ReadNativeFileText(const QString& real, const RetryPolicy& policy)
{
    bool ok = true;
    return readChecked(real, policy, &ok);
}

QByteArray ReadFileTextChecked(const QByteArray& path, const RetryPolicy& policy, bool* ok)
{
    return readChecked(SharePath::resolve(path), policy, ok);
}

bool WriteFileText(const QByteArray& path, const QByteArray& text, const RetryPolicy& policy)
{
    if (SjisText::baseName(path).isEmpty())
        return false;
    for (int attempt = 1; attempt <= policy.attempts; ++attempt) {
        const QString real = SharePath::resolve(path);
        if (writeOnce(real, text))
            return true;
        qCDebug(lcFiles) << "write failed" << real << "attempt" << attempt;
        if (attempt < policy.attempts)
            waitBeforeRetry(policy, attempt);
    }
    qCWarning(lcFiles) << "write given up" << SharePath::resolve(path);
    return false;
}
