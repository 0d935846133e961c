#pragma once

#include "store/TInterval.h"
#include "store/TVurnaDataRec.h"

#include <QObject>
#include <QTimer>

#include <functional>

// The members of the board on show and how they stay current: full loads, single-member
// reloads, the change stamp, and the minute tick that also drives the memo check and the
// window's per-minute work. The grid owns one and draws from it.
//
// The file helpers let events run while they wait between attempts. Anything that would
// touch the member array while a load is walking it (a tick, a datagram, a user action) is
// held back and run once the load is done.
class TVurnaBoardModel final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TVurnaBoardModel)

public:
    explicit TVurnaBoardModel(QObject* parent = nullptr);

    QByteArray DataSource() const { return m_dataSource; }
    qint32 TimeStamp() const { return m_timeStamp; }
    QByteArray LastCommitFile() const { return m_lastCommitFile; }
    TInterval Interval() const { return m_interval; }
    void SetInterval(const TInterval& interval) { m_interval = interval; }
    TInterval MinCounter() const { return m_minCounter; }
    // A datagram brought a change: the change stamp need not be polled for another period.
    void RestartChangeStampCount() { m_minCounter.ReloadLastCommit = 0; }
    // A memo was announced for the own member: the periodic memo check counts again from 0.
    void RestartMemoCheckCount() { m_minCounter.CheckMsg = 0; }
    bool SortPriorityOn() const { return m_sortPriorityOn; }
    void SetSortPriorityOn(bool on) { m_sortPriorityOn = on; }

    // The minute timer; created disabled.
    void SetTimerEnabled(bool enabled);
    bool TimerEnabled() const { return m_timer.isActive(); }

    // Loads into the model's own array (AllMembers, or one member's path), then restarts the
    // change-stamp and full-reload counts and asks the grid to redraw. Throws EFileIOError.
    void Reload(const QByteArray& fileName);
    // Stores the directory (ending in a separator) and reads its change stamp; does not load.
    void SetDataSource(const QByteArray& path);

    // Replaces the member with the record's FileName and redraws it; false when none matches.
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
    // `fileName` and names it; Read picks up another copy's commit.
    void CommitTimeStamp(const QByteArray& fileName);
    bool ReadTimeStamp();

    bool IsLoading() const { return m_loading > 0; }
    // Runs `action` now, or after the load in progress. While a load runs, readers see the
    // whole previous board; changes (UpdateMember, SetMember, Reload, ticks) wait for the end.
    void WhenIdle(std::function<void()> action);

public slots:
    // One minute has passed: memo check, full reload, change-stamp check, per-minute work.
    void MinuteTick();

signals:
    void OnChangeDB();
    void OnCheckMsg();
    void OnIntervalTimer();
    // The grid redraws the cells of one member, or rebuilds all cells.
    void InvalidateMember(const QByteArray& fileName, bool redraw);
    void Arrange();
    // After a full reload: selection emptied, kana-row highlighting off.
    void ResetLook();
    // A load started by the tick failed; the text is for a message box.
    void LoadFailed(const QString& message);
    void BusyChanged(bool busy);

private:
    class LoadGuard;
    void runDeferred();
    void tickNow();

    QByteArray m_dataSource;
    TVurnaDataArray m_members;
    qint32 m_timeStamp = 0;
    QByteArray m_lastCommitFile;
    TInterval m_interval;
    TInterval m_minCounter;
    bool m_sortPriorityOn = false;
    QTimer m_timer;
    int m_loading = 0;
    int m_ticksPending = 0;
    QList<std::function<void()>> m_deferred;
};
