#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the ways a desktop session ends a program into one request to end normally: the
// session manager's commit-data request at log-off or shutdown, and the signals SIGTERM,
// SIGINT and SIGHUP. A signal handler may do almost nothing, so it only writes the signal
// number into a pipe; the notifier reads it on the GUI thread, where the program's normal
// shutdown can run.
class SessionEnd final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SessionEnd)

public:
    explicit SessionEnd(QObject* parent = nullptr);
    ~SessionEnd() override;

    // Whether the signal handlers are in place (only one watcher per process can hold them).
    bool IsWatchingSignals() const { return m_notifier != nullptr; }

signals:
    // The session or a signal asks the program to end; `reason` names which.
    void EndRequested(const QString& reason);
    // SIGUSR1: the minute's work now (memo check, reloads, change stamp) instead of at the
    // next minute; for administrators and tests that cannot wait.
    void TickRequested();
    // SIGUSR2: the board as shown, written to the diagnostics; lets an administrator or a
    // test compare a running copy with the shared directory.
    void DumpRequested();

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};
