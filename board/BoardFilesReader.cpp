#include "board/BoardFilesReader.h"

#include "board/UserFile.h"
#include "platform/ParallelWork.h"
#include "platform/ShareDirectory.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <vector>

namespace {

// The coarsest time stamp a file server keeps (FAT's two seconds): two writes this close
// together may leave a file with the same time.
constexpr qint64 coarseTimeMs = 2000;

// What a listed name is to the board, by its extension in any letter case. The last '.' is
// looked for lead-byte aware; the three letters after it are then whole characters.
enum class FileKind { Other, Status, Stop };

FileKind kindOf(const QByteArray& name)
{
    const qsizetype dot = SjisText::lastIndexOfChar(name, '.');
    if (dot <= 0 || name.size() - dot != StatusExtension.size())
        return FileKind::Other;
    const auto is = [&name, dot](const QByteArray& extension) {
        for (qsizetype i = 1; i < extension.size(); ++i) {
            if ((name.at(dot + i) & ~0x20) != (extension.at(i) & ~0x20))
                return false;
        }
        return true;
    };
    return is(StatusExtension) ? FileKind::Status : is(StopExtension) ? FileKind::Stop : FileKind::Other;
}

// The member files of a listing with their upper-cased base names, and its stop markers.
struct Listing
{
    QList<ShareDirectory::Entry> files; // one per member, in listing order
    QList<QByteArray> bases;
    QSet<QByteArray> stopped;
    QStringList unnamed;
};

// Stop markers come from the same listing, so a load costs one directory read plus one read
// per member rather than another lookup per member.
// A name with no CP932 form would be held with '?' in it, which is not the file's name: the
// member could not be reloaded, and a write would make a second file. It stays off the board,
// and so does its stop marker, lest it stop a member whose name really is that.
// A name that exists in several letter cases is one member, read from the spelling that single
// reloads and writes also reach.
Listing classifyListing(QList<ShareDirectory::Entry> entries, const QByteArray& upperDirectory)
{
    Listing listing;
    QHash<QByteArray, qsizetype> byBase;
    byBase.reserve(entries.size());
    listing.files.reserve(entries.size());
    listing.bases.reserve(entries.size());
    for (ShareDirectory::Entry& e : entries) {
        const FileKind kind = e.isDirectory ? FileKind::Other : kindOf(e.name);
        if (kind == FileKind::Other)
            continue;
        if (!e.hasCp932Form) {
            if (kind == FileKind::Status)
                listing.unnamed.append(e.nativeFileName());
            continue;
        }
        QByteArray base = SjisText::upperCase(e.name);
        base.chop(StatusExtension.size());
        if (kind == FileKind::Stop) {
            listing.stopped.insert(std::move(base));
            continue;
        }
        const auto seen = byBase.constFind(base);
        if (seen == byBase.constEnd()) {
            byBase.insert(base, listing.files.size());
            listing.files.append(std::move(e));
            listing.bases.append(std::move(base));
            continue;
        }
        const QString reached = QFileInfo(SharePath::resolve(upperDirectory + base + StatusExtension)).fileName();
        if (e.nativeFileName() == reached)
            listing.files[*seen] = std::move(e);
    }
    return listing;
}

// Whether a file written at `lastWrite` and listed at `listedAt` can be rewritten unseen: in
// the same tick of a coarse time stamp, with the same size.
bool settledAt(const QDateTime& lastWrite, qint64 listedAt)
{
    return lastWrite.isValid() && lastWrite.toMSecsSinceEpoch() <= listedAt - coarseTimeMs;
}

// Whether the file as listed now is the one the last load read. One written within two
// seconds of its listing does not count as seen until it has been read later than that.
bool unchanged(const LoadedFiles::File& seen, const ShareDirectory::Entry& listed)
{
    return seen.settled && listed.lastWrite.isValid() && listed.lastWrite == seen.lastWrite &&
           listed.size == seen.size && listed.nativeName == seen.nativeName;
}

// One member file read afresh.
struct FreshRead
{
    TVurnaDataRec record;
    QDateTime lastWrite;
    qint64 size = -1;
    bool gone = false;
};

} // namespace

