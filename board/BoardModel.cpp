#include "board/BoardModel.h"

#include "platform/Cp932.h"
#include "platform/FileText.h"
#include "platform/LogCategories.h"
#include "platform/SharePath.h"
#include "platform/ShareQueue.h"
#include "platform/SjisText.h"

#include <algorithm>

// Marks the member array as being walked by a load for as long as it lives.
class BoardModel::LoadGuard
{
public:
    explicit LoadGuard(BoardModel& model) : m_model(model)
    {
        if (m_model.m_loading++ == 0)
            emit m_model.BusyChanged(true);
    }
    ~LoadGuard()
    {
        if (--m_model.m_loading == 0)
            emit m_model.BusyChanged(false);
    }
    Q_DISABLE_COPY_MOVE(LoadGuard)

private:
    BoardModel& m_model;
};

BoardModel::BoardModel(QObject* parent) : QObject(parent)
{
    m_members.append(TVurnaDataRec{});
}

void BoardModel::WhenIdle(std::function<void()> action)
{
    if (IsLoading())
        m_deferred.append(std::move(action));
    else
        action();
}

void BoardModel::runDeferred()
{
    while (!IsLoading() && !m_deferred.isEmpty())
        m_deferred.takeFirst()();
}

void BoardModel::SetShareQueue(ShareQueue* queue)
{
    m_queue = queue;
}

void BoardModel::Reload(const QByteArray& fileName)
{
    if (fileName == AllMembers || !m_queue) {
        reload(fileName, false);
        return;
    }
    // Asked for once the load is done: a read that starts before the board is replaced would
    // only be dropped.
    WhenIdle([this, fileName] { readMemberLater(fileName, MemberRead::Reload); });
}

void BoardModel::ReloadChanged()
{
    reload(AllMembers, true);
}

void BoardModel::reload(const QByteArray& fileName, bool changedOnly)
{
    if (IsLoading()) {
        WhenIdle([this, fileName, changedOnly] { reload(fileName, changedOnly); });
        return;
    }
    try {
        LoadGuard guard(*this);
        if (fileName != AllMembers)
            LoadUserFiles(m_dataSource, m_members, fileName, m_sortPriorityOn);
        else if (changedOnly)
            ReloadChangedMembers(m_dataSource, m_members, m_sortPriorityOn, m_loadedFiles);
        else
            LoadAllMembers(m_dataSource, m_members, m_sortPriorityOn, m_loadedFiles);
    } catch (...) {
        runDeferred();
        throw;
    }
    if (fileName == AllMembers)
        noteBoardChange();
    else
        noteMemberChange(SjisText::upperCase(fileName));
    emit Refreshed();
    if (fileName == AllMembers)
        emit MembersReset();
    else
        emit MemberChanged(fileName);
    emit OnChangeDB();
    runDeferred();
}

void BoardModel::SetDataSource(const QByteArray& path)
{
    m_dataSource = SharePath::withSeparator(path);
    if (m_loadedFiles.directory != m_dataSource)
        m_loadedFiles = LoadedFiles{};
    // Whatever is still being read was read for the board shown before.
    noteBoardChange();
    ReadTimeStamp();
    emit Refreshed();
}

void BoardModel::noteMemberChange(const QByteArray& fileName)
{
    m_memberChangedAt.insert(fileName, ++m_changes);
}

void BoardModel::noteBoardChange()
{
    m_boardChangedAt = ++m_changes;
    m_memberChangedAt.clear();
}

