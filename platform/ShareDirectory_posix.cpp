#include "platform/ShareDirectory.h"

#include "platform/FileText_posix.h"
#include "platform/SharePath.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

int openDirectory(const QString& real)
{
    return ::open(QFile::encodeName(real).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

} // namespace

ShareDirectory::ShareDirectory(const QByteArray& path, const QString& knownReal)
{
    // A folder that has gone from where it was is looked for afresh.
    if (!knownReal.isEmpty())
        m_fd = openDirectory(knownReal);
    // An empty path is no directory at all, not the working folder.
    const QString real = m_fd >= 0 ? knownReal : SharePath::resolve(path);
    if (m_fd < 0 && !real.isEmpty())
        m_fd = openDirectory(real);
    if (m_fd >= 0)
        m_path = real;
}

QString ShareDirectory::Entry::nativeFileName() const
{
    return QFile::decodeName(nativeName);
}

ShareDirectory::~ShareDirectory()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ShareDirectory::isOpen() const
{
    return m_fd >= 0;
}

QList<ShareDirectory::Entry> ShareDirectory::entries() const
{
    QList<Entry> result;
    if (m_fd < 0 || ::lseek(m_fd, 0, SEEK_SET) != 0)
        return result;
    // The entries straight from the kernel: a directory stream would first ask for the folder's
    // own attributes, which on a file server is one more round trip for every listing.
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t n = ::getdents64(m_fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto* d = reinterpret_cast<const dirent64*>(buffer.data() + at);
            at += d->d_reclen;
            const char* name = d->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            Entry e;
            e.name = SharePath::fromNativeName(name, &e.hasCp932Form);
            // An ASCII name is the same bytes both ways: one copy serves both.
            e.nativeName = e.name == QByteArrayView(name) ? e.name : QByteArray(name);
            if (d->d_type == DT_UNKNOWN || d->d_type == DT_LNK) {
                struct stat st;
                e.isDirectory = ::fstatat(m_fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
            } else {
                e.isDirectory = d->d_type == DT_DIR;
            }
            result.append(std::move(e));
        }
    }
    return result;
}

bool ShareDirectory::lookUp(Entry& entry) const
{
    if (entry.lastWrite.isValid())
        return true;
    struct stat st;
    if (m_fd < 0 || ::fstatat(m_fd, entry.nativeName.constData(), &st, 0) != 0)
        return false;
    entry.size = qint64(st.st_size);
    // Milliseconds, as ReadOpenFile gives the time of a file it read: the two are compared.
    entry.lastWrite =
        QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000, Qt::UTC);
    return true;
}

QByteArray ShareDirectory::readFile(const Entry& entry, QDateTime* lastWrite, const RetryPolicy& policy,
                                    bool* gone) const
{
    if (lastWrite)
        *lastWrite = QDateTime();
    if (gone)
        *gone = false;
    for (int attempt = 1; attempt <= policy.attempts; ++attempt) {
        const int fd = ::openat(m_fd, entry.nativeName.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) {
            // Names are replaced by renaming here, never left missing for a moment: it was removed.
            if (gone)
                *gone = true;
            return {};
        }
        if (fd >= 0) {
            QByteArray text;
            const bool ok = ReadOpenFile(fd, policy, text, lastWrite);
            ::close(fd);
            if (ok)
                return text;
        }
        if (attempt < policy.attempts)
            waitBeforeRetry(policy, attempt);
    }
    return {};
}