void FillMemberRecord(TVurnaDataRec& record, const QByteArray& fileName, const QByteArray& text,
                      const QDateTime& lastWrite, bool stopped)
{
    record.FileName = fileName;
    ParseUserFile(text, record);
    record.FileTime = lastWrite;
    record.Running = !stopped;
}

BoardFiles ReadBoardFiles(const QByteArray& directory, const LoadedFiles* reuse, const QString& knownReal, bool keep)
{
    BoardFiles board;
    const ShareDirectory share(directory, knownReal);
    // An unreachable share must not blank the board: keep what was loaded before.
    board.open = share.isOpen();
    if (!board.open)
        return board;
    const qint64 listedAt = QDateTime::currentMSecsSinceEpoch();
    const QByteArray upperDirectory = SharePath::withSeparator(SjisText::upperCase(directory));
    Listing listing = classifyListing(share.entries(), upperDirectory);
    board.unnamed = std::move(listing.unnamed);
    const int count = int(listing.files.size());
    ShareDirectory::Entry* const files = listing.files.data();

    // Which files need reading: every one, or those the previous load did not see as they are
    // listed now. Where the listing has no times (POSIX) each is looked up, many at once; a
    // file server's client answers those from what its listing just brought along.
    std::vector<const LoadedFiles::File*> kept(size_t(count), nullptr);
    if (reuse && !reuse->files.isEmpty()) {
        ParallelWork::ForEach(count, FullLoadReadsInFlight, [&](int i) {
            const auto seen = reuse->files.constFind(listing.bases.at(i));
            if (seen != reuse->files.constEnd() && share.lookUp(files[i]) && unchanged(*seen, files[i]))
                kept[size_t(i)] = &*seen;
        });
    }
    std::vector<int> toRead;
    toRead.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        if (!kept[size_t(i)])
            toRead.push_back(i);
    }

    // A file that cannot be read (locked, too large, not a file) gives empty text and loads as a
    // member with empty fields: no read fails the load. Each file has its own slot, so the board
    // comes out in listing order whatever order the reads finish in.
    board.filesRead = qsizetype(toRead.size());
    std::vector<FreshRead> fresh(static_cast<size_t>(count));
    ParallelWork::ForEach(int(toRead.size()), FullLoadReadsInFlight, [&](int k) {
        const int i = toRead[size_t(k)];
        FreshRead& read = fresh[size_t(i)];
        RetryPolicy policy;
        policy.maxBytes = MaxStatusFileBytes;
        const QByteArray text = share.readFile(files[i], &read.lastWrite, policy, &read.gone);
        read.size = text.size();
        FillMemberRecord(read.record, upperDirectory + listing.bases.at(i), text, read.lastWrite, false);
    });

    board.records.reserve(count);
    if (keep) {
        board.loaded.directory = directory;
        board.loaded.realDirectory = share.realPath();
        board.loaded.files.reserve(count);
    }
    for (int i = 0; i < count; ++i) {
        const QByteArray& base = listing.bases.at(i);
        if (const LoadedFiles::File* seen = kept[size_t(i)]) {
            board.records.append(seen->record);
            if (keep)
                board.loaded.files.insert(base, *seen);
        } else {
            FreshRead& read = fresh[size_t(i)];
            if (read.gone)
                continue; // removed since the listing: no member
            if (keep) {
                board.loaded.files.insert(base, LoadedFiles::File{files[i].nativeName, read.size, read.lastWrite,
                                                                  settledAt(read.lastWrite, listedAt), read.record});
            }
            board.records.append(std::move(read.record));
        }
        board.records.last().Running = !listing.stopped.contains(base);
    }
    return board;
}
