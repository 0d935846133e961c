#include "platform/SharePath.h"

#include "platform/Cp932.h"
#include "platform/SjisText.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStringList>

namespace SharePath {
namespace {

// A directory's entries keyed by their upper-cased CP932 name, with the directory's
// modification time when they were read: a listing is reused only while the directory is
// unchanged, so the cache never hides a file that another PC created or renamed.
struct Listing
{
    QDateTime modified;
    QDateTime readAt;
    QHash<QByteArray, QString> byUpperName;
};

// Purely a cache of what the file system says; it holds no program state and every entry
// validates itself, so one per process is safe.
struct ListingCache
{
    QMutex mutex;
    QHash<QString, Listing> listings;
};

ListingCache& cache()
{
    static ListingCache c;
    return c;
}

Listing readListing(const QString& dir, const QDateTime& modified)
{
    Listing listing;
    listing.modified = modified;
    listing.readAt = QDateTime::currentDateTimeUtc();
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        // The first spelling listed wins, as it does for the board loader.
        const QByteArray key = SjisText::upperCase(fromNative(name));
        if (!listing.byUpperName.contains(key))
            listing.byUpperName.insert(key, name);
    }
    return listing;
}

// The real name of `component` inside the existing directory `dir`; empty when none matches.
QString matchInDirectory(const QString& dir, const QString& component)
{
    const QByteArray key = SjisText::upperCase(fromNative(component));
    const QDateTime modified = QFileInfo(dir).lastModified();
    ListingCache& c = cache();
    QMutexLocker lock(&c.mutex);
    auto found = c.listings.find(dir);
    if (found == c.listings.end() || found->modified != modified)
        found = c.listings.insert(dir, readListing(dir, modified));
    QString name = found->byUpperName.value(key);
    // A listing read within two seconds of the directory's last change may have missed a
    // file created in the same tick of a coarse time stamp (network file systems); only
    // then is a miss worth another read of the whole directory.
    if (name.isEmpty() && found->readAt < modified.toUTC().addSecs(2)) {
        *found = readListing(dir, modified);
        name = found->byUpperName.value(key);
    }
    return name;
}

} // namespace

QString resolve(const QByteArray& path)
{
    QString unicodePath = Cp932::toUnicode(path);
    unicodePath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (unicodePath.isEmpty() || QFileInfo::exists(unicodePath))
        return unicodePath;

    const bool absolute = unicodePath.startsWith(QLatin1Char('/'));
    const bool trailingSlash = unicodePath.endsWith(QLatin1Char('/'));
    const QStringList parts = unicodePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    bool exists = true;
    for (const QString& part : parts) {
        QString next = current.isEmpty() || current.endsWith(QLatin1Char('/')) ? current + part : current + QLatin1Char('/') + part;
        if (exists && !QFileInfo::exists(next)) {
            const QString dir = current.isEmpty() ? QStringLiteral(".") : current;
            const QString real = QFileInfo(dir).isDir() ? matchInDirectory(dir, part) : QString();
            if (real.isEmpty()) {
                exists = false;
            } else {
                next = current.isEmpty() || current.endsWith(QLatin1Char('/')) ? current + real : current + QLatin1Char('/') + real;
            }
        }
        current = next;
    }
    if (trailingSlash && !current.endsWith(QLatin1Char('/')))
        current += QLatin1Char('/');
    return current;
}

bool endsWithSeparator(const QByteArray& path)
{
    if (path.endsWith('/'))
        return true;
    return !path.isEmpty() && SjisText::lastIndexOfChar(path, '\\') == path.size() - 1;
}

QByteArray withSeparator(const QByteArray& dir)
{
    if (dir.isEmpty() || endsWithSeparator(dir))
        return dir;
    return dir + nativeSeparator;
}

QByteArray join(const QByteArray& dir, const QByteArray& name)
{
    return withSeparator(dir) + name;
}

QByteArray fromNative(const QString& path)
{
    return Cp932::fromUnicodeLossy(path);
}

QByteArray fromNativeName(const char* name, bool* hasCp932Form)
{
    if (hasCp932Form)
        *hasCp932Form = true;
    const char* p = name;
    while (*p && static_cast<unsigned char>(*p) < 0x80)
        ++p;
    if (*p == '\0')
        return QByteArray(name, p - name);  // ASCII reads the same in UTF-8 and CP932
    // Bytes that are not UTF-8 decode to U+FFFD, which has no CP932 form either.
    const QString unicode = QString::fromUtf8(name);
    Cp932::Encoded encoded = Cp932::fromUnicode(unicode);
    if (hasCp932Form)
        *hasCp932Form = encoded.ok;
    return encoded.ok ? std::move(encoded.bytes) : fromNative(unicode);
}

void clearCache()
{
    ListingCache& c = cache();
    QMutexLocker lock(&c.mutex);
    c.listings.clear();
}

} // namespace SharePath
