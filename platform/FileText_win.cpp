#include "platform/FileText.h"

#include "platform/LogCategories.h"
#include "platform/ShareFiles_win.h"

#include <QRandomGenerator>

using ShareFiles::Handle;

namespace {

// Other PCs keep reading, and replace the file, while this one reads it.
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A name beside `target` that no other writer picks, in an extension that no listing of the
// board takes for one of its files.
std::wstring besideTarget(const std::wstring& target, const wchar_t* extension)
{
    const QString tag = QString::number(QRandomGenerator::global()->generate(), 16);
    return target + L'.' + tag.toStdWString() + extension;
}

bool writeAll(HANDLE file, const QByteArray& text)
{
    qsizetype done = 0;
    while (done < text.size()) {
        const DWORD chunk = DWORD(qMin<qsizetype>(text.size() - done, 1 << 20));
        DWORD written = 0;
        if (!::WriteFile(file, text.constData() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// Puts `temporary` in the place of `target`. ReplaceFileW renames the old file away first,
// which readers that opened it with FILE_SHARE_DELETE allow; renaming over an open file does
// not work. The old file goes to a backup name so that it can be put back whichever step fails.
bool putInPlace(const std::wstring& target, const std::wstring& temporary)
{
    constexpr DWORD replaceFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    // The old file's own spelling: the new file takes the name it is handed, and the path in
    // memory is upper-cased. (The temporary file beside it was made, so the name holds no
    // wildcard that could match another file.)
    WIN32_FIND_DATAW found;
    const HANDLE search =
        ::FindFirstFileExW(target.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return ShareFiles::isMissing(::GetLastError()) &&
               ::MoveFileExW(temporary.c_str(), target.c_str(), replaceFlags);
    ::FindClose(search);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return false; // a folder is never replaced by a file
    const std::wstring replaced = target.substr(0, target.find_last_of(L'\\') + 1) + found.cFileName;
    const std::wstring backup = besideTarget(replaced, L".bak");
    if (::ReplaceFileW(replaced.c_str(), temporary.c_str(), backup.c_str(),
                       REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr)) {
        ::DeleteFileW(backup.c_str());
        return true;
    }
    const DWORD error = ::GetLastError();
    switch (error) {
    case ERROR_FILE_NOT_FOUND: // gone since the look above: nothing to replace any more
        return ::MoveFileExW(temporary.c_str(), target.c_str(), replaceFlags);
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: // the old file is the backup now
        ::MoveFileExW(backup.c_str(), replaced.c_str(), 0);
        break;
    default: // both files kept their names
        break;
    }
    qCDebug(lcFiles) << "replace failed" << ShareFiles::errorText(error);
    return false;
}

} // namespace

bool ReplaceWholeFileOnce(const QString& realPath, const QByteArray& text)
{
    const std::wstring target = ShareFiles::widePath(realPath);
    const std::wstring temporary = besideTarget(target, L".tmp");
    Handle file(
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    // A file server may tell of a full disk only when the data is flushed: then the old
    // file must still be there.
    const bool written = writeAll(file.get(), text) && ::FlushFileBuffers(file.get());
    if (!file.close() || !written || !putInPlace(target, temporary)) {
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

ReadAttempt ReadWholeFileOnce(const QString& realPath, const RetryPolicy& policy, QByteArray& text,
                              QDateTime* lastWrite)
{
    const std::wstring path = ShareFiles::widePath(realPath);
    Handle file(::CreateFileW(path.c_str(), GENERIC_READ, shareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        if (ShareFiles::isMissing(error))
            return ReadAttempt::Missing;
        // A folder opens only for backup semantics and answers "access denied".
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return ReadAttempt::Folder;
        return ReadAttempt::Failed;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return ReadAttempt::Failed;
    const qint64 size = (qint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > policy.maxBytes)
        return ReadAttempt::Failed;
    text.clear();
    text.reserve(qsizetype(size));
    char buffer[16384];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr))
            return ReadAttempt::Failed;
        if (n == 0)
            break;
        if (text.size() + n > policy.maxBytes)
            return ReadAttempt::Failed; // grew while being read
        text.append(buffer, n);
        // All the size said is here: reading on only to meet the end costs another round trip.
        if (size > 0 && text.size() >= size)
            break;
    }
    if (lastWrite)
        *lastWrite = ShareFiles::fromFileTime(info.ftLastWriteTime);
    return ReadAttempt::Read;
}
