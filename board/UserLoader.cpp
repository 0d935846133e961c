#include "board/UserLoader.h"

#include "board/EFileIOError.h"
#include "board/UserFile.h"
#include "platform/FileText.h"
#include "platform/ShareDirectory.h"
#include "platform/ShareFiles.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QSet>

#include <algorithm>

Q_LOGGING_CATEGORY(lcBoard, "vurna.board", QtWarningMsg)

namespace {

const QByteArray statusExtension = ".vrn";
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

int fullLoad(const QByteArray& directory, TVurnaDataArray& members, bool sortPriorityOn)
{
    const ShareDirectory share(directory);
    // An unreachable share must not blank the board: keep what was loaded before.
    if (!share.isOpen())
        throw EFileIOError(SjisText::upperCase(directory));
    const QList<ShareDirectory::Entry> entries = share.entries();

    // Stop markers come from the same listing, so a load costs one directory read plus one
    // read per member rather than another lookup per member.
    QSet<QByteArray> stopped;
    for (const ShareDirectory::Entry& e : entries) {
        if (!e.isDirectory && ShareFiles::hasExtension(e.name, stopExtension))
            stopped.insert(SjisText::upperCase(e.name.chopped(stopExtension.size())));
    }

    const QByteArray upperDirectory = SjisText::upperCase(directory);
    members.resize(1);
    members.reserve(entries.size() + 1);
    for (const ShareDirectory::Entry& e : entries) {
        if (e.isDirectory || !ShareFiles::hasExtension(e.name, statusExtension))
            continue;
        const QByteArray base = SjisText::upperCase(e.name.chopped(statusExtension.size()));
        QDateTime lastWrite;
        const QByteArray text = share.readFile(e, &lastWrite);
        TVurnaDataRec record = emptyRecord();
        fillRecord(record, upperDirectory + base, text, lastWrite, stopped.contains(base));
        members.append(std::move(record));
    }

    // Inserting each record after the last one whose key is not greater is a stable sort.
    std::vector<QByteArray> keys;
    keys.reserve(size_t(members.size()));
    for (const TVurnaDataRec& r : members)
        keys.push_back(OrderingKey(r, sortPriorityOn));
    std::vector<int> order(size_t(members.size() - 1));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i) + 1;
    std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) {
        return SjisText::compareBytes(keys[size_t(a)], keys[size_t(b)]) < 0;
    });
    TVurnaDataArray sorted;
    sorted.reserve(members.size());
    sorted.append(members.at(0));
    for (int i : order)
        sorted.append(std::move(members[i]));
    members = std::move(sorted);
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

    const QFileInfo info(SharePath::resolve(path + statusExtension));
    if (!info.isFile())
        return index;  // deleted: the next full load drops the member
    const bool stopped = QFileInfo(SharePath::resolve(path + stopExtension)).isFile();
    fillRecord(members[index], path, ReadNativeFileText(info.filePath()), info.lastModified(), stopped);
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
