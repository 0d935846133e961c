#include "board/UserLoader.h"

#include "board/BoardFilesReader.h"
#include "board/EFileIOError.h"
#include "platform/Cp932.h"
#include "platform/FileText.h"
#include "platform/LogCategories.h"
#include "platform/ParallelWork.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QThreadPool>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// The board: the placeholder, then the freshly read records in the order of the placement
// rule. Inserting each record after the last one whose key is not greater, one at a time, is
// exactly a stable sort.
TVurnaDataArray inBoardOrder(const TVurnaDataRec& placeholder, TVurnaDataArray& records, bool sortPriorityOn)
{
    // Without the priority the key is the reading itself, which needs no copy.
    std::vector<QByteArray> prefixed;
    if (sortPriorityOn) {
        prefixed.reserve(size_t(records.size()));
        for (const TVurnaDataRec& r : std::as_const(records))
            prefixed.push_back(OrderingKey(r, true));
    }
    // The keys side by side with their records' places: a board of thousands sorts in a few
    // milliseconds when the comparisons do not chase each record.
    std::vector<std::pair<QByteArrayView, int>> order;
    order.reserve(size_t(records.size()));
    for (int i = 0; i < records.size(); ++i)
        order.emplace_back(
            sortPriorityOn ? QByteArrayView(prefixed[size_t(i)]) : QByteArrayView(records.at(i).Furigana), i);
    // Byte by byte as unsigned values, a proper prefix first, as SjisText::compareBytes orders.
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        const size_t common = size_t(std::min(a.first.size(), b.first.size()));
        const int c = common > 0 ? std::memcmp(a.first.data(), b.first.data(), common) : 0;
        return c != 0 ? c < 0 : a.first.size() < b.first.size();
    });
    TVurnaDataArray board;
    board.reserve(records.size() + 1);
    board.append(placeholder);
    for (const auto& [key, i] : order)
        board.append(std::move(records[i]));
    return board;
}

// Every full load and periodic reload: reads the board away from the calling thread, which
// keeps handling its events, then replaces `members` in one step, so whatever looks at the
// board meanwhile sees the whole previous board.
int loadBoard(const QByteArray& directory, TVurnaDataArray& members, bool sortPriorityOn, LoadedFiles* loaded,
              bool changedOnly)
{
    if (members.isEmpty())
        members.append(TVurnaDataRec{});
    // A board that has no shared directory yet is empty; it never means the working folder.
    if (SjisText::trim(directory).isEmpty()) {
        members.resize(1);
        if (loaded)
            *loaded = LoadedFiles{};
        return AllMembersLoaded;
    }
    // The reading thread works on its own copies: the events that run meanwhile may replace the
    // caller's.
    LoadedFiles previous;
    if (loaded && loaded->directory == directory)
        previous = *loaded;
    const LoadedFiles* reuse = changedOnly ? &previous : nullptr;
    BoardFiles read;
    ParallelWork::RunWhileEventsFlow([&read, &directory, &previous, reuse, loaded] {
        read = ReadBoardFiles(directory, reuse, previous.realDirectory, loaded != nullptr);
    });
    if (!read.open)
        throw EFileIOError(SjisText::upperCase(directory));
    if (!read.unnamed.isEmpty())
        qCWarning(lcBoard).noquote() << "full load of" << Cp932::toUnicode(directory) << "skipped"
                                     << read.unnamed.size()
                                     << "status file(s) whose names have no CP932 form:" << read.unnamed.join(u", ");

    TVurnaDataArray previousBoard = std::exchange(members, inBoardOrder(members.at(0), read.records, sortPriorityOn));
    // The board it replaces is given back on a worker: for a board of thousands, freeing it is
    // milliseconds that the caller (the window) need not wait.
    QThreadPool::globalInstance()->start([old = std::move(previousBoard)]() mutable { old = {}; });
    if (loaded)
        *loaded = std::move(read.loaded);
    qCDebug(lcBoard) << (changedOnly ? "changed files reloaded" : "full load") << directory << "members"
                     << members.size() - 1 << "files read" << read.filesRead;
    return AllMembersLoaded;
}

int indexOfPath(const TVurnaDataArray& members, const QByteArray& upperPath)
{
    for (int i = 1; i < members.size(); ++i) {
        if (members.at(i).FileName == upperPath)
            return i;
    }
    return -1;
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

MemberFiles ReadMemberFiles(const QByteArray& path)
{
    // This runs for every reload of one member, so it costs one read of the member's file and
    // one look for its stop marker: on a file server each request is a round trip.
    const QByteArray upperPath = SjisText::upperCase(path);
    MemberFiles files;
    bool present = false;
    const QString real = SharePath::resolve(upperPath + StatusExtension, &present);
    if (!present)
        return files; // deleted: the next full load drops the member
    RetryPolicy policy;
    policy.maxBytes = MaxStatusFileBytes;
    if (!ReadFileWithTime(real, policy, files.text, files.lastWrite))
        return files; // gone between the look-up and the read
    files.present = true;
    SharePath::resolve(upperPath + StopExtension, &files.stopped);
    return files;
}

int PlaceMemberFiles(TVurnaDataArray& members, const QByteArray& path, const MemberFiles& files, bool sortPriorityOn)
{
    const QByteArray upperPath = SjisText::upperCase(path);
    const int index = indexOfPath(members, upperPath);
    if (index < 0 || !files.present)
        return index;
    FillMemberRecord(members[index], upperPath, files.text, files.lastWrite, files.stopped);
    PlaceMember(members, index, sortPriorityOn);
    qCDebug(lcBoard) << "reloaded" << upperPath << "index" << index;
    return index;
}

int LoadUserFiles(const QByteArray& directory, TVurnaDataArray& members, const QByteArray& fileName,
                  bool sortPriorityOn)
{
    if (fileName == AllMembers)
        return loadBoard(directory, members, sortPriorityOn, nullptr, false);
    if (members.isEmpty())
        members.append(TVurnaDataRec{});
    // A member that is not on the board is not read at all.
    if (indexOfPath(members, SjisText::upperCase(fileName)) < 0)
        return -1;
    return PlaceMemberFiles(members, fileName, ReadMemberFiles(fileName), sortPriorityOn);
}

int LoadAllMembers(const QByteArray& directory, TVurnaDataArray& members, bool sortPriorityOn, LoadedFiles& loaded)
{
    return loadBoard(directory, members, sortPriorityOn, &loaded, false);
}

int ReloadChangedMembers(const QByteArray& directory, TVurnaDataArray& members, bool sortPriorityOn,
                         LoadedFiles& loaded)
{
    return loadBoard(directory, members, sortPriorityOn, &loaded, true);
}