void BoardModel::readMemberLater(const QByteArray& fileName, MemberRead kind)
{
    const QByteArray upperPath = SjisText::upperCase(fileName);
    // The whole path: IndexOfMember matches a member of another board by its name alone.
    const bool onBoard = std::any_of(m_members.cbegin() + 1, m_members.cend(),
                                     [&](const TVurnaDataRec& r) { return r.FileName == upperPath; });
    if (!onBoard || !m_queue) {
        // Nothing is read for a member that is not on the board.
        announceMemberRead(fileName, kind);
        return;
    }
    // A newer request for the same member replaces one still waiting; the two kinds are told
    // apart so that each is announced.
    const QByteArray key = (kind == MemberRead::Reload ? "board reload " : "board stamp reload ") + upperPath;
    const quint64 askedAt = m_changes;
    m_queue->Post<MemberFiles>(
        key, [upperPath] { return ReadMemberFiles(upperPath); }, this,
        [this, fileName, askedAt, kind](MemberFiles files) {
            WhenIdle([this, fileName, askedAt, kind, files] { placeMemberRead(fileName, askedAt, files, kind); });
        });
}

void BoardModel::TakeMemberFiles(const QByteArray& fileName, quint64 mark, const MemberFiles& files)
{
    WhenIdle([this, fileName, mark, files] { placeMemberRead(fileName, mark, files, MemberRead::Reload); });
}

void BoardModel::placeMemberRead(const QByteArray& fileName, quint64 askedAt, const MemberFiles& files, MemberRead kind)
{
    const QByteArray upperPath = SjisText::upperCase(fileName);
    if (m_boardChangedAt > askedAt || m_memberChangedAt.value(upperPath) > askedAt) {
        qCDebug(lcBoard) << "dropped a read of" << upperPath << "that this copy changed meanwhile";
    } else if (PlaceMemberFiles(m_members, upperPath, files, m_sortPriorityOn) >= 0 && files.present) {
        // Known as of the time it was asked for: a later read of it is newer still.
        m_memberChangedAt.insert(upperPath, askedAt);
    }
    announceMemberRead(fileName, kind);
}

void BoardModel::announceMemberRead(const QByteArray& fileName, MemberRead kind)
{
    if (kind == MemberRead::ChangeStamp) {
        qCInfo(lcBoard).noquote() << "change stamp" << m_timeStamp << "reloaded"
                                  << Cp932::toUnicode(SjisText::fileNamePart(fileName));
        emit OrderChanged();
        return;
    }
    emit Refreshed();
    emit MemberChanged(fileName);
    emit OnChangeDB();
}

bool BoardModel::UpdateMember(const TVurnaDataRec& record)
{
    if (IsLoading()) {
        // Applied once the load is done; the member may then have moved.
        WhenIdle([this, record] { UpdateMember(record); });
        return true;
    }
    for (int i = 0; i < m_members.size(); ++i) {
        if (m_members.at(i).FileName == record.FileName) {
            m_members[i] = record;
            noteMemberChange(record.FileName);
            emit MemberChanged(record.FileName);
            emit OnChangeDB();
            return true;
        }
    }
    return false;
}

int BoardModel::IndexOfMember(const QByteArray& name) const
{
    // Every datagram looks its member up here. A name whose last bytes differ cannot match,
    // and that test is cheap; only the few that end alike get the lead-byte-aware walk.
    const QByteArrayView wanted = SjisText::fileNamePartView(name);
    for (int i = 0; i < m_members.size(); ++i) {
        const QByteArray& fileName = m_members.at(i).FileName;
        if (fileName.endsWith(wanted) && SjisText::fileNamePartView(fileName) == wanted)
            return i;
    }
    return -1;
}

int BoardModel::FindMember(const QByteArray& name, TVurnaDataRec& record) const
{
    const int index = IndexOfMember(name);
    if (index >= 0)
        record = m_members.at(index);
    return index;
}

TVurnaDataRec BoardModel::GetMember(int index) const
{
    return index >= 0 && index < m_members.size() ? m_members.at(index) : TVurnaDataRec{};
}

void BoardModel::SetMember(int index, const TVurnaDataRec& record)
{
    if (IsLoading()) {
        // After the load the member may stand at another index: find it again by its file.
        WhenIdle([this, record] {
            for (TVurnaDataRec& m : m_members) {
                if (m.FileName == record.FileName) {
                    m = record;
                    noteMemberChange(record.FileName);
                    break;
                }
            }
        });
        return;
    }
    if (index >= 0 && index < m_members.size()) {
        m_members[index] = record;
        noteMemberChange(record.FileName);
    }
}

