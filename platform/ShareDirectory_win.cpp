#include "platform/ShareDirectory.h"

#include "platform/Cp932.h"
#include "platform/ShareFiles_win.h"
#include "platform/SharePath.h"

ShareDirectory::ShareDirectory(const QByteArray& path, const QString& /*knownReal*/)
{
    // Windows matches names without regard to case itself, so resolving the path reads nothing
    // and a remembered one saves nothing. An empty path is no directory at all, not the working
    // folder.
    const QString real = SharePath::resolve(path);
    if (real.isEmpty())
        return;
    const DWORD attributes = ::GetFileAttributesW(ShareFiles::widePath(real).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        m_path = real.endsWith(QLatin1Char('/')) ? real : real + QLatin1Char('/');
}

ShareDirectory::~ShareDirectory() = default;

bool ShareDirectory::isOpen() const
{
    return !m_path.isEmpty();
}

QString ShareDirectory::Entry::nativeFileName() const
{
    return QString::fromUtf8(nativeName);
}

QList<ShareDirectory::Entry> ShareDirectory::entries() const
{
    QList<Entry> result;
    if (m_path.isEmpty())
        return result;
    // The short 8.3 names are not asked for, and the server sends many entries per reply:
    // a board of thousands of files is listed in a few round trips.
    const std::wstring pattern = ShareFiles::widePath(m_path) + L"\\*";
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                             FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return result;
    do {
        const wchar_t* n = found.cFileName;
        if (n[0] == L'.' && (n[1] == L'\0' || (n[1] == L'.' && n[2] == L'\0')))
            continue;
        const QString name = QString::fromWCharArray(n);
        Entry e;
        Cp932::Encoded encoded = Cp932::fromUnicode(name);
        e.hasCp932Form = encoded.ok;
        e.name = encoded.ok ? std::move(encoded.bytes) : SharePath::fromNative(name);
        e.nativeName = name.toUtf8();
        e.isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        e.size = (qint64(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        e.lastWrite = ShareFiles::fromFileTime(found.ftLastWriteTime);
        result.append(std::move(e));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return result;
}

bool ShareDirectory::lookUp(Entry& entry) const
{
    // The listing carries every entry's size and time.
    return entry.lastWrite.isValid();
}

QByteArray ShareDirectory::readFile(const Entry& entry, QDateTime* lastWrite, const RetryPolicy& policy,
                                    bool* gone) const
{
    if (lastWrite)
        *lastWrite = QDateTime();
    const QString path = m_path + entry.nativeFileName();
    ReadAttempt outcome = ReadAttempt::Failed;
    for (int attempt = 1; attempt <= policy.attempts; ++attempt) {
        QByteArray text;
        // The listing has just seen the file: one that is missing now is most likely being
        // replaced by another PC, which leaves no file under its name for a moment.
        outcome = ReadWholeFileOnce(path, policy, text, lastWrite);
        if (outcome == ReadAttempt::Read)
            return text;
        if (attempt < policy.attempts)
            waitBeforeRetry(policy, attempt);
    }
    // Still missing after the waits: it was removed.
    if (gone)
        *gone = outcome == ReadAttempt::Missing;
    if (lastWrite)
        *lastWrite = QDateTime();
    return {};
}
