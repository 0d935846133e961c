#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// One real Vurna3 on its own simulated PC (settings profile, session folder, loopback
// address). Its diagnostics go to a file that outlives the process, so a restart appends and
// a failure leaves the whole story behind.
class SoakCopy
{
public:
    SoakCopy(const QString& program, const QString& root, const QString& shareReal, const QString& key,
             const QString& name, const QByteArray& address);
    ~SoakCopy();
    SoakCopy(const SoakCopy&) = delete;
    SoakCopy& operator=(const SoakCopy&) = delete;

    QString key() const { return m_key; }
    QString logPath() const { return m_logPath; }
    QString messageLogPath() const { return m_messageLog; }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    int starts() const { return m_starts; }

    void start();
    // Whether "start-up finished" was logged since the last start; waits up to `timeoutMs`.
    bool waitStarted(int timeoutMs);
    // A signal whose end of the process is then expected (SIGKILL: killed; SIGTERM: a clean end).
    void end(int signal);
    bool waitEnded(int timeoutMs);
    void signal(int number);
    // SIGUSR2, and the member lines of the dump it answers with; false when none came in time.
    bool dump(int timeoutMs, QStringList& members);
    // Where the log stands now, and how many lines with `text` came after such a mark.
    qint64 logMark() const { return logSize(); }
    int countSince(qint64 mark, const QString& text) const { return int(logSince(mark).count(text)); }
    // Ends nobody asked for, or that did not end as asked; one line each.
    const QStringList& failures() const { return m_failures; }

private:
    qint64 logSize() const;
    QString logSince(qint64 offset) const;
    void finished(int exitCode, QProcess::ExitStatus status);

    QString m_program;
    QString m_key;
    QString m_root;
    QString m_logPath;
    QString m_messageLog;
    QByteArray m_address;
    QProcess m_process;
    qint64 m_startOffset = 0;
    int m_expectedEnd = 0;
    int m_starts = 0;
    QStringList m_failures;
};

// Lets events run (datagrams, process ends) for `ms`.
void RunEventsFor(int ms);
