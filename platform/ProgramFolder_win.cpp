#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

// Windows decides who writes a folder by its access list, which Qt's isWritable does not read:
// the folder is asked to take a new file. The file is gone when its handle closes, also when the
// program ends in between.
bool ProgramFolder::IsUsersOwn(const QString& programFile)
{
    const QString folder = QDir::toNativeSeparators(QFileInfo(programFile).absolutePath());
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString probe = QStringLiteral("%1\\vurna-write-test-%2-%3.tmp")
                                  .arg(folder)
                                  .arg(GetCurrentProcessId())
                                  .arg(GetTickCount64() + ULONGLONG(attempt));
        const HANDLE file =
            CreateFileW(reinterpret_cast<const wchar_t*>(probe.utf16()), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}
