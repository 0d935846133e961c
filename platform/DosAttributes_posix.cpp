#include "platform/DosAttributes_posix.h"

#include "platform/LogCategories.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace DosAttributes {

namespace {

// The kernel's CIFS client answers for both magic numbers (SMB1 and SMB2/3 mounts).
constexpr quint32 cifsMagic = 0xFF534D42;
constexpr quint32 smb2Magic = 0xFE534D42;

// The kernel client's pseudo attribute: the attribute bits as a 32-bit number in the CPU's byte
// order (it copies its cached value as is), set on the server with SMB "set basic info".
constexpr char cifsXattr[] = "user.cifs.dosattrib";
constexpr char sambaXattr[] = "user.DOSATTRIB";

enum class Kind { Missing, File, Folder, Other };

Kind kindOf(const QByteArray& path)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return Kind::Missing;
    if (S_ISDIR(st.st_mode))
        return Kind::Folder;
    if (S_ISREG(st.st_mode))
        return Kind::File;
    return Kind::Other;
}

bool unsupported(int error)
{
    return error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

std::optional<QByteArray> readXattr(const QByteArray& path, const char* name, int* error)
{
    char buffer[256];
    const ssize_t n = ::lgetxattr(path.constData(), name, buffer, sizeof buffer);
    if (n < 0) {
        *error = errno;
        return std::nullopt;
    }
    *error = 0;
    return QByteArray(buffer, n);
}

quint32 changed(quint32 old, bool folder, bool hidden)
{
    if (hidden)
        return (old & ~normalBit) | hiddenBit | (folder ? directoryBit : 0);
    // A folder shown again is "directory only", as the Windows copies leave their parcels.
    if (folder)
        return directoryBit;
    return old & ~(hiddenBit | directoryBit);
}

// The parcel folder's marker, looked up without following a link at the folder or the marker.
Hidden markerState(const QByteArray& folder)
{
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0)
        return Hidden::Unknown;
    struct stat st;
    const int rc = ::fstatat(dir, markerName, &st, AT_SYMLINK_NOFOLLOW);
    const int error = errno;
    ::close(dir);
    if (rc == 0)
        return Hidden::Yes;
    return error == ENOENT ? Hidden::No : Hidden::Unknown;
}

bool setMarker(const QByteArray& folder, bool hidden)
{
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0)
        return false;
    bool ok;
    if (hidden) {
        const int fd = ::openat(dir, markerName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        ok = fd >= 0 || errno == EEXIST;
        if (fd >= 0)
            ::close(fd);
    } else {
        ok = ::unlinkat(dir, markerName, 0) == 0 || errno == ENOENT;
    }
    ::close(dir);
    return ok;
}

Hidden fromBits(std::optional<quint32> bits)
{
    if (!bits)
        return Hidden::Unknown;
    return (*bits & hiddenBit) ? Hidden::Yes : Hidden::No;
}

std::optional<quint32> cifsBits(const QByteArray& path)
{
    int error = 0;
    const std::optional<QByteArray> value = readXattr(path, cifsXattr, &error);
    if (!value || value->size() != sizeof(quint32))
        return std::nullopt;
    quint32 bits;
    std::memcpy(&bits, value->constData(), sizeof bits);
    return bits;
}

bool setCifs(const QByteArray& path, bool folder, bool hidden)
{
    const std::optional<quint32> old = cifsBits(path);
    if (!old)
        return false;
    quint32 bits = changed(*old, folder, hidden);
    // Zero would mean "leave the attributes as they are" to the server.
    if (bits == 0)
        bits = normalBit;
    return ::lsetxattr(path.constData(), cifsXattr, &bits, sizeof bits, 0) == 0;
}

