#include "board/UserStatusWriter.h"

#include "board/BoardModel.h"
#include "board/ChangeStamp.h"
#include "board/StatusNotifier.h"
#include "board/UserFile.h"
#include "platform/FileText.h"
#include "platform/ShareFiles.h"
#include "platform/ShareQueue.h"
#include "platform/SjisText.h"

void UserStatusWriter::TakeAbsence(TVurnaDataRec& into, const TVurnaDataRec& from)
{
    into.Locate = from.Locate;
    into.Date = from.Date;
    into.Time = from.Time;
    into.StatusIndex = from.StatusIndex;
}

struct UserStatusWriter::Written
{
    QList<TVurnaDataRec> records; // as written
    QList<bool> written;
    QByteArray stampFile;
    qint32 stamp = 0;
};

UserStatusWriter::UserStatusWriter(BoardModel& board, TVurnaDataRec& own) : m_board(board), m_own(own) {}

void UserStatusWriter::SetQueue(ShareQueue* queue, QObject* receiver)
{
    m_queue = queue;
    m_receiver = receiver;
}

void UserStatusWriter::WriteUserFile(const TVurnaDataRec& record, Done done)
{
    WriteUserFiles({TVurnaDataRec{}, record}, false, std::move(done));
}

void UserStatusWriter::WriteUserFiles(const TVurnaDataArray& records, bool commitStamp, Done done, Fields fields)
{
    if (records.size() < 2)
        return;
    const QList<TVurnaDataRec> batch(records.begin() + 1, records.end());
    QList<quint64> generations;
    for (const TVurnaDataRec& record : batch)
        generations << Show(record, fields);
    auto work = [batch, commitStamp, fields] {
        Written result;
        for (TVurnaDataRec record : batch) {
            const QByteArray path = record.FileName + ".vrn";
            if (fields == Fields::AbsenceOnly) {
                const TVurnaDataRec absence = record;
                ParseUserFile(ReadFileText(path), record);
                TakeAbsence(record, absence);
            }
            const bool ok = WriteFileText(path, BuildUserFileText(record));
            result.records << record;
            result.written << ok;
            if (ok && result.stampFile.isEmpty())
                result.stampFile = record.FileName;
        }
        if (commitStamp && !result.stampFile.isEmpty())
            result.stamp = ChangeStamp::Commit(result.stampFile);
        return result;
    };
    auto finish = [this, batch, generations, done = std::move(done)](const Written& result) {
        Finish(batch, generations, result, done);
    };
    // Only the newest status of a member matters; the stamp flag and the fields are part of the
    // key, so that a write is only ever replaced by one that does as much.
    const QByteArray key = batch.size() == 1
                               ? QByteArray(commitStamp ? "status+stamp " : "status ") +
                                     (fields == Fields::AbsenceOnly ? "absence " : "whole ") + batch.at(0).FileName
                               : QByteArray();
    ShareQueue::Run<Written>(m_queue, key, work, m_receiver, finish);
}

quint64 UserStatusWriter::Show(TVurnaDataRec record, Fields fields)
{
    const int index = m_board.IndexOfMember(record.FileName);
    const bool own = record.FileName == m_own.FileName;
    const bool known = index >= 1 || own;
    const TVurnaDataRec shown = index >= 1 ? m_board.GetMember(index) : (own ? m_own : TVurnaDataRec{});
    Pending& pending = m_pending[record.FileName];
    if (pending.latest == 0) {
        pending.known = known;
        pending.stored = shown;
    }
    pending.latest = ++m_generation;
    if (fields == Fields::AbsenceOnly && known) {
        const TVurnaDataRec absence = record;
        record = shown;
        TakeAbsence(record, absence);
    }
    m_board.UpdateMember(record);
    if (record.FileName == m_own.FileName)
        m_own = record;
    return pending.latest;
}

