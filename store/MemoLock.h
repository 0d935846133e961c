#pragma once

#include <QByteArray>

#include <functional>

// How long and how often a memo-file writer waits for the guard of another copy.
struct MemoLockPolicy
{
    // A guard that has stood unchanged this long was left by a copy that crashed or lost
    // its connection while holding it, and is broken. Holders keep it for one read and one
    // write of a memo file (a few seconds at worst with the file retries), so this is well
    // above any live holding time.
    int staleMs = 20000;
    // Give up after waiting this long in all; the caller then reports the failure.
    int maxWaitMs = 60000;
    // Give up sooner when, for this long, the guard could neither be created nor be found: the
    // share takes no new file (its disk is full, it is mounted read-only), and no holder will
    // ever let go of a guard that is not there. A brief network fault passes within it.
    int refusedMs = 2000;
    // Upper bound of one pause between tries; pauses grow from 1 ms up to this.
    int maxPauseMs = 40;
    // Called before each pause with the number of the failed try (from 1); lets tests
    // change the share between tries.
    std::function<void(int failedTry)> beforePause;
};

// The guard of one member's memo files. Every program that adds a memo to a ".mil", takes
// memos in or rewrites or erases the memo board holds it for the whole read-modify-write,
// so that no memo is lost between a read and the following write or delete.
//
// The guard is a file beside the ".mil" (memo path + ".mil.lock", a name that no listing of
// the shared directory picks up), created with create-exclusive semantics, which also hold
// on a network share. It names the copy that holds it; a guard that stays the same for
// `staleMs` is taken away. While waiting, pending events run.
class MemoLock
{
public:
    enum class Result {
        Acquired,
        HeldByThisProcess, // a caller further up this thread's stack holds it: waiting would never end
        TimedOut,          // another copy kept it
        Refused,           // the shared directory takes no new file
    };

    // `memoPath`: the member's path without extension (the user record's FileName).
    explicit MemoLock(QByteArray memoPath, MemoLockPolicy policy = {});
    ~MemoLock();
    MemoLock(const MemoLock&) = delete;
    MemoLock& operator=(const MemoLock&) = delete;

    Result acquire();
    bool isHeld() const { return m_held; }
    void release();

    // The guard file's in-memory path for a member's path without extension.
    static QByteArray lockPath(const QByteArray& memoPath);

private:
    bool tryCreate(bool* exists);
    bool breakStale(const QByteArray& seenContent);

    QByteArray m_lockPath;
    MemoLockPolicy m_policy;
    QByteArray m_content;
    bool m_held = false;
};
