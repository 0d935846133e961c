#include "platform/SharePath.h"

#include "platform/Cp932.h"
#include "platform/ShareFiles_win.h"

namespace SharePath {

QString resolve(const QByteArray& path, bool* found)
{
    // The file system ignores letter case, so the path is the file's path as it is; only
    // whether it exists costs a request, and only when asked.
    QString unicodePath = Cp932::toUnicode(path);
    unicodePath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (found) {
        *found = !unicodePath.isEmpty() &&
                 ::GetFileAttributesW(ShareFiles::widePath(unicodePath).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    return unicodePath;
}

void rememberFolder(const QByteArray&)
{
    // Letter case never hides a folder here.
}

void clearCache()
{
    // Nothing is cached here.
}

} // namespace SharePath
