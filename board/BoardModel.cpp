#include "board/BoardModel.h"

#include "board/ChangeStamp.h"
#include "board/UserLoader.h"
#include "platform/Cp932.h"
#include "platform/FileText.h"
#include "platform/LogCategories.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <algorithm>
#include <limits>

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

void BoardModel::Reload(const QByteArray& fileName)
{
    if (IsLoading()) {
        WhenIdle([this, fileName] { Reload(fileName); });
        return;
    }
    try {
        LoadGuard guard(*this);
        LoadUserFiles(m_dataSource, m_members, fileName, m_sortPriorityOn);
    } catch (...) {
        runDeferred();
        throw;
    }
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
    ReadTimeStamp();
    emit Refreshed();
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
                    break;
                }
            }
        });
        return;
    }
    if (index >= 0 && index < m_members.size())
        m_members[index] = record;
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

bool BoardModel::LoadUserRecord(TVurnaDataRec& record) const
{
    TVurnaDataArray pair{TVurnaDataRec{}, record};
    LoadUserFiles(SjisText::directoryPart(record.FileName), pair, record.FileName, false);
    record = pair.at(1);
    return true;
}

bool BoardModel::CommitTimeStamp(const QByteArray& fileName)
{
    const QByteArray name = SjisText::trim(SjisText::fileNamePart(fileName));
    if (name.isEmpty())
        return true;
    const QByteArray stampPath = SharePath::join(SjisText::directoryPart(fileName), ChangeStamp::fileName);
    const qint32 counter = ChangeStamp::parse(ReadFileText(stampPath)).counter;
    // Other copies only compare counters for equality, so wrapping round stays visible.
    const qint32 next = counter == std::numeric_limits<qint32>::max() ? 1 : counter + 1;
    if (!WriteFileText(stampPath, ChangeStamp::build(next, name)))
        return false;
    m_timeStamp = next;
    m_lastCommitFile = fileName;
    return true;
}

bool BoardModel::ReadTimeStamp()
{
    const QByteArray stampPath = SharePath::join(m_dataSource, ChangeStamp::fileName);
    const ChangeStamp::Content stamp = ChangeStamp::parse(ReadFileText(stampPath));
    if (stamp.counter == m_timeStamp)
        return false;
    m_timeStamp = stamp.counter;
    m_lastCommitFile = SharePath::join(m_dataSource, stamp.name);
    return true;
}

bool BoardModel::ReloadLastCommit()
{
    if (!ReadTimeStamp())
        return false;
    try {
        LoadGuard guard(*this);
        LoadUserFiles(m_dataSource, m_members, m_lastCommitFile, m_sortPriorityOn);
    } catch (...) {
        runDeferred();
        throw;
    }
    qCInfo(lcBoard).noquote() << "change stamp" << m_timeStamp << "reloaded"
                              << Cp932::toUnicode(SjisText::fileNamePart(m_lastCommitFile));
    emit OrderChanged();
    runDeferred();
    return true;
}
