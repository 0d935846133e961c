#pragma once

#include "board/ChangeStamp.h"
#include "board/UserLoader.h"
#include "store/TVurnaDataRec.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>

class ShareQueue;

// The members of the board on show and how they stay current: full loads, single-member
// reloads and the change stamp. The window's state owns one and hands it to the grid, which
// draws it, and to the minute scheduler, which keeps it current. Its signals say what
// happened; what to do about it is for whoever listens.
//
// The file helpers let events run while they wait between attempts. Anything that would
// touch the member array while a load is walking it (a tick, a datagram, a user action) is
// held back and run once the load is done.
//
// Given the share's queue, single-member reloads and the change-stamp check read on the
// queue's thread and are applied when their result comes back, so a file server that stops
// answering never holds up the window. A member read that comes back after this copy changed
// that member (a datagram, its own write) or the whole board (a load, another share) is
// dropped: it may have been read before that change reached the file, and what the board shows
// is at least as new. The next reload of that member or of the board brings the file's state.
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

    // The queue that runs the share's file work; none (the default) reads on the calling thread.
    void SetShareQueue(ShareQueue* queue);

    // Loads into the model's own array (AllMembers, or one member's path). Throws EFileIOError.
    // With a queue, one member is read there and its signals come once it is applied.
    void Reload(const QByteArray& fileName);
    // Where this copy's own changes stand, for TakeMemberFiles: taken when a member's read is
    // asked for.
    quint64 ChangeMark() const { return m_changes; }
    // A member's files read elsewhere (the detail window reads them anyway): placed as the
    // board's own read asked for at `mark` would be, so that the member is not read twice.
    void TakeMemberFiles(const QByteArray& fileName, quint64 mark, const MemberFiles& files);
    // The minute's periodic reload: the board Reload(AllMembers) would give, reading again only
    // the member files that changed since the last load. Throws EFileIOError.
    void ReloadChanged();
    // Stores the directory (ending in a separator) and reads its change stamp; does not load.
    void SetDataSource(const QByteArray& path);
    // When the change stamp names a commit this copy has not seen, reloads the member it
    // names. False when there was nothing new. Throws EFileIOError. With a queue it returns
    // false at once and does its work when the stamp has been read.
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

    // The change stamp of the board. Commit increments the counter of the stamp beside
    // `fileName` and names it (false when it could not be written); Read picks up another
    // copy's commit.
    bool CommitTimeStamp(const QByteArray& fileName);
    // True when the stamp names a commit this copy has not seen. With a queue it returns false
    // at once and takes the stamp in when it has been read.
    bool ReadTimeStamp();
    // A commit made off the window's thread (ChangeStamp::Commit): this copy must not reload
    // its own change.
    void NoteCommit(qint32 counter, const QByteArray& fileName);

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
    // What a member read afresh tells the listeners once applied.
    enum class MemberRead { Reload, ChangeStamp };

    void reload(const QByteArray& fileName, bool changedOnly);
    void runDeferred();
    // Applies a change stamp read for `source`, while `known` was the counter seen; true when
    // it names a commit not seen yet.
    bool takeStamp(const QByteArray& source, qint32 known, const ChangeStamp::Content& stamp);
    void readStampLater(bool reloadNamed);
    void readMemberLater(const QByteArray& fileName, MemberRead kind);
    void placeMemberRead(const QByteArray& fileName, quint64 askedAt, const MemberFiles& files, MemberRead kind);
    void announceMemberRead(const QByteArray& fileName, MemberRead kind);
    // A change of one member, or of the whole board, made on this copy.
    void noteMemberChange(const QByteArray& fileName);
    void noteBoardChange();

    QByteArray m_dataSource;
    TVurnaDataArray m_members;
    // What the last full load read, for the next periodic reload.
    LoadedFiles m_loadedFiles;
    qint32 m_timeStamp = 0;
    QByteArray m_lastCommitFile;
    bool m_sortPriorityOn = false;
    int m_loading = 0;
    QList<std::function<void()>> m_deferred;
    QPointer<ShareQueue> m_queue;
    // Counts the changes made on this copy: a read asked for at count n is stale once the
    // member it reads, or the whole board, changed at a later count.
    quint64 m_changes = 0;
    quint64 m_boardChangedAt = 0;
    QHash<QByteArray, quint64> m_memberChangedAt; // by FileName, since the board changed
};
