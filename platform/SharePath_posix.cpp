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

#include <algorithm>
#include <optional>

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

// A share's folder in its real spelling, with its components upper-cased for matching.
struct KnownFolder
{
    QList<QByteArray> upperParts;
    QString real;
};

// Purely a cache of what the file system says; it holds no program state and every entry
// validates itself, so one per process is safe.
struct ListingCache
{
    QMutex mutex;
    QHash<QString, Listing> listings;
    // Directories already found, by the path as given: a share's path is resolved for every
    // file of it, and walking it from the root again costs a look-up per component, each a
    // round trip when the share is on a server. An entry is only a first guess, checked by
    // the look-up that follows it.
    QHash<QString, QString> directories;
    // Share folders whose spelling is known without listing their parents. An entry is checked
    // on disk each time it starts a walk.
    QList<KnownFolder> known;
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

QString joinNative(const QString& directory, const QString& name)
{
    return directory.isEmpty() || directory.endsWith(QLatin1Char('/')) ? directory + name
                                                                       : directory + QLatin1Char('/') + name;
}

// The real name of `component` inside the existing directory `dir`; empty when none matches.
// `dirExists`, when given, says whether `dir` is a directory at all.
QString matchInDirectory(const QString& dir, const QString& component, bool* dirExists = nullptr)
{
    const QByteArray key = SjisText::upperCase(fromNative(component));
    const QFileInfo dirInfo(dir);
    const QDateTime modified = dirInfo.lastModified();
    if (dirExists)
        *dirExists = dirInfo.isDir();
    // No call on the file system while the cache is locked: a server that does not answer would
    // hold every thread that looks a path up, the window's among them.
    ListingCache& c = cache();
    std::optional<Listing> cached;
    {
        QMutexLocker lock(&c.mutex);
        const auto found = c.listings.constFind(dir);
        if (found != c.listings.cend())
            cached = *found;
    }
    if (cached && cached->modified != modified) {
        // The directory changed since it was listed (any file written there changes it), but a
        // name listed then is most likely still there: one look-up confirms it, where listing a
        // board of thousands of files costs dozens of round trips to a file server.
        const QString guess = cached->byUpperName.value(key);
        if (!guess.isEmpty() && QFileInfo::exists(joinNative(dir, guess)))
            return guess;
    }
    const bool current = cached && cached->modified == modified;
    Listing listing = current ? *cached : readListing(dir, modified);
    QString name = listing.byUpperName.value(key);
    // A listing read within two seconds of the directory's last change may have missed a
    // file created, or still hold one removed, in the same tick of a coarse time stamp
    // (network file systems, and the kernel's own clock tick); only then is it worth checking
    // the name and reading the whole directory again.
    const bool reread =
        listing.readAt < modified.toUTC().addSecs(2) && (name.isEmpty() || !QFileInfo::exists(joinNative(dir, name)));
    if (reread) {
        listing = readListing(dir, modified);
        name = listing.byUpperName.value(key);
    }
    if (!current || reread) {
        QMutexLocker lock(&c.mutex);
        c.listings.insert(dir, listing);
    }
    return name;
}

QString knownDirectory(const QString& given)
{
    ListingCache& c = cache();
    QMutexLocker lock(&c.mutex);
    return c.directories.value(given);
}

void rememberDirectory(const QString& given, const QString& real)
{
    ListingCache& c = cache();
    QMutexLocker lock(&c.mutex);
    c.directories.insert(given, real);
}

QByteArray upperName(const QString& name)
{
    return SjisText::upperCase(fromNative(name));
}

void keepKnown(const QList<QByteArray>& upperParts, const QString& real)
{
    ListingCache& c = cache();
    QMutexLocker lock(&c.mutex);
    // One spelling per folder: the latest told or found.
    c.known.removeIf([&](const KnownFolder& k) { return k.upperParts == upperParts; });
    c.known.append({upperParts, real});
}

// The known folder that names the most leading components of the absolute path `parts`.
struct KnownMatch
{
    QString real;
    qsizetype covered = 0;
};

KnownMatch longestKnown(const QStringList& parts)
{
    KnownMatch best;
    QList<QByteArray> upper;
    ListingCache& c = cache();
    QMutexLocker lock(&c.mutex);
    for (const KnownFolder& k : std::as_const(c.known)) {
        const qsizetype n = k.upperParts.size();
        if (n <= best.covered || n > parts.size())
            continue;
        while (upper.size() < n)
            upper.append(upperName(parts.at(upper.size())));
        if (std::equal(k.upperParts.cbegin(), k.upperParts.cend(), upper.cbegin()))
            best = {k.real, n};
    }
    return best;
}

// The real directory for `parts` below the real `directory`, from component `start` on (given,
// possibly in another letter case), each missing component matched in its directory's
// listing; `exists` says whether all were found.
QString walkFrom(QString directory, const QStringList& parts, qsizetype start, bool* exists)
{
    *exists = true;
    for (const QString& part : parts.sliced(start)) {
        QString next = joinNative(directory, part);
        if (*exists && !QFileInfo::exists(next)) {
            const QString dir = directory.isEmpty() ? QStringLiteral(".") : directory;
            const QString real = QFileInfo(dir).isDir() ? matchInDirectory(dir, part) : QString();
            if (real.isEmpty())
                *exists = false;
            else
                next = joinNative(directory, real);
        }
        directory = next;
    }
    if (*exists && !directory.isEmpty())
        *exists = QFileInfo(directory).isDir();
    return directory;
}

// The known folder `known` names the first components of `parts`: its real path, checked on
// disk. A spelling the disk does not have (typed in another case, or respelled since) is looked
// for from the root and kept once found. Empty when the folder is not there.
QString confirmed(const QStringList& parts, const KnownMatch& known)
{
    if (QFileInfo(known.real).isDir())
        return known.real;
    const QStringList leading = parts.first(known.covered);
    bool exists = false;
    const QString found = walkFrom(QStringLiteral("/"), leading, 0, &exists);
    if (!exists)
        return {};
    QList<QByteArray> upperParts;
    for (const QString& part : leading)
        upperParts.append(upperName(part));
    keepKnown(upperParts, found);
    return found;
}

// The real directory for `parts` (given, possibly in another letter case); `exists` says
// whether all were found. A walk starts at the known folder of a share where there is one,
// which saves listing the folders above it: they may refuse it.
QString walk(const QString& given, const QStringList& parts, bool* exists)
{
    if (!given.startsWith(QLatin1Char('/')))
        return walkFrom(QString(), parts, 0, exists);
    const KnownMatch known = longestKnown(parts);
    const QString base = known.covered > 0 ? confirmed(parts, known) : QString();
    if (base.isEmpty())
        return walkFrom(QStringLiteral("/"), parts, 0, exists);
    return walkFrom(base, parts, known.covered, exists);
}

// The real path of `name` inside the existing `directory`: the name as written, or the entry
// that matches it without regard to letter case. Empty when `directory` is gone; the name as
// written when nothing matches (a file about to be created), with `found` false.
QString matchLast(const QString& directory, const QString& name, const QString& alreadyTried, bool* found)
{
    *found = true;
    const QString asWritten = joinNative(directory, name);
    if (name.isEmpty())
        return QFileInfo(directory).isDir() ? directory : QString();
    if (asWritten != alreadyTried && QFileInfo::exists(asWritten))
        return asWritten;
    bool dirExists = false;
    const QString real = matchInDirectory(directory.isEmpty() ? QStringLiteral(".") : directory, name, &dirExists);
    if (!real.isEmpty())
        return joinNative(directory, real);
    *found = false;
    return dirExists ? asWritten : QString();
}

} // namespace

