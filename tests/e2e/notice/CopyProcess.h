#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

// One real Vurna3 on another simulated PC: its own settings profile, session folder and
// address, its diagnostics collected line by line. A program whose name ends in ".exe" is the
// Windows build: it runs under Wine (VURNA_WINE_RUN names the launcher, whose prefix is that
// PC), with its settings in the prefix's registry and the share on Wine's drive Z:.
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
    // Asks the copy to end as a session would (SIGTERM; on Windows the close message) and waits
    // for the end; the exit code.
    int stop();
    bool isWindows() const { return m_program.endsWith(QLatin1String(".exe")); }
    // A Linux path as the Windows copy names it.
    static QString windowsPath(const QString& path);
    QString log();

private:
    void collect();
    void writeRegistry();

    QString m_program;
    QVariantMap m_settings;
    QTemporaryDir m_profile;
    QByteArray m_address;
    QProcess m_process;
    QStringList m_lines;
    QByteArray m_partial;
};
