#include "board/UserLoader.h"

#include "board/EFileIOError.h"
#include "board/UserFile.h"
#include "platform/Cp932.h"
#include "platform/FileText.h"
#include "platform/LogCategories.h"
#include "platform/ParallelWork.h"
#include "platform/ShareDirectory.h"
#include "platform/ShareFiles.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

const QByteArray statusExtension = ".vrn";
// A user status file is a few hundred bytes; anything far larger is not one, and reading
// it whole would stall or exhaust every copy on the LAN.
constexpr qint64 maxStatusFileBytes = 1024 * 1024;
const QByteArray stopExtension = ".off";

TVurnaDataRec emptyRecord()
{
    return TVurnaDataRec{};
}

// Fills a record from its file exactly as a full load does; fields the file lacks keep
// their values.
void fillRecord(TVurnaDataRec& record, const QByteArray& fileName, const QByteArray& text, const QDateTime& lastWrite,
                bool stopped)
{
    record.FileName = fileName;
    ParseUserFile(text, record);
    record.FileTime = lastWrite;
    record.Running = !stopped;
}

// Orders freshly read records by the placement rule. Inserting each record after the last
// one whose key is not greater, one at a time, is exactly a stable sort.
void sortLoaded(TVurnaDataArray& members, bool sortPriorityOn)
{
    std::vector<QByteArray> keys;
    keys.reserve(size_t(members.size()));
    for (const TVurnaDataRec& r : members)
        keys.push_back(OrderingKey(r, sortPriorityOn));
    std::vector<int> order(size_t(members.size() - 1));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i) + 1;
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return SjisText::compareBytes(keys[size_t(a)], keys[size_t(b)]) < 0; });
    TVurnaDataArray sorted;
    sorted.reserve(members.size());
    sorted.append(members.at(0));
    for (int i : order)
        sorted.append(std::move(members[i]));
    members = std::move(sorted);
}

// The status files of the listing, one per member: a name that exists in several letter
// cases is one member, read from the spelling that single reloads and writes also reach.
QList<ShareDirectory::Entry> memberFiles(const QList<ShareDirectory::Entry>& entries, const QByteArray& upperDirectory)
{
    QList<ShareDirectory::Entry> files;
    QHash<QByteArray, qsizetype> byBase;
    for (const ShareDirectory::Entry& e : entries) {
        if (e.isDirectory || !e.hasCp932Form || !ShareFiles::hasExtension(e.name, statusExtension))
            continue;
        const QByteArray base = SjisText::upperCase(e.name.chopped(statusExtension.size()));
        const auto seen = byBase.constFind(base);
        if (seen == byBase.constEnd()) {
            byBase.insert(base, files.size());
            files.append(e);
            continue;
        }
        const QByteArray path = SharePath::join(upperDirectory, base + statusExtension);
        const QString reached = QFileInfo(SharePath::resolve(path)).fileName();
        if (e.nativeFileName() == reached)
            files[*seen] = e;
    }
    return files;
}

// What the reading half of a full load found, in listing order. It touches nothing but its
// own fields, so it can run on another thread while the board on show stays as it was.
struct ReadBoard
{
    bool open = false;
    QStringList unnamed;
    TVurnaDataArray records; // one per member file, in listing order
};

ReadBoard readBoard(const QByteArray& directory)
{
    ReadBoard board;
    const ShareDirectory share(directory);
    // An unreachable share must not blank the board: keep what was loaded before.
    board.open = share.isOpen();
    if (!board.open)
        return board;
    const QList<ShareDirectory::Entry> entries = share.entries();

    // Stop markers come from the same listing, so a load costs one directory read plus one
    // read per member rather than another lookup per member.
    // A name with no CP932 form would be held with '?' in it, which is not the file's name:
    // the member could not be reloaded, and a write would make a second file. It stays off the
    // board, and so does its stop marker, lest it stop a member whose name really is that.
    QSet<QByteArray> stopped;
    for (const ShareDirectory::Entry& e : entries) {
        if (e.isDirectory)
            continue;
        if (!e.hasCp932Form) {
            if (ShareFiles::hasExtension(e.name, statusExtension))
                board.unnamed.append(e.nativeFileName());
        } else if (ShareFiles::hasExtension(e.name, stopExtension)) {
            stopped.insert(SjisText::upperCase(e.name.chopped(stopExtension.size())));
        }
    }

    const QByteArray upperDirectory = SjisText::upperCase(directory);
    const QList<ShareDirectory::Entry> files = memberFiles(entries, upperDirectory);
    // A file that cannot be read (gone since the listing, locked, too large) gives empty text
    // and loads as a member with empty fields: no read fails the load. Each record has its own
    // slot, so the board comes out in listing order whatever order the reads finish in.
    std::vector<TVurnaDataRec> records(size_t(files.size()));
    ParallelWork::ForEach(int(files.size()), FullLoadReadsInFlight, [&](int i) {
        const ShareDirectory::Entry& e = files.at(i);
        const QByteArray base = SjisText::upperCase(e.name.chopped(statusExtension.size()));
        QDateTime lastWrite;
        RetryPolicy policy;
        policy.maxBytes = maxStatusFileBytes;
        const QByteArray text = share.readFile(e, &lastWrite, policy);
        fillRecord(records[size_t(i)], SharePath::join(upperDirectory, base), text, lastWrite, stopped.contains(base));
    });
    board.records.reserve(files.size());
    for (TVurnaDataRec& record : records)
        board.records.append(std::move(record));
    return board;
}

