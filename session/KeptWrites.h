#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QObject;
class ShareQueue;

// The writes to the share that must outlive a file server that does not answer: the memo
// board's edits and the filter file. Each runs on the share's queue; one that has not been
// written when the program ends is kept in a local folder and written at the next start.
// Nothing the user typed is lost to a server that was away at the wrong moment.
class KeptWrites
{
public:
    enum class Kind {
        File,      // the whole file, as a plain write
        MemoBoard, // the own memo board (".old"), under the member's memo guard
        MemoErase, // the own memo board erased, unread memos included
    };
    // What became of a write: taken by the share; not written because the file changed
    // meanwhile (only when asked to check first); or refused (the share is away or full).
    enum class Outcome { Written, Changed, Refused };
    struct Write
    {
        Kind kind = Kind::File;
        // The file on the share (in-memory form); for a memo board the member's memo path.
        QByteArray path;
        QByteArray text;
        // Written at a later start only while the file still holds `basedOn` (the text the
        // edit started from) or the text itself; otherwise always.
        bool checkBase = false;
        QByteArray basedOn;
    };

    // `folder` is where the unwritten ones wait between runs.
    KeptWrites(ShareQueue& queue, QString folder);
    ~KeptWrites();

    // Runs `write` after everything posted before it; a waiting write of the same key is
    // replaced. `checkFirst`: written only while still valid (a write kept by an earlier run).
    // `done` (on `receiver`'s thread) says what became of it. Until the share has taken it, or
    // found it changed, it counts as unwritten.
    void Post(const QByteArray& key, const Write& write, bool checkFirst = false, QObject* receiver = nullptr,
              std::function<void(Outcome)> done = {});

    // At the end, once the queue had its time: what the share has not taken goes to the folder.
    // False when it could not be kept there either.
    bool KeepUnwritten();

    // At start: what an earlier run kept. The caller posts them again (Post, checking first),
    // sets aside the ones that changed (SetAside), and calls ForgetTaken once none is left
    // unwritten; until then, or until this run's end keeps what is left, they stay in the folder.
    QList<Write> TakeKept();
    void ForgetTaken();
    // A kept write that is no longer valid: its text stays in the folder as a file of its own,
    // whose path is returned, for the user to copy from.
    QString SetAside(const Write& write);

    // Runs on the queue's thread: the write itself, and whether a kept one is still valid.
    // `kept`: a write of an earlier run.
    static bool Perform(const Write& write, bool kept = false);
    static bool StillValid(const Write& write);

private:
    QList<Write> ReadKeptFile();

    struct Journal;
    ShareQueue& m_queue;
    QString m_folder;
    std::shared_ptr<Journal> m_journal;
    bool m_taken = false; // this run has taken the earlier run's writes into its journal
};
