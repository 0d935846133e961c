#include "CopyProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTest>

#include <csignal>

CopyProcess::CopyProcess(const QString& program, const QString& shareDir, const QString& fileBase,
                         const QString& name, const QByteArray& address)
    : m_program(program), m_address(address)
{
    QDir(m_profile.path()).mkpath(QStringLiteral("config/Quaxosoft"));
    QDir(m_profile.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(m_profile.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QSettings settings(m_profile.path() + QStringLiteral("/config/Quaxosoft/Vurna.conf"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("ShareDir"), shareDir);
    settings.setValue(QStringLiteral("FileName"), shareDir + fileBase);
    settings.setValue(QStringLiteral("Name"), name);
    settings.setValue(QStringLiteral("AutoSmall"), 1);
    settings.sync();
    QObject::connect(&m_process, &QProcess::readyReadStandardError, [this] { collect(); });
}

CopyProcess::~CopyProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void CopyProcess::setSetting(const QString& key, const QVariant& value)
{
    QSettings settings(m_profile.path() + QStringLiteral("/config/Quaxosoft/Vurna.conf"), QSettings::IniFormat);
    settings.setValue(key, value);
}

void CopyProcess::start()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("vurna.*.info=true"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_profile.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_profile.path() + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("VURNA_ADDRESS"), QString::fromLatin1(m_address));
    m_process.setProcessEnvironment(env);
    m_lines.clear();
    m_partial.clear();
    m_process.start(m_program, {});
    m_process.waitForStarted(10000);
}

void CopyProcess::collect()
{
    m_partial += m_process.readAllStandardError();
    qsizetype end = 0;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        m_lines.append(QString::fromUtf8(m_partial.left(end)));
        m_partial.remove(0, end + 1);
    }
}

bool CopyProcess::hasLogged(const QString& text)
{
    collect();
    for (const QString& line : std::as_const(m_lines)) {
        if (line.contains(text))
            return true;
    }
    return false;
}

bool CopyProcess::waitLog(const QString& text, int timeoutMs)
{
    return timeUntilLogged(text, timeoutMs) >= 0;
}

qint64 CopyProcess::timeUntilLogged(const QString& text, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    // The event loop keeps running meanwhile: the in-process window answers datagrams too.
    if (QTest::qWaitFor([&] { return hasLogged(text); }, timeoutMs))
        return timer.elapsed();
    return -1;
}

void CopyProcess::sendSignal(int number)
{
    ::kill(pid_t(m_process.processId()), number);
}

int CopyProcess::stop()
{
    sendSignal(SIGTERM);
    if (!QTest::qWaitFor([&] { return m_process.state() == QProcess::NotRunning; }, 20000))
        return -1;
    collect();
    return m_process.exitCode();
}

QString CopyProcess::log()
{
    collect();
    return m_lines.join(QLatin1Char('\n'));
}
