#include "platform/FileTree.h"

#include "platform/FreeNames.h"
#include "platform/LogCategories.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace FileTree {

namespace {

// Closes a descriptor on every way out of a scope.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now and reports a failure: network file systems report late write errors here.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// A trailing slash would make the kernel resolve a link as the last component.
QByteArray encoded(const QString& path)
{
    QByteArray bytes = QFile::encodeName(path);
    while (bytes.size() > 1 && bytes.endsWith('/'))
        bytes.chop(1);
    return bytes;
}

QString shown(const QByteArray& path)
{
    return QFile::decodeName(path);
}

QByteArray child(const QByteArray& dir, const QByteArray& name)
{
    return dir.endsWith('/') ? dir + name : dir + '/' + name;
}

QString failure(const QByteArray& path, int error)
{
    return shown(path) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
}

constexpr int dirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The names in an open folder. A fresh descriptor of its own keeps the caller's position.
bool listNames(int dir, QList<QByteArray>& names)
{
    const int fd = ::openat(dir, ".", dirFlags);
    if (fd < 0)
        return false;
    DIR* stream = ::fdopendir(fd);
    if (!stream) {
        ::close(fd);
        return false;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(stream)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    const int error = errno;
    ::closedir(stream);
    errno = error;
    return error == 0;
}

class Copier
{
public:
    explicit Copier(Result& result) : m_result(result) {}

    // Whether the top-level target was made here, so only then is a failed copy cleared away.
    bool madeTarget() const { return m_madeTarget; }

    // Copies the entry `srcName` of the folder `srcDir` to `dstName` in `dstDir`. The paths
    // name both ends in messages and link lists; every access goes through the descriptors.
    bool copyEntry(int srcDir, const QByteArray& srcName, int dstDir, const QByteArray& dstName,
                   const QByteArray& srcPath, const QByteArray& dstPath)
    {
        struct stat st;
        if (::fstatat(srcDir, srcName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return fail(srcPath, errno);
        if (S_ISLNK(st.st_mode)) {
            m_result.skippedLinks.append(shown(srcPath));
            return true;
        }
        if (S_ISDIR(st.st_mode))
            return copyFolder(srcDir, srcName, dstDir, dstName, srcPath, dstPath);
        if (S_ISREG(st.st_mode))
            return copyFile(srcDir, srcName, dstDir, dstName, srcPath, dstPath);
        return true; // FIFOs, sockets and devices hold nothing to hand over
    }

private:
    bool fail(const QByteArray& path, int error)
    {
        m_result.ok = false;
        if (m_result.error.isEmpty())
            m_result.error = failure(path, error);
        return false;
    }

    bool copyFile(int srcDir, const QByteArray& srcName, int dstDir, const QByteArray& dstName,
                  const QByteArray& srcPath, const QByteArray& dstPath)
    {
        // Non-blocking, so a FIFO swapped in after the look-up cannot stall the copy.
        Descriptor in(::openat(srcDir, srcName.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!in.valid()) {
            if (errno == ELOOP) {
                m_result.skippedLinks.append(shown(srcPath));
                return true;
            }
            return fail(srcPath, errno);
        }
        struct stat st;
        if (::fstat(in.get(), &st) != 0)
            return fail(srcPath, errno);
        if (!S_ISREG(st.st_mode))
            return true;
        Descriptor out(::openat(dstDir, dstName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                S_IRUSR | S_IWUSR));
        if (!out.valid())
            return fail(dstPath, errno);
        m_madeTarget = m_madeTarget || dstDir == AT_FDCWD;

        qint64 copied = 0;
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(in.get(), buffer, sizeof buffer);
            if (n == 0)
                break;
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return fail(srcPath, errno);
            }
            for (ssize_t done = 0; done < n;) {
                const ssize_t w = ::write(out.get(), buffer + done, size_t(n - done));
                if (w < 0) {
                    if (errno == EINTR)
                        continue;
                    return fail(dstPath, errno);
                }
                done += w;
            }
            copied += n;
        }
        struct stat written;
        if (::fstat(out.get(), &written) != 0)
            return fail(dstPath, errno);
        if (copied != st.st_size || written.st_size != st.st_size) {
            m_result.ok = false;
            if (m_result.error.isEmpty())
                m_result.error = shown(dstPath) + QStringLiteral(": size changed while copying (%1 of %2 bytes)")
                                                      .arg(written.st_size)
                                                      .arg(st.st_size);
            return false;
        }
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        if (::fchmod(out.get(), st.st_mode & 0777) != 0 || ::futimens(out.get(), times) != 0)
            return fail(dstPath, errno);
        if (!out.close())
            return fail(dstPath, errno);
        return true;
    }

    bool copyFolder(int srcDir, const QByteArray& srcName, int dstDir, const QByteArray& dstName,
                    const QByteArray& srcPath, const QByteArray& dstPath)
    {
        Descriptor from(::openat(srcDir, srcName.constData(), dirFlags));
        if (!from.valid()) {
            if (errno == ELOOP) {
                m_result.skippedLinks.append(shown(srcPath));
                return true;
            }
            return fail(srcPath, errno);
        }
        struct stat st;
        if (::fstat(from.get(), &st) != 0)
            return fail(srcPath, errno);
        // Owner-only while it fills, so nobody else sees half a folder with its final rights.
        if (::mkdirat(dstDir, dstName.constData(), S_IRWXU) != 0)
            return fail(dstPath, errno);
        m_madeTarget = m_madeTarget || dstDir == AT_FDCWD;
        Descriptor to(::openat(dstDir, dstName.constData(), dirFlags));
        if (!to.valid())
            return fail(dstPath, errno);

        QList<QByteArray> names;
        if (!listNames(from.get(), names))
            return fail(srcPath, errno);
        for (const QByteArray& name : names) {
            if (!copyEntry(from.get(), name, to.get(), name, child(srcPath, name), child(dstPath, name)))
                return false;
        }
        // Times last: every entry made above moved the folder's own.
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        if (::fchmod(to.get(), (st.st_mode & 0777) | S_IRWXU) != 0 || ::futimens(to.get(), times) != 0)
            return fail(dstPath, errno);
        return true;
    }

    Result& m_result;
    bool m_madeTarget = false;
};

bool removeAt(int parent, const QByteArray& name);

// Empties an open folder. A read-only folder is made writable for its owner first, as Windows
// lets a read-only folder be deleted with its contents.
bool clearFolder(int dir)
{
    QList<QByteArray> names;
    if (!listNames(dir, names))
        return false;
    bool madeWritable = false;
    for (const QByteArray& name : names) {
        if (removeAt(dir, name))
            continue;
        struct stat st;
        if (madeWritable || (errno != EACCES && errno != EPERM) || ::fstat(dir, &st) != 0 ||
            ::fchmod(dir, st.st_mode | S_IRWXU) != 0)
            return false;
        madeWritable = true;
        if (!removeAt(dir, name))
            return false;
    }
    return true;
}

bool removeAt(int parent, const QByteArray& name)
{
    // unlink never follows a link; a folder answers EISDIR (EPERM on some systems).
    if (::unlinkat(parent, name.constData(), 0) == 0 || errno == ENOENT)
        return true;
    if (errno != EISDIR && errno != EPERM)
        return false;
    Descriptor dir(::openat(parent, name.constData(), dirFlags));
    if (!dir.valid()) {
        if (errno == ENOENT)
            return true;
        // Swapped for a link or a file since: that is unlinked as it is.
        if (errno == ELOOP || errno == ENOTDIR)
            return ::unlinkat(parent, name.constData(), 0) == 0 || errno == ENOENT;
        return false;
    }
    if (!clearFolder(dir.get()))
        return false;
    dir.close();
    return ::unlinkat(parent, name.constData(), AT_REMOVEDIR) == 0 || errno == ENOENT;
}

QSet<QString> foldedNames(const QByteArray& dir)
{
    QSet<QString> taken;
    Descriptor fd(::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    QList<QByteArray> names;
    if (fd.valid() && listNames(fd.get(), names)) {
        for (const QByteArray& name : names)
            taken.insert(QFile::decodeName(name).toCaseFolded());
    }
    return taken;
}

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

bool exists(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 || errno != ENOENT;
}

bool isLink(const QStringList& components, qsizetype count, bool* unreadable)
{
    const QByteArray path = QFile::encodeName(QLatin1Char('/') + components.mid(0, count).join(QLatin1Char('/')));
    struct stat st;
    if (::lstat(path.constData(), &st) != 0) {
        *unreadable = errno != ENOENT && errno != ENOTDIR;
        return false;
    }
    *unreadable = false;
    return S_ISLNK(st.st_mode);
}

// The components of an absolute form of `path` with "." and ".." taken out. Nothing when a
// ".." would step back over a link, which the kernel resolves differently than the text reads.
std::optional<QStringList> lexicalComponents(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path;
    QStringList out;
    for (const QString& part : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            bool unreadable = false;
            if (!out.isEmpty() && (isLink(out, out.size(), &unreadable) || unreadable))
                return std::nullopt;
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out.append(part);
    }
    return out;
}

} // namespace

Result Copy(const QString& source, const QString& target)
{
    Result result;
    const QByteArray from = encoded(source);
    const QByteArray to = encoded(target);
    struct stat st;
    if (::lstat(from.constData(), &st) != 0) {
        result.ok = false;
        result.error = failure(from, errno);
        return result;
    }
    if (S_ISLNK(st.st_mode)) {
        result.ok = false;
        result.skippedLinks.append(shown(from));
        result.error = shown(from) + QStringLiteral(": a symbolic link, not copied");
        return result;
    }
    if (exists(to)) {
        result.ok = false;
        result.error = failure(to, EEXIST);
        return result;
    }
    Copier copier(result);
    if (!copier.copyEntry(AT_FDCWD, from, AT_FDCWD, to, from, to)) {
        // Only what this copy made: a target that appeared meanwhile is not ours to delete.
        if (copier.madeTarget() && !Remove(target))
            qCWarning(lcFiles) << "partial copy left behind" << target;
        qCWarning(lcFiles) << "copy failed:" << result.error;
    }
    return result;
}

Result Move(const QString& source, const QString& target)
{
    const QByteArray from = encoded(source);
    const QByteArray to = encoded(target);
    Result result;
    struct stat st;
    if (::lstat(from.constData(), &st) != 0) {
        result.ok = false;
        result.error = failure(from, errno);
        return result;
    }
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return result;
    int error = errno;
    // Some file systems (CIFS among them) take no flags: then a plain rename after a look.
    if (error == EINVAL || error == ENOSYS || error == ENOTSUP) {
        if (exists(to))
            error = EEXIST;
        else if (::rename(from.constData(), to.constData()) == 0)
            return result;
        else
            error = errno;
    }
    if (error != EXDEV) {
        result.ok = false;
        result.error = failure(error == EEXIST ? to : from, error);
        return result;
    }
    if (S_ISLNK(st.st_mode)) {
        result.ok = false;
        result.skippedLinks.append(shown(from));
        result.error = shown(from) + QStringLiteral(": a symbolic link, not moved to another file system");
        return result;
    }
    result = Copy(source, target);
    if (result.ok && !Remove(source)) {
        result.ok = false;
        result.error = shown(from) + QStringLiteral(": copied, but the original could not be removed");
    }
    return result;
}

bool Remove(const QString& path)
{
    const QByteArray bytes = encoded(path);
    if (bytes.isEmpty() || bytes == "/")
        return false;
    if (removeAt(AT_FDCWD, bytes))
        return true;
    qCWarning(lcFiles) << "could not remove" << path << std::strerror(errno);
    return false;
}

QString FreeName(const QString& dir, const QString& name, bool isFolder)
{
    const QByteArray folder = encoded(dir);
    const QSet<QString> taken = foldedNames(folder);
    for (int n = 1; n <= FreeNames::MaxNumber; ++n) {
        const QString candidate = FreeNames::Candidate(name, isFolder, n);
        if (!taken.contains(candidate.toCaseFolded()) && !exists(child(folder, QFile::encodeName(candidate))))
            return candidate;
    }
    return {};
}

QString CreateUniqueFolder(const QString& dir, const QString& name)
{
    if (!isPlainName(name) || dir.isEmpty() || !QDir().mkpath(dir))
        return {};
    const QByteArray folder = encoded(dir);
    const QSet<QString> taken = foldedNames(folder);
    for (int n = 1; n <= FreeNames::MaxNumber; ++n) {
        const QString candidate = FreeNames::Candidate(name, true, n);
        if (taken.contains(candidate.toCaseFolded()))
            continue;
        const QByteArray path = child(folder, QFile::encodeName(candidate));
        if (::mkdir(path.constData(), 0777) == 0)
            return shown(path);
        if (errno != EEXIST) {
            qCWarning(lcFiles) << "could not create" << shown(path) << std::strerror(errno);
            return {};
        }
    }
    return {};
}

bool IsInside(const QString& root, const QString& path)
{
    const std::optional<QStringList> r = lexicalComponents(root);
    const std::optional<QStringList> p = lexicalComponents(path);
    if (!r || !p || p->size() <= r->size())
        return false;
    for (qsizetype i = 0; i < r->size(); ++i) {
        if (r->at(i) != p->at(i))
            return false;
    }
    for (qsizetype count = r->size() + 1; count < p->size(); ++count) {
        bool unreadable = false;
        if (isLink(*p, count, &unreadable) || unreadable)
            return false;
    }
    return true;
}

} // namespace FileTree
