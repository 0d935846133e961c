#pragma once

#include <QObject>
#include <QString>

#include <memory>

// Turns the ways a desktop session ends a program into one request to end normally.
// - Linux: the session manager's commit-data request at log-off or shutdown, and the signals
//   SIGTERM, SIGINT and SIGHUP; SIGUSR1 and SIGUSR2 ask for the minute's work and a board dump.
// - Windows: log-off and shut-down (WM_QUERYENDSESSION, WM_ENDSESSION) and WM_CLOSE to a hidden
//   window of the program, which is what `taskkill` without /F sends. No signals there.
class SessionEnd final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SessionEnd)

public:
    explicit SessionEnd(QObject* parent = nullptr);
    ~SessionEnd() override;

    // Whether this object receives the requests above: false for a second watcher on Linux (the
    // signal handlers are the process's), or where the window could not be made on Windows.
    bool IsWatching() const;

signals:
    // The session, a signal or a close asks the program to end; `reason` names which. At
    // log-off the receiver must finish its shutdown before it returns or quits the event loop.
    void EndRequested(const QString& reason);
    // SIGUSR1: the minute's work now (memo check, reloads, change stamp) instead of at the
    // next minute; for administrators and tests that cannot wait.
    void TickRequested();
    // SIGUSR2: the board as shown, written to the diagnostics; lets an administrator or a
    // test compare a running copy with the shared directory.
    void DumpRequested();

private:
    class Watch;
    std::unique_ptr<Watch> m_watch;
};
