#pragma once

#include "store/TVurnaDataRec.h"

#include <QHash>

#include <functional>

class BoardModel;
class QObject;
class ShareQueue;
class StatusNotifier;

// Writes members' status files and the own stop marker, keeping the board model, the own
// record and the other copies in step with each write.
//
// The board and the own record show a change at once; the file work runs on the share's queue,
// so a file server that does not answer never holds the window. A status notice goes out only
// once its file is written: other copies must never act on a change that the next reload would
// undo. A write that fails in the end is taken back from the board and the own record.
class UserStatusWriter
{
public:
    UserStatusWriter(BoardModel& board, TVurnaDataRec& own);

    void SetNotifier(StatusNotifier* notifier) { m_notifier = notifier; }
    // The file work goes to `queue`, its results come back on `receiver`'s thread. Without a
    // queue every write is done before the call returns (benchmarks, tools).
    void SetQueue(ShareQueue* queue, QObject* receiver);

    // The members whose files could not be written, as they were asked to be written.
    using Done = std::function<void(const TVurnaDataArray& failed)>;

    // What a write takes from the records handed in: all of it, or only the absence (Locate,
    // Date, Time, StatusIndex) over the file as it is when the write runs, so that a change a
    // colleague made meanwhile to the rest of the member is kept.
    enum class Fields { Whole, AbsenceOnly };

    // Saves members 1..n of `records`, each file rewritten whole. `commitStamp`: once written,
    // the change stamp names the first member written, so that copies that missed the notice
    // reload it. A write of one member replaces a write of that member still waiting.
    void WriteUserFiles(const TVurnaDataArray& records, bool commitStamp, Done done = {},
                        Fields fields = Fields::Whole);
    void WriteUserFile(const TVurnaDataRec& record, Done done = {});

    // Reads the member's file when the write runs, lets `change` alter the record (false:
    // nothing is written) and writes it back; the board follows once it is written. For a change
    // that depends on what the file holds at that moment.
    void RewriteUserFile(const TVurnaDataRec& member, std::function<bool(TVurnaDataRec&)> change, bool commitStamp,
                         std::function<void(bool written)> done = {});

    // stopped: the own program is ending (marker written, stopped notice); otherwise it runs
    // (marker deleted, started notice). Either way the change stamp then names the own member.
    // `done` is false when the share took neither: colleagues' boards will not show the change.
    void SetStopMarker(bool stopped, std::function<void(bool)> done = {});

    // The absence of a member (Locate, Date, Time, StatusIndex) copied from one record to another.
    static void TakeAbsence(TVurnaDataRec& into, const TVurnaDataRec& from);

private:
    // A member with writes still out: the newest one asked for, and the record its file held
    // before them, which the board shows again when the newest write fails.
    struct Pending
    {
        quint64 latest = 0;
        bool known = false;
        TVurnaDataRec stored;
    };
    struct Written;

    quint64 Show(TVurnaDataRec record, Fields fields);
    // What a member's file holds now, on the board and in the own record.
    void ShowStored(TVurnaDataRec record);
    void Finish(const QList<TVurnaDataRec>& batch, const QList<quint64>& generations, const Written& result,
                const Done& done);

    BoardModel& m_board;
    TVurnaDataRec& m_own;
    StatusNotifier* m_notifier = nullptr;
    ShareQueue* m_queue = nullptr;
    QObject* m_receiver = nullptr;
    QHash<QByteArray, Pending> m_pending;
    quint64 m_generation = 0;
};
