#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QDateTime>
#include <QString>

#include <string>

// The Win32 pieces that the file operations on the share have in common.
namespace ShareFiles {

// A real path (Qt's "/" or Windows' "\\" separators) as Win32 takes it: backslashes, and no
// separator at the end except the one of a drive's root ("C:\\").
std::wstring widePath(const QString& realPath);

// A wide name or path back in Qt's form.
QString fromWide(const wchar_t* text);

// Whether a Win32 error says that nothing is at the path.
bool isMissing(DWORD error);

// The system's text for a Win32 error code.
QString errorText(DWORD error);

// A file time (UTC) as a date-time in UTC.
QDateTime fromFileTime(const FILETIME& time);

// Closes a handle on every way out of a scope.
class Handle
{
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~Handle()
    {
        if (valid())
            ::CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    // Closes now and reports a failure.
    bool close()
    {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != 0;
    }

private:
    HANDLE m_handle;
};

} // namespace ShareFiles