QString resolve(const QByteArray& path, bool* found)
{
    bool foundHere = false;
    if (!found)
        found = &foundHere;
    QString unicodePath = Cp932::toUnicode(path);
    unicodePath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    *found = !unicodePath.isEmpty() && QFileInfo::exists(unicodePath);
    if (unicodePath.isEmpty() || *found)
        return unicodePath;

    const bool trailingSlash = unicodePath.endsWith(QLatin1Char('/'));
    const bool absolute = unicodePath.startsWith(QLatin1Char('/'));
    QStringList parts = unicodePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (absolute && !parts.isEmpty()) {
        // A share's folder itself, which its parent's listing may not show.
        const KnownMatch known = longestKnown(parts);
        const QString real = known.covered == parts.size() ? confirmed(parts, known) : QString();
        if (!real.isEmpty()) {
            *found = true;
            return trailingSlash ? real + QLatin1Char('/') : real;
        }
    }
    const QString last = parts.isEmpty() ? QString() : parts.takeLast();
    const QString givenDirectory = (absolute ? QStringLiteral("/") : QString()) + parts.join(QLatin1Char('/'));

    QString directory = knownDirectory(givenDirectory);
    QString real = directory.isEmpty() ? QString() : matchLast(directory, last, unicodePath, found);
    if (real.isEmpty()) {
        // Not known, or no longer there: walk from the share's folder, or else from the root.
        bool exists = false;
        directory = walk(givenDirectory, parts, &exists);
        if (exists) {
            rememberDirectory(givenDirectory, directory);
            real = matchLast(directory, last, unicodePath, found);
        }
    }
    if (real.isEmpty())
        *found = false;
    QString current = real.isEmpty() ? joinNative(directory, last) : real;
    if (trailingSlash && !current.endsWith(QLatin1Char('/')))
        current += QLatin1Char('/');
    return current;
}

void rememberFolder(const QByteArray& folder)
{
    QString unicode = Cp932::toUnicode(folder);
    unicode.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // A relative folder would name another one after a change of the working folder.
    if (!unicode.startsWith(QLatin1Char('/')))
        return;
    const QStringList parts = QDir::cleanPath(unicode).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return;
    QList<QByteArray> upperParts;
    for (const QString& part : parts)
        upperParts.append(upperName(part));
    keepKnown(upperParts, QLatin1Char('/') + parts.join(QLatin1Char('/')));
}

void clearCache()
{
    ListingCache& c = cache();
    QMutexLocker lock(&c.mutex);
    c.listings.clear();
    c.directories.clear();
    c.known.clear();
}

} // namespace SharePath
