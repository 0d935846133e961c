#include "platform/ShareFiles.h"

#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QFile>
#include <QFileInfo>

namespace ShareFiles {

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
