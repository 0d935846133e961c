#pragma once

#include <QObject>
#include <QString>

#include <memory>

// One running copy per user session, and a way for a second start to wake it.
//
// Linux: the lock "VurnaMutex.lock" and the wake-up channel "VurnaWakeup" (a local socket) live
// in the session's runtime folder ($XDG_RUNTIME_DIR, else the temp folder plus the user id). The
// lock holds the owner's process id and a lock on the open file; a copy that died leaves a lock
// that the next start recognises as stale and takes over, and a socket file that the new owner
// replaces.
//
// Windows: the named mutex "VurnaMutex" of the logon session; a copy that died leaves it
// abandoned, which counts as free. A second start posts the registered window message
// "VurnaWakeup" to every top-level window; the owner hears it through a hidden window of its own.
class SingleInstance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)

public:
    // Copies given the same `session` see each other; empty is the user session's own. On Linux
    // it is the folder the lock and the channel live in (created private when it is the default);
    // on Windows it is added to the names of the mutex and the message, so tests and benchmarks
    // keep clear of a copy the user runs.
    explicit SingleInstance(QString session = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock without waiting; false while another live copy holds it. The lock is kept
    // until this object goes away (the end of the process), on the thread that took it.
    bool TryAcquire();
    bool IsOwner() const;

    // Opens the wake-up channel; only the owner of the lock listens. WakeupRequested is emitted
    // on this object's thread for every second start.
    bool Listen();

    // Tells the running copy that the user started the program again; false when it could not
    // be reached within `timeoutMs` (on Windows: when the message could not be posted at all).
    bool WakeRunning(int timeoutMs = 3000) const;

    enum class RunningCopy {
        Gone,         // no copy holds the lock (any more), or the one that did has died
        StillRunning, // a copy still held it when the time was up
        Unusable,     // the lock could be neither made nor opened
    };
    // For the updater: waits up to `timeoutMs` for the copy running in `session` to let go of
    // the lock. The lock is taken for a moment to be sure and released again at once, so the
    // program started next can take it.
    static RunningCopy WaitForRunningCopyToEnd(int timeoutMs, const QString& session = {});

signals:
    void WakeupRequested();

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};
