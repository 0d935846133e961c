#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

// One real Vurna3 on another simulated PC: its own settings profile, session folder and
// address, its diagnostics collected line by line.
class CopyProcess
{
public:
    CopyProcess(const QString& program, const QString& shareDir, const QString& fileBase, const QString& name,
                const QByteArray& address);
    ~CopyProcess();

    // A local setting of the copy's profile, before it starts.
    void setSetting(const QString& key, const QVariant& value);
    void start();
    // Waits until a diagnostics line contains `text`; false after `timeoutMs`.
    bool waitLog(const QString& text, int timeoutMs = 20000);
    bool hasLogged(const QString& text);
    // Milliseconds until a line with `text` arrived, -1 after `timeoutMs`.
    qint64 timeUntilLogged(const QString& text, int timeoutMs);
    void sendSignal(int number);
    // SIGTERM and the wait for the end; the exit code.
    int stop();
    QString log();

private:
    void collect();

    QString m_program;
    QTemporaryDir m_profile;
    QByteArray m_address;
    QProcess m_process;
    QStringList m_lines;
    QByteArray m_partial;
};
