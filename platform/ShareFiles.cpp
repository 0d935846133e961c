#include "platform/ShareFiles.h"

#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QFile>
#include <QFileInfo>

namespace ShareFiles {

bool hasExtension(const QByteArray& name, const QByteArray& extension)
{
    if (name.size() <= extension.size())
        return false;
    return SjisText::upperCase(name.right(extension.size())) == SjisText::upperCase(extension) &&
           SjisText::lastIndexOfChar(name, '.') == name.size() - extension.size();
}

bool exists(const QByteArray& path)
{
    return QFileInfo::exists(SharePath::resolve(path));
}

bool isDirectory(const QByteArray& path)
{
    return QFileInfo(SharePath::resolve(path)).isDir();
}

bool remove(const QByteArray& path)
{
    return QFile::remove(SharePath::resolve(path));
}

} // namespace ShareFiles