int fullLoad(const QByteArray& directory, TVurnaDataArray& members, bool sortPriorityOn)
{
    // A board that has no shared directory yet is empty; it never means the working folder.
    if (SjisText::trim(directory).isEmpty()) {
        members.resize(1);
        return AllMembersLoaded;
    }
    // The files are read away from the calling thread, which keeps handling its events; the
    // new board replaces the old one in one step afterwards, so whatever looks at the board
    // meanwhile sees the whole previous board.
    ReadBoard read;
    ParallelWork::RunWhileEventsFlow([&read, &directory] { read = readBoard(directory); });
    if (!read.open)
        throw EFileIOError(SjisText::upperCase(directory));
    if (!read.unnamed.isEmpty())
        qCWarning(lcBoard).noquote() << "full load of" << Cp932::toUnicode(directory) << "skipped"
                                     << read.unnamed.size()
                                     << "status file(s) whose names have no CP932 form:" << read.unnamed.join(u", ");

    TVurnaDataArray loaded;
    loaded.reserve(read.records.size() + 1);
    loaded.append(members.isEmpty() ? emptyRecord() : members.at(0));
    loaded.append(std::move(read.records));
    sortLoaded(loaded, sortPriorityOn);
    members = std::move(loaded);
    qCDebug(lcBoard) << "full load" << directory << "members" << members.size() - 1;
    return AllMembersLoaded;
}

int singleLoad(TVurnaDataArray& members, const QByteArray& fileName, bool sortPriorityOn)
{
    const QByteArray path = SjisText::upperCase(fileName);
    int index = -1;
    for (int i = 1; i < members.size(); ++i) {
        if (members.at(i).FileName == path) {
            index = i;
            break;
        }
    }
    if (index < 0)
        return -1;

    // This runs for every datagram, so it costs one read of the member's file and one look for
    // its stop marker: on a file server each request is a round trip.
    bool present = false;
    const QString real = SharePath::resolve(path + statusExtension, &present);
    if (!present)
        return index; // deleted: the next full load drops the member
    RetryPolicy policy;
    policy.maxBytes = maxStatusFileBytes;
    QByteArray text;
    QDateTime lastWrite;
    if (!ReadFileWithTime(real, policy, text, lastWrite))
        return index; // gone between the look-up and the read
    bool stopped = false;
    SharePath::resolve(path + stopExtension, &stopped);
    fillRecord(members[index], path, text, lastWrite, stopped);
    PlaceMember(members, index, sortPriorityOn);
    qCDebug(lcBoard) << "reloaded" << path << "index" << index;
    return index;
}

} // namespace

QByteArray OrderingKey(const TVurnaDataRec& record, bool sortPriorityOn)
{
    return sortPriorityOn ? record.SortPrefix + record.Furigana : record.Furigana;
}

int PlaceMember(TVurnaDataArray& members, int p, bool sortPriorityOn)
{
    const QByteArray key = OrderingKey(members.at(p), sortPriorityOn);
    // The highest index below p whose key is not greater; the placeholder's empty key never is.
    int i = p - 1;
    while (i >= 1 && SjisText::compareBytes(OrderingKey(members.at(i), sortPriorityOn), key) > 0)
        --i;
    const int q = i + 1;
    if (q != p)
        members.move(p, q);
    return q;
}

int LoadUserFiles(const QByteArray& directory, TVurnaDataArray& members, const QByteArray& fileName,
                  bool sortPriorityOn)
{
    if (members.isEmpty())
        members.append(emptyRecord());
    if (fileName == AllMembers)
        return fullLoad(directory, members, sortPriorityOn);
    return singleLoad(members, fileName, sortPriorityOn);
}
