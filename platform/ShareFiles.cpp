#include "platform/ShareFiles.h"

#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace ShareFiles {

QList<Entry> list(const QByteArray& directory, bool* ok)
{
    QList<Entry> entries;
    const QString real = SharePath::resolve(directory);
    const QFileInfo dirInfo(real);
    const bool readable = dirInfo.isDir() && dirInfo.isReadable();
    if (ok)
        *ok = readable;
    if (!readable)
        return entries;
    QDirIterator it(real, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        entries.append({SharePath::fromNative(info.fileName()), info.filePath(), info.lastModified(), info.isDir()});
    }
    return entries;
}

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

bool createEmpty(const QByteArray& path)
{
    QFile file(SharePath::resolve(path));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

} // namespace ShareFiles