bool setSamba(const QByteArray& path, bool folder, bool hidden)
{
    int error = 0;
    std::optional<QByteArray> previous = readXattr(path, sambaXattr, &error);
    if (!previous && error != ENODATA)
        return false;
    std::optional<quint32> old = previous ? ParseSambaDosAttrib(*previous) : std::nullopt;
    if (!old) {
        // What Windows gives a new folder or file; a malformed value is replaced as a whole.
        old = folder ? directoryBit : archiveBit;
        previous.reset();
    }
    const QByteArray value = FormatSambaDosAttrib(changed(*old, folder, hidden), previous.value_or(QByteArray()));
    if (::lsetxattr(path.constData(), sambaXattr, value.constData(), size_t(value.size()), 0) != 0)
        return false;
    // A marker from a time the disk kept no attributes would travel with the folder.
    if (folder && !hidden)
        setMarker(path, false);
    return true;
}

} // namespace

Mechanism MechanismFor(const QString& realPath)
{
    const QByteArray path = QFile::encodeName(realPath);
    struct statfs fs;
    char probe;
    if (::statfs(path.constData(), &fs) == 0 && (quint32(fs.f_type) == cifsMagic || quint32(fs.f_type) == smb2Magic)) {
        // A mount with nouser_xattr offers no attributes at all: the marker is then the only way
        // left, and reading every parcel as Unknown would take half-copied ones.
        if (::lgetxattr(path.constData(), cifsXattr, &probe, 0) < 0 && unsupported(errno))
            return Mechanism::Marker;
        return Mechanism::CifsMount;
    }
    if (::lgetxattr(path.constData(), sambaXattr, &probe, 0) < 0 && unsupported(errno))
        return Mechanism::Marker;
    return Mechanism::SambaXattr;
}

Hidden IsHidden(const QString& realPath, Mechanism mechanism)
{
    const QByteArray path = QFile::encodeName(realPath);
    const Kind kind = kindOf(path);
    if (kind != Kind::File && kind != Kind::Folder)
        return Hidden::Unknown;
    switch (mechanism) {
    case Mechanism::CifsMount:
        return fromBits(cifsBits(path));
    case Mechanism::SambaXattr: {
        int error = 0;
        const std::optional<QByteArray> value = readXattr(path, sambaXattr, &error);
        if (value)
            return fromBits(ParseSambaDosAttrib(*value));
        if (error != ENODATA)
            return Hidden::Unknown;
        // Never given an attribute: as Samba shows it, unless it was hidden the other way.
        return kind == Kind::Folder ? markerState(path) : Hidden::No;
    }
    case Mechanism::Marker:
        return kind == Kind::Folder ? markerState(path) : Hidden::Unknown;
    }
    return Hidden::Unknown;
}

bool SetHidden(const QString& realPath, bool hidden, Mechanism mechanism)
{
    const QByteArray path = QFile::encodeName(realPath);
    const Kind kind = kindOf(path);
    if (kind != Kind::File && kind != Kind::Folder)
        return false;
    const bool folder = kind == Kind::Folder;
    bool ok = false;
    switch (mechanism) {
    case Mechanism::CifsMount:
        ok = setCifs(path, folder, hidden);
        break;
    case Mechanism::SambaXattr:
        ok = setSamba(path, folder, hidden);
        break;
    case Mechanism::Marker:
        // A file has nowhere to keep a marker.
        errno = ENOTSUP;
        ok = folder && setMarker(path, hidden);
        break;
    }
    if (!ok) {
        const int error = errno;
        qCWarning(lcFiles) << "hidden attribute not" << (hidden ? "set" : "cleared") << realPath
                           << std::strerror(error);
    }
    return ok;
}

Hidden IsHidden(const QString& realPath)
{
    const QByteArray path = QFile::encodeName(realPath);
    const Kind kind = kindOf(path);
    if (kind != Kind::File && kind != Kind::Folder)
        return Hidden::Unknown;
    return IsHidden(realPath, MechanismFor(realPath));
}

bool SetHidden(const QString& realPath, bool hidden)
{
    return SetHidden(realPath, hidden, MechanismFor(realPath));
}

} // namespace DosAttributes
