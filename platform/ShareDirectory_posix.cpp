#include "platform/ShareDirectory.h"

#include "platform/FileText_posix.h"
#include "platform/SharePath.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ShareDirectory::ShareDirectory(const QByteArray& path)
{
    // An empty path is no directory at all, not the working folder.
    const QByteArray real = QFile::encodeName(SharePath::resolve(path));
    if (!real.isEmpty())
        m_fd = ::open(real.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
    if (m_fd < 0)
        return result;
    // fdopendir takes the descriptor over; hand it a duplicate so this object keeps its own.
    const int dupFd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = dupFd >= 0 ? ::fdopendir(dupFd) : nullptr;
    if (!dir) {
        if (dupFd >= 0)
            ::close(dupFd);
        return result;
    }
    ::rewinddir(dir);
    while (const dirent* d = ::readdir(dir)) {
        const char* n = d->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
            continue;
        Entry e;
        e.name = SharePath::fromNativeName(n, &e.hasCp932Form);
        e.nativeName = QByteArray(n);
        if (d->d_type == DT_UNKNOWN || d->d_type == DT_LNK) {
            struct stat st;
            e.isDirectory = ::fstatat(m_fd, n, &st, 0) == 0 && S_ISDIR(st.st_mode);
        } else {
            e.isDirectory = d->d_type == DT_DIR;
        }
        result.append(std::move(e));
    }
    ::closedir(dir);
    return result;
}

QByteArray ShareDirectory::readFile(const Entry& entry, QDateTime* lastWrite, const RetryPolicy& policy) const
{
    if (lastWrite)
        *lastWrite = QDateTime();
    for (int attempt = 1; attempt <= policy.attempts; ++attempt) {
        const int fd = ::openat(m_fd, entry.nativeName.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && (errno == ENOENT || errno == ENOTDIR))
            return {};
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
