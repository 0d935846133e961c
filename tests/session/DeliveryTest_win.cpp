#include <QDateTime>
#include <gtest/gtest.h>

#include <windows.h>

namespace DeliveryDisk {

void MakeOld(const QString& path, int days)
{
    // Folders open only for backup semantics.
    const HANDLE entry = ::CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), FILE_WRITE_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(entry, INVALID_HANDLE_VALUE) << path.toStdString();
    const quint64 ticks =
        quint64(QDateTime::currentMSecsSinceEpoch() - qint64(days) * 86400000) * 10000 + 116444736000000000ULL;
    const FILETIME when{DWORD(ticks), DWORD(ticks >> 32)};
    const bool set = ::SetFileTime(entry, nullptr, &when, &when);
    ::CloseHandle(entry);
    ASSERT_TRUE(set);
}

bool SpoilHiddenState(const QString&)
{
    return false; // Windows keeps the attribute itself: it always reads
}

} // namespace DeliveryDisk
