#include "SoakCopy.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QThread>

#include <csignal>

void RunEventsFor(int ms)
{
    QDeadlineTimer deadline(ms);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    } while (!deadline.hasExpired());
}

namespace {

// Polls `done` with events running; false after `timeoutMs`.
template <typename Done> bool waitFor(Done done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        RunEventsFor(20);
    }
    return true;
}

} // namespace

SoakCopy::SoakCopy(const QString& program, const QString& root, const QString& shareReal, const QString& key,
                   const QString& name, const QByteArray& address)
    : m_program(program), m_key(key), m_root(root + QLatin1Char('/') + key), m_address(address)
{
    QDir().mkpath(m_root + QStringLiteral("/config/Quaxosoft"));
    QDir().mkpath(m_root + QStringLiteral("/runtime"));
    QFile::setPermissions(m_root + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QSettings settings(m_root + QStringLiteral("/config/Quaxosoft/Vurna.conf"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("ShareDir"), shareReal);
    settings.setValue(QStringLiteral("FileName"), shareReal + key);
    settings.setValue(QStringLiteral("Name"), name);
    settings.setValue(QStringLiteral("AutoSmall"), 1);
    m_logPath = m_root + QStringLiteral("/vurna3.log");
    m_messageLog = m_root + QStringLiteral("/message-boxes.log");
    QObject::connect(&m_process, &QProcess::finished,
                     [this](int code, QProcess::ExitStatus status) { finished(code, status); });
}

SoakCopy::~SoakCopy()
{
    if (isRunning()) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void SoakCopy::start()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("vurna.*.info=true"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("VURNA_ADDRESS"), QString::fromLatin1(m_address));
    // A box nobody can click would hang the copy: it is answered and recorded instead.
    env.insert(QStringLiteral("VURNA_MESSAGE_LOG"), m_messageLog);
    m_process.setProcessEnvironment(env);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(m_logPath, QIODevice::Append);
    m_startOffset = logSize();
    m_expectedEnd = 0;
    ++m_starts;
    m_process.start(m_program, {});
    if (!m_process.waitForStarted(10000))
        m_failures.append(m_key + QStringLiteral(": did not start: ") + m_process.errorString());
}

qint64 SoakCopy::logSize() const
{
    return QFileInfo(m_logPath).size();
}

QString SoakCopy::logSince(qint64 offset) const
{
    QFile file(m_logPath);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    QByteArray text = file.readAll();
    // A line still being written is not read yet.
    text.truncate(text.lastIndexOf('\n') + 1);
    return QString::fromUtf8(text);
}

bool SoakCopy::waitStarted(int timeoutMs)
{
    return waitFor([this] { return logSince(m_startOffset).contains(QStringLiteral("start-up finished")); }, timeoutMs);
}

void SoakCopy::signal(int number)
{
    if (isRunning())
        ::kill(pid_t(m_process.processId()), number);
}

void SoakCopy::end(int number)
{
    m_expectedEnd = number;
    signal(number);
}

bool SoakCopy::waitEnded(int timeoutMs)
{
    return waitFor([this] { return !isRunning(); }, timeoutMs);
}

void SoakCopy::finished(int exitCode, QProcess::ExitStatus status)
{
    const bool killedAsAsked = m_expectedEnd == SIGKILL && status == QProcess::CrashExit;
    const bool endedAsAsked = m_expectedEnd == SIGTERM && status == QProcess::NormalExit && exitCode == 0;
    if (killedAsAsked || endedAsAsked)
        return;
    m_failures.append(
        QStringLiteral("%1: ended %2 with %3 (asked: signal %4); log %5")
            .arg(m_key, status == QProcess::CrashExit ? QStringLiteral("by a signal") : QStringLiteral("by itself"))
            .arg(exitCode)
            .arg(m_expectedEnd)
            .arg(m_logPath));
}

bool SoakCopy::dump(int timeoutMs, QStringList& members)
{
    const qint64 offset = logSize();
    signal(SIGUSR2);
    QString text;
    const auto ended = [&] {
        text = logSince(offset);
        return text.contains(QStringLiteral("board dump end"));
    };
    if (!waitFor(ended, timeoutMs))
        return false;
    members.clear();
    const QString marker = QStringLiteral("board dump member ");
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const qsizetype at = line.indexOf(marker);
        if (at >= 0)
            members.append(line.mid(at));
        if (line.contains(QStringLiteral("board dump end")))
            break;
    }
    return true;
}