void BoardModel::GetGroupList(QList<QByteArray>& list) const
{
    list.clear();
    for (int i = 1; i < m_members.size(); ++i)
        list.append(SjisText::trim(m_members.at(i).Group));
    const auto caseless = [](const QByteArray& a, const QByteArray& b) {
        return SjisText::compareBytes(SjisText::upperCase(a), SjisText::upperCase(b));
    };
    std::stable_sort(list.begin(), list.end(),
                     [&](const QByteArray& a, const QByteArray& b) { return caseless(a, b) < 0; });
    list.erase(std::unique(list.begin(), list.end(),
                           [&](const QByteArray& a, const QByteArray& b) { return caseless(a, b) == 0; }),
               list.end());
}

bool BoardModel::CommitTimeStamp(const QByteArray& fileName)
{
    const qint32 counter = ChangeStamp::Commit(fileName);
    if (counter > 0)
        NoteCommit(counter, fileName);
    return counter >= 0;
}

void BoardModel::NoteCommit(qint32 counter, const QByteArray& fileName)
{
    m_timeStamp = counter;
    m_lastCommitFile = fileName;
}

bool BoardModel::ReadTimeStamp()
{
    if (m_queue) {
        readStampLater(false);
        return false;
    }
    return takeStamp(m_dataSource, m_timeStamp,
                     ChangeStamp::parse(ReadFileText(SharePath::join(m_dataSource, ChangeStamp::fileName))));
}

bool BoardModel::takeStamp(const QByteArray& source, qint32 known, const ChangeStamp::Content& stamp)
{
    // A stamp read for another board says nothing about this one. Read before a commit this
    // copy has noted since, it still shows the counter known when it was asked for.
    if (source != m_dataSource || stamp.counter == m_timeStamp || stamp.counter == known)
        return false;
    m_timeStamp = stamp.counter;
    m_lastCommitFile = SharePath::join(m_dataSource, stamp.name);
    return true;
}

void BoardModel::readStampLater(bool reloadNamed)
{
    const QByteArray source = m_dataSource;
    const qint32 known = m_timeStamp;
    // A poll that finds an earlier one of its kind still waiting (the server does not answer)
    // takes its place.
    const QByteArray key = (reloadNamed ? "board stamp check " : "board stamp read ") + source;
    m_queue->Post<ChangeStamp::Content>(
        key, [source] { return ChangeStamp::parse(ReadFileText(SharePath::join(source, ChangeStamp::fileName))); },
        this,
        [this, source, known, reloadNamed](ChangeStamp::Content stamp) {
            WhenIdle([this, source, known, reloadNamed, stamp] {
                if (!takeStamp(source, known, stamp) || !reloadNamed)
                    return;
                qCInfo(lcBoard).noquote() << "change stamp" << m_timeStamp << "names"
                                          << Cp932::toUnicode(SjisText::fileNamePart(m_lastCommitFile));
                readMemberLater(m_lastCommitFile, MemberRead::ChangeStamp);
            });
        });
}

bool BoardModel::ReloadLastCommit()
{
    if (m_queue) {
        readStampLater(true);
        return false;
    }
    if (!ReadTimeStamp())
        return false;
    try {
        LoadGuard guard(*this);
        LoadUserFiles(m_dataSource, m_members, m_lastCommitFile, m_sortPriorityOn);
    } catch (...) {
        runDeferred();
        throw;
    }
    noteMemberChange(SjisText::upperCase(m_lastCommitFile));
    qCInfo(lcBoard).noquote() << "change stamp" << m_timeStamp << "reloaded"
                              << Cp932::toUnicode(SjisText::fileNamePart(m_lastCommitFile));
    emit OrderChanged();
    runDeferred();
    return true;
}
