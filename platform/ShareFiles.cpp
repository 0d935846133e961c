#include "platform/ShareFiles.h"

#include "platform/ShareDirectory.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QFile>
#include <QFileInfo>


namespace ShareFiles {

QList<Entry> list(const QByteArray& directory, bool* ok)
{
    QList<Entry> entries;
    const ShareDirectory dir(directory);
    if (ok)
        *ok = dir.isOpen();
    QString real = SharePath::resolve(directory);
    if (!real.endsWith(QLatin1Char('/')))
        real += QLatin1Char('/');
    for (const ShareDirectory::Entry& e : dir.entries()) {
        const QString path = real + QFile::decodeName(e.nativeName);
        entries.append({e.name, path, QFileInfo(path).lastModified(), e.isDirectory});
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
