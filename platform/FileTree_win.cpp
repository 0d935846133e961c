#include "platform/FileTree.h"

#include "platform/FreeNames.h"
#include "platform/LogCategories.h"
#include "platform/ShareFiles_win.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cwchar>
#include <optional>
#include <vector>

namespace FileTree {

namespace {

using ShareFiles::Handle;

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A folder held open without FILE_SHARE_DELETE cannot be renamed or deleted while a walk goes
// on below it, so no reparse point can take its place and lead the walk elsewhere.
constexpr DWORD shareButDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;
// The entry itself, never what a reparse point leads to; folders open too.
constexpr DWORD ownEntry = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
// The attributes that are copied and that FILE_BASIC_INFO takes.
constexpr DWORD settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool isLink(DWORD attributes)
{
    return attributes & FILE_ATTRIBUTE_REPARSE_POINT;
}

bool isFolder(DWORD attributes)
{
    return attributes & FILE_ATTRIBUTE_DIRECTORY;
}

bool isDriveRoot(const QString& path)
{
    return path.size() == 3 && path.at(1) == QLatin1Char(':') && path.at(2) == QLatin1Char('/');
}

// A path in Qt's form, without a separator at its end (but for a drive's root or "/").
QString clean(const QString& path)
{
    QString p = QDir::fromNativeSeparators(path);
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')) && !isDriveRoot(p))
        p.chop(1);
    return p;
}

std::wstring wide(const QString& path)
{
    return ShareFiles::widePath(path);
}

QString child(const QString& dir, const QString& name)
{
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

QString failure(const QString& path, DWORD error)
{
    return path + QStringLiteral(": ") + ShareFiles::errorText(error);
}

// Whether something is at `path` (also what cannot be looked at).
bool exists(const QString& path)
{
    return ::GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES ||
           !ShareFiles::isMissing(::GetLastError());
}

FILE_BASIC_INFO basicInfo(const BY_HANDLE_FILE_INFORMATION& info)
{
    const auto ticks = [](const FILETIME& t) {
        LARGE_INTEGER v;
        v.LowPart = t.dwLowDateTime;
        v.HighPart = LONG(t.dwHighDateTime);
        return v;
    };
    FILE_BASIC_INFO basic{}; // zero times are left as they are
    basic.LastAccessTime = ticks(info.ftLastAccessTime);
    basic.LastWriteTime = ticks(info.ftLastWriteTime);
    basic.FileAttributes = info.dwFileAttributes & settable;
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return basic;
}

struct Listed
{
    QString name;
    DWORD attributes;
};

bool isDotOrDotDot(const wchar_t* name, size_t length)
{
    return (length == 1 && name[0] == L'.') || (length == 2 && name[0] == L'.' && name[1] == L'.');
}

// The entries of the folder at `dir` with their attributes as the listing gives them, which
// tell a reparse point also where a handle opened on it would not.
bool listEntries(const QString& dir, QList<Listed>& entries)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileExW((wide(dir) + L"\\*").c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND; // some servers list no "." in an empty folder
    do {
        if (!isDotOrDotDot(found.cFileName, std::wcslen(found.cFileName)))
            entries.append({QString::fromWCharArray(found.cFileName), found.dwFileAttributes});
    } while (::FindNextFileW(search, &found));
    const DWORD error = ::GetLastError();
    ::FindClose(search);
    ::SetLastError(error);
    return error == ERROR_NO_MORE_FILES;
}

// The same for a folder held open (with FILE_LIST_DIRECTORY): the entries of that very folder,
// whatever its path leads to meanwhile.
bool listOpenFolder(HANDLE folder, QList<Listed>& entries)
{
    std::vector<LONGLONG> buffer(8192); // 64 KiB, aligned as the records need
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    while (::GetFileInformationByHandleEx(folder, kind, buffer.data(), DWORD(buffer.size() * sizeof(LONGLONG)))) {
        kind = FileIdBothDirectoryInfo;
        const char* at = reinterpret_cast<const char*>(buffer.data());
        for (;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
            const size_t length = entry->FileNameLength / sizeof(wchar_t);
            if (!isDotOrDotDot(entry->FileName, length))
                entries.append({QString::fromWCharArray(entry->FileName, qsizetype(length)), entry->FileAttributes});
            if (entry->NextEntryOffset == 0)
                break;
            at += entry->NextEntryOffset;
        }
    }
    return ::GetLastError() == ERROR_NO_MORE_FILES;
}

class Copier
{
public:
    explicit Copier(Result& result) : m_result(result) {}

    // Whether the top-level target was made here, so only then is a failed copy cleared away.
    bool madeTarget() const { return m_madeTarget; }

    // Copies `source` (with the attributes its listing gave) to `target`.
    bool copyEntry(const QString& source, DWORD attributes, const QString& target, bool top)
    {
        if (isLink(attributes)) {
            m_result.skippedLinks.append(source);
            return true;
        }
        return isFolder(attributes) ? copyFolder(source, target, top) : copyFile(source, target, top);
    }

private:
    bool fail(const QString& path, DWORD error)
    {
        m_result.ok = false;
        if (m_result.error.isEmpty())
            m_result.error = failure(path, error);
        return false;
    }

    bool copyFile(const QString& source, const QString& target, bool top)
    {
        Handle in(::CreateFileW(wide(source).c_str(), GENERIC_READ, shareAll, nullptr, OPEN_EXISTING,
                                ownEntry | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        BY_HANDLE_FILE_INFORMATION info;
        if (!in.valid() || !::GetFileInformationByHandle(in.get(), &info))
            return fail(source, ::GetLastError());
        if (isLink(info.dwFileAttributes)) { // swapped in since the listing
            m_result.skippedLinks.append(source);
            return true;
        }
        if (isFolder(info.dwFileAttributes) || ::GetFileType(in.get()) != FILE_TYPE_DISK)
            return true; // a device holds nothing to hand over
        const qint64 size = (qint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        Handle out(
            ::CreateFileW(wide(target).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out.valid())
            return fail(target, ::GetLastError());
        m_madeTarget = m_madeTarget || top;

        qint64 copied = 0;
        std::vector<char> buffer(65536);
        for (;;) {
            DWORD n = 0;
            if (!::ReadFile(in.get(), buffer.data(), DWORD(buffer.size()), &n, nullptr))
                return fail(source, ::GetLastError());
            if (n == 0)
                break;
            for (DWORD done = 0; done < n;) {
                DWORD written = 0;
                if (!::WriteFile(out.get(), buffer.data() + done, n - done, &written, nullptr))
                    return fail(target, ::GetLastError());
                done += written;
            }
            copied += n;
        }
        // A file server may tell of a full disk only when the data is flushed.
        LARGE_INTEGER written;
        if (!::FlushFileBuffers(out.get()) || !::GetFileSizeEx(out.get(), &written))
            return fail(target, ::GetLastError());
        if (copied != size || written.QuadPart != size) {
            m_result.ok = false;
            if (m_result.error.isEmpty())
                m_result.error =
                    target +
                    QStringLiteral(": size changed while copying (%1 of %2 bytes)").arg(written.QuadPart).arg(size);
            return false;
        }
        FILE_BASIC_INFO basic = basicInfo(info);
        if (!::SetFileInformationByHandle(out.get(), FileBasicInfo, &basic, sizeof basic) || !out.close())
            return fail(target, ::GetLastError());
        return true;
    }

    bool copyFolder(const QString& source, const QString& target, bool top)
    {
        Handle from(::CreateFileW(wide(source).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, shareButDelete,
                                  nullptr, OPEN_EXISTING, ownEntry, nullptr));
        BY_HANDLE_FILE_INFORMATION info;
        if (!from.valid() || !::GetFileInformationByHandle(from.get(), &info))
            return fail(source, ::GetLastError());
        if (isLink(info.dwFileAttributes)) {
            m_result.skippedLinks.append(source);
            return true;
        }
        if (!isFolder(info.dwFileAttributes))
            return fail(source, ERROR_DIRECTORY);
        if (!::CreateDirectoryW(wide(target).c_str(), nullptr))
            return fail(target, ::GetLastError());
        m_madeTarget = m_madeTarget || top;
        // Held as well, so the items go into the folder made here and nowhere else.
        Handle to(::CreateFileW(wide(target).c_str(),
                                FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, shareButDelete,
                                nullptr, OPEN_EXISTING, ownEntry, nullptr));
        BY_HANDLE_FILE_INFORMATION made;
        if (!to.valid() || !::GetFileInformationByHandle(to.get(), &made))
            return fail(target, ::GetLastError());
        if (isLink(made.dwFileAttributes))
            return fail(target, ERROR_ACCESS_DENIED);

        QList<Listed> entries;
        if (!listOpenFolder(from.get(), entries))
            return fail(source, ::GetLastError());
        for (const Listed& entry : std::as_const(entries)) {
            if (!copyEntry(child(source, entry.name), entry.attributes, child(target, entry.name), false))
                return false;
        }
        // Times last: every entry made above moved the folder's own.
        FILE_BASIC_INFO basic = basicInfo(info);
        if (!::SetFileInformationByHandle(to.get(), FileBasicInfo, &basic, sizeof basic))
            return fail(target, ::GetLastError());
        return true;
    }

    Result& m_result;
    bool m_madeTarget = false;
};

// Deletes the entry at `path` through a handle on the entry itself: a reparse point goes as
// itself, never its target, and a folder is emptied while nobody can swap it for another.
bool removeEntry(const QString& path, DWORD listedAttributes)
{
    const bool listed = isFolder(listedAttributes) && !isLink(listedAttributes);
    Handle entry(::CreateFileW(
        wide(path).c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | (listed ? FILE_LIST_DIRECTORY : 0),
        shareButDelete, nullptr, OPEN_EXISTING, ownEntry, nullptr));
    if (!entry.valid())
        return ShareFiles::isMissing(::GetLastError());
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(entry.get(), &info))
        return false;
    const bool link = isLink(listedAttributes) || isLink(info.dwFileAttributes);
    if (!link && isFolder(info.dwFileAttributes)) {
        QList<Listed> entries;
        if (!listOpenFolder(entry.get(), entries))
            return false;
        for (const Listed& e : std::as_const(entries)) {
            if (!removeEntry(child(path, e.name), e.attributes))
                return false;
        }
    }
    // Windows deletes no read-only file; the shell clears the attribute first, and so does this.
    if (!link && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
        info.dwFileAttributes &= ~DWORD(FILE_ATTRIBUTE_READONLY);
        FILE_BASIC_INFO basic = basicInfo(info);
        basic.LastAccessTime.QuadPart = 0;
        basic.LastWriteTime.QuadPart = 0;
        ::SetFileInformationByHandle(entry.get(), FileBasicInfo, &basic, sizeof basic);
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    return ::SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition, sizeof disposition) &&
           entry.close();
}

QSet<QString> foldedNames(const QString& dir)
{
    QSet<QString> taken;
    QList<Listed> entries;
    listEntries(dir, entries);
    for (const Listed& entry : std::as_const(entries))
        taken.insert(entry.name.toCaseFolded());
    return taken;
}

// One component that Windows keeps as written: no separator or stream colon, and no dot or
// blank at the end, which Windows would drop.
bool isPlainName(const QString& name)
{
    static const QString forbidden = QStringLiteral("/\\:");
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')) || name.contains(QChar(0)))
        return false;
    for (const QChar c : forbidden) {
        if (name.contains(c))
            return false;
    }
    return true;
}

// A path cut into its root ("C:", "//server/share", or empty for a path on the current drive)
// and its components, with "." and ".." taken out as Windows does it: in the text, before the
// file system sees the path.
struct Components
{
    QString root;
    QStringList parts;

    QString pathOf(qsizetype count) const
    {
        return root + QLatin1Char('/') + parts.mid(0, count).join(QLatin1Char('/'));
    }
};

std::optional<Components> lexicalComponents(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    const QString p = QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
    Components c;
    QStringList parts = p.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (p.startsWith(QLatin1String("//"))) {
        if (parts.size() < 2)
            return std::nullopt;
        c.root = QStringLiteral("//") + parts.takeFirst() + QLatin1Char('/') + parts.takeFirst();
    } else if (p.size() >= 2 && p.at(1) == QLatin1Char(':')) {
        c.root = parts.takeFirst();
    }
    c.parts = parts;
    return c;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

Result Copy(const QString& source, const QString& target)
{
    Result result;
    const QString from = clean(source);
    const QString to = clean(target);
    const DWORD attributes = ::GetFileAttributesW(wide(from).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        result.ok = false;
        result.error = failure(from, ::GetLastError());
        return result;
    }
    if (isLink(attributes)) {
        result.ok = false;
        result.skippedLinks.append(from);
        result.error = from + QStringLiteral(": a link, not copied");
        return result;
    }
    if (exists(to)) {
        result.ok = false;
        result.error = failure(to, ERROR_ALREADY_EXISTS);
        return result;
    }
    Copier copier(result);
    if (!copier.copyEntry(from, attributes, to, true)) {
        // Only what this copy made: a target that appeared meanwhile is not ours to delete.
        if (copier.madeTarget() && !Remove(to))
            qCWarning(lcFiles) << "partial copy left behind" << to;
        qCWarning(lcFiles) << "copy failed:" << result.error;
    }
    return result;
}

Result Move(const QString& source, const QString& target)
{
    Result result;
    const QString from = clean(source);
    const QString to = clean(target);
    const DWORD attributes = ::GetFileAttributesW(wide(from).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        result.ok = false;
        result.error = failure(from, ::GetLastError());
        return result;
    }
    // Without MOVEFILE_REPLACE_EXISTING nothing is overwritten, and without MOVEFILE_COPY_ALLOWED
    // a move to another drive fails instead of copying through links.
    if (::MoveFileExW(wide(from).c_str(), wide(to).c_str(), 0))
        return result;
    const DWORD error = ::GetLastError();
    if (error != ERROR_NOT_SAME_DEVICE) {
        result.ok = false;
        result.error = failure(error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? to : from, error);
        return result;
    }
    if (isLink(attributes)) {
        result.ok = false;
        result.skippedLinks.append(from);
        result.error = from + QStringLiteral(": a link, not moved to another drive");
        return result;
    }
    result = Copy(from, to);
    if (result.ok && !Remove(from)) {
        result.ok = false;
        result.error = from + QStringLiteral(": copied, but the original could not be removed");
    }
    return result;
}

bool Remove(const QString& path)
{
    const QString p = clean(path);
    const std::optional<Components> c = lexicalComponents(p);
    if (!c || c->parts.isEmpty())
        return false; // a drive's or a share's root
    const DWORD attributes = ::GetFileAttributesW(wide(p).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && ShareFiles::isMissing(::GetLastError()))
        return true;
    if (attributes != INVALID_FILE_ATTRIBUTES && removeEntry(p, attributes))
        return true;
    qCWarning(lcFiles) << "could not remove" << p << ShareFiles::errorText(::GetLastError());
    return false;
}

QString FreeName(const QString& dir, const QString& name, bool isFolder)
{
    const QString folder = clean(dir);
    const QSet<QString> taken = foldedNames(folder);
    for (int n = 1; n <= FreeNames::MaxNumber; ++n) {
        const QString candidate = FreeNames::Candidate(name, isFolder, n);
        if (!taken.contains(candidate.toCaseFolded()) && !exists(child(folder, candidate)))
            return candidate;
    }
    return {};
}

QString CreateUniqueFolder(const QString& dir, const QString& name)
{
    if (!isPlainName(name) || dir.isEmpty() || !QDir().mkpath(dir))
        return {};
    const QString folder = clean(dir);
    const QSet<QString> taken = foldedNames(folder);
    for (int n = 1; n <= FreeNames::MaxNumber; ++n) {
        const QString candidate = FreeNames::Candidate(name, true, n);
        if (taken.contains(candidate.toCaseFolded()))
            continue;
        const QString path = child(folder, candidate);
        // Exclusive: of two PCs racing for a name, one gets it and the other the next.
        if (::CreateDirectoryW(wide(path).c_str(), nullptr))
            return path;
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            qCWarning(lcFiles) << "could not create" << path << ShareFiles::errorText(error);
            return {};
        }
    }
    return {};
}

bool IsInside(const QString& root, const QString& path)
{
    const std::optional<Components> r = lexicalComponents(root);
    const std::optional<Components> p = lexicalComponents(path);
    if (!r || !p || !sameName(r->root, p->root) || p->parts.size() <= r->parts.size())
        return false;
    for (qsizetype i = 0; i < r->parts.size(); ++i) {
        if (!sameName(r->parts.at(i), p->parts.at(i)))
            return false;
    }
    for (qsizetype count = r->parts.size() + 1; count < p->parts.size(); ++count) {
        const DWORD attributes = ::GetFileAttributesW(wide(p->pathOf(count)).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            if (!ShareFiles::isMissing(::GetLastError()))
                return false; // cannot be told: not taken as inside
            continue;
        }
        if (isLink(attributes))
            return false;
    }
    return true;
}

} // namespace FileTree
