#include "platform/DosAttributes.h"

#include "platform/LogCategories.h"
#include "platform/ShareFiles_win.h"

namespace DosAttributes {

namespace {

// The bits SetFileAttributesW takes; the others (directory, reparse point, compression ...)
// describe the entry and are not set this way.
constexpr DWORD settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The attributes of the entry itself (GetFileAttributesW does not follow a link at the end of
// the path); nothing for a link or a path that is not there.
bool ownAttributes(const std::wstring& path, DWORD* attributes)
{
    *attributes = ::GetFileAttributesW(path.c_str());
    return *attributes != INVALID_FILE_ATTRIBUTES && !(*attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace

Hidden IsHidden(const QString& realPath)
{
    DWORD attributes = 0;
    if (!ownAttributes(ShareFiles::widePath(realPath), &attributes))
        return Hidden::Unknown;
    return (attributes & FILE_ATTRIBUTE_HIDDEN) ? Hidden::Yes : Hidden::No;
}

bool SetHidden(const QString& realPath, bool hidden)
{
    const std::wstring path = ShareFiles::widePath(realPath);
    DWORD attributes = 0;
    if (!ownAttributes(path, &attributes))
        return false;
    const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    DWORD wanted = attributes & settable;
    if (hidden)
        wanted |= FILE_ATTRIBUTE_HIDDEN;
    else if (folder)
        wanted = 0; // a folder shown again is "directory only", as the parcels of every copy are
    else
        wanted &= ~DWORD(FILE_ATTRIBUTE_HIDDEN);
    if (wanted == 0)
        wanted = FILE_ATTRIBUTE_NORMAL;
    if (::SetFileAttributesW(path.c_str(), wanted))
        return true;
    qCWarning(lcFiles) << "hidden attribute not" << (hidden ? "set" : "cleared") << realPath
                       << ShareFiles::errorText(::GetLastError());
    return false;
}

} // namespace DosAttributes
