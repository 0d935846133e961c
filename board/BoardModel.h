#pragma once

#include "store/TVurnaDataRec.h"

#include <QObject>

#include <functional>

// The members of the board on show and how they stay current: full loads, single-member
// reloads and the change stamp. The window's state owns one and hands it to the grid, which
// draws it, and to the minute scheduler, which keeps it current. Its signals say what
// happened; what to do about it is for whoever listens.
//
// The file helpers let events run while they wait between attempts. Anything that would
// touch the member array while a load is walking it (a tick, a datagram, a user action) is
// held back and run once the load is done.
class BoardModel final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BoardModel)

public:
    explicit BoardModel(QObject* parent = nullptr);

    QByteArray DataSource() const { return m_dataSource; }
    qint32 TimeStamp() const { return m_timeStamp; }
    QByteArray LastCommitFile() const { return m_lastCommitFile; }
    bool SortPriorityOn() const { return m_sortPriorityOn; }
    void SetSortPriorityOn(bool on) { m_sortPriorityOn = on; }

    // Loads into the model's own array (AllMembers, or one member's path). Throws EFileIOError.
    void Reload(const QByteArray& fileName);
    // Stores the directory (ending in a separator) and reads its change stamp; does not load.
    void SetDataSource(const QByteArray& path);
    // When the change stamp names a commit this copy has not seen, reloads the member it
    // names. False when there was nothing new. Throws EFileIOError.
    bool ReloadLastCommit();

    // Replaces the member with the record's FileName; false when none matches.
    bool UpdateMember(const TVurnaDataRec& record);
    int IndexOfMember(const QByteArray& name) const;
    int FindMember(const QByteArray& name, TVurnaDataRec& record) const;
    // The member at `index`; an empty record for an index off the board.
    TVurnaDataRec GetMember(int index) const;
    void SetMember(int index, const TVurnaDataRec& record);
    int MemberHigh() const { return int(m_members.size()) - 1; }
    const TVurnaDataArray& Members() const { return m_members; }
    void CopyMembers(TVurnaDataArray& array) const { array = m_members; }
    // Distinct trimmed groups of the members, sorted, ignoring letter case.
    void GetGroupList(QList<QByteArray>& list) const;

    // Reads one member's file afresh into `record`; always true.
    bool LoadUserRecord(TVurnaDataRec& record) const;

    // The change stamp of the board. Commit increments the counter of the stamp beside
    // `fileName` and names it (false when it could not be written); Read picks up another
    // copy's commit.
    bool CommitTimeStamp(const QByteArray& fileName);
    bool ReadTimeStamp();

    bool IsLoading() const { return m_loading > 0; }
    // Runs `action` now, or after the load in progress. While a load runs, readers see the
    // whole previous board; changes (UpdateMember, SetMember, Reload, ticks) wait for the end.
    void WhenIdle(std::function<void()> action);

signals:
    // A full load replaced every member.
    void MembersReset();
    // One member's record was replaced or read afresh; it keeps its place on screen.
    void MemberChanged(const QByteArray& fileName);
    // A member named by the change stamp was read afresh and may stand elsewhere now.
    void OrderChanged();
    // After any Reload and after UpdateMember changed a member.
    void OnChangeDB();
    // The board was read afresh from its share (a new data source, or a Reload): the periodic
    // reloads count from now.
    void Refreshed();
    // A load began (true) or ended (false).
    void BusyChanged(bool busy);

private:
    class LoadGuard;
    void runDeferred();

    QByteArray m_dataSource;
    TVurnaDataArray m_members;
    qint32 m_timeStamp = 0;
    QByteArray m_lastCommitFile;
    bool m_sortPriorityOn = false;
    int m_loading = 0;
    QList<std::function<void()>> m_deferred;
};