void UserStatusWriter::ShowStored(TVurnaDataRec record)
{
    // Whether the program runs and where it is reached are this copy's, not the file's.
    if (record.FileName == m_own.FileName) {
        record.Running = m_own.Running;
        record.IP = m_own.IP;
        m_own = record;
    }
    m_board.UpdateMember(record);
}

void UserStatusWriter::Finish(const QList<TVurnaDataRec>& batch, const QList<quint64>& generations,
                              const Written& result, const Done& done)
{
    TVurnaDataArray failed{TVurnaDataRec{}};
    for (qsizetype i = 0; i < batch.size(); ++i) {
        const TVurnaDataRec& record = result.records.at(i);
        const bool ok = result.written.value(i);
        if (!ok)
            failed << record;
        else if (m_notifier)
            m_notifier->SendStatusNotice(record);
        auto pending = m_pending.find(record.FileName);
        if (pending == m_pending.end())
            continue;
        if (pending->latest != generations.at(i)) {
            // A newer write of this member is still out and decides what the board shows.
            if (ok)
                pending->stored = record;
            continue;
        }
        // Written: what the file holds now (a reload that ran meanwhile read it before this
        // write). Failed: what it held before the writes that are out.
        if (ok || pending->known)
            ShowStored(ok ? record : pending->stored);
        m_pending.erase(pending);
    }
    if (result.stamp > 0)
        m_board.NoteCommit(result.stamp, result.stampFile);
    if (done)
        done(failed);
}

void UserStatusWriter::RewriteUserFile(const TVurnaDataRec& member, std::function<bool(TVurnaDataRec&)> change,
                                       bool commitStamp, std::function<void(bool)> done)
{
    auto work = [member, change = std::move(change), commitStamp] {
        Written result;
        TVurnaDataRec record = member;
        ParseUserFile(ReadFileText(record.FileName + ".vrn"), record);
        if (!change(record))
            return result;
        const bool ok = WriteFileText(record.FileName + ".vrn", BuildUserFileText(record));
        result.records << record;
        result.written << ok;
        if (ok && commitStamp) {
            result.stampFile = record.FileName;
            result.stamp = ChangeStamp::Commit(record.FileName);
        }
        return result;
    };
    auto finish = [this, done = std::move(done)](const Written& result) {
        // Nothing to change counts as done.
        const bool written = result.written.value(0, true);
        if (!result.records.isEmpty() && written) {
            ShowStored(result.records.at(0));
            if (m_notifier)
                m_notifier->SendStatusNotice(result.records.at(0));
            if (result.stamp > 0)
                m_board.NoteCommit(result.stamp, result.stampFile);
        }
        if (done)
            done(written);
    };
    ShareQueue::Run<Written>(m_queue, {}, work, m_receiver, finish);
}

void UserStatusWriter::SetStopMarker(bool stopped, std::function<void(bool)> done)
{
    if (SjisText::trim(m_own.FileName).isEmpty()) {
        if (done)
            done(true);
        return;
    }
    m_own.Running = !stopped;
    const TVurnaDataRec own = m_own;
    struct Marked
    {
        bool marked = false;
        qint32 stamp = 0;
    };
    auto work = [fileName = own.FileName, stopped] {
        const QByteArray marker = fileName + ".off";
        Marked result;
        result.marked =
            stopped ? WriteFileText(marker, QByteArray()) : ShareFiles::remove(marker) || !ShareFiles::exists(marker);
        result.stamp = ChangeStamp::Commit(fileName);
        return result;
    };
    auto finish = [this, own, stopped, done = std::move(done)](Marked result) {
        if (result.marked && m_notifier)
            m_notifier->SendRunningNotice(own, !stopped);
        if (result.stamp > 0)
            m_board.NoteCommit(result.stamp, own.FileName);
        if (done)
            done(result.marked && result.stamp >= 0);
    };
    ShareQueue::Run<Marked>(m_queue, "marker " + own.FileName, work, m_receiver, finish);
}
