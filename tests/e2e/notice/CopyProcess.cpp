#include "CopyProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

#include <csignal>

CopyProcess::CopyProcess(const QString& program, const QString& shareDir, const QString& fileBase, const QString& name,
                         const QByteArray& address)
    : m_program(program), m_address(address)
{
    QDir(m_profile.path()).mkpath(QStringLiteral("config/Quaxosoft"));
    QDir(m_profile.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(m_profile.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString share = isWindows() ? windowsPath(shareDir) : shareDir;
    setSetting(QStringLiteral("ShareDir"), share);
    setSetting(QStringLiteral("FileName"), share + fileBase);
    setSetting(QStringLiteral("Name"), name);
    setSetting(QStringLiteral("AutoSmall"), 1);
    QObject::connect(&m_process, &QProcess::readyReadStandardError, [this] { collect(); });
}

CopyProcess::~CopyProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString CopyProcess::windowsPath(const QString& path)
{
    return QStringLiteral("Z:") + QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

void CopyProcess::setSetting(const QString& key, const QVariant& value)
{
    m_settings.insert(key, value);
    QSettings settings(m_profile.path() + QStringLiteral("/config/Quaxosoft/Vurna.conf"), QSettings::IniFormat);
    settings.setValue(key, value);
}

// The settings as the registry key the Windows program reads, replaced whole: integers as
// REG_DWORD, the rest as strings, the way the program itself stores them.
void CopyProcess::writeRegistry()
{
    QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[-HKEY_CURRENT_USER\\Software\\Quaxosoft\\Vurna]\r\n\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\Quaxosoft\\Vurna]\r\n");
    for (auto it = m_settings.cbegin(); it != m_settings.cend(); ++it) {
        if (it.value().typeId() == QMetaType::Int) {
            text +=
                QStringLiteral("\"%1\"=dword:%2\r\n").arg(it.key()).arg(it.value().toInt(), 8, 16, QLatin1Char('0'));
        } else {
            QString value = it.value().toString();
            value.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
            text += QStringLiteral("\"%1\"=\"%2\"\r\n").arg(it.key(), value);
        }
    }
    const QString regFile = m_profile.path() + QStringLiteral("/vurna.reg");
    QFile file(regFile);
    if (file.open(QIODevice::WriteOnly)) {
        file.write("\xFF\xFE");
        file.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    }
    file.close();
    QProcess::execute(qEnvironmentVariable("VURNA_WINE_RUN"),
                      {QStringLiteral("regedit"), QStringLiteral("/S"), windowsPath(regFile)});
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
    if (isWindows()) {
        // Wine passes no QT_ variable on: the platform goes on the command line, the logging
        // rules through the program's own variable.
        writeRegistry();
        env.insert(QStringLiteral("VURNA_DIAGNOSTICS"), QStringLiteral("vurna.*.info=true"));
        m_process.setProcessEnvironment(env);
        m_process.start(qEnvironmentVariable("VURNA_WINE_RUN"),
                        {m_program, QStringLiteral("-platform"), QStringLiteral("offscreen")});
    } else {
        m_process.start(m_program, {});
    }
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
    if (isWindows()) {
        // Without /F taskkill closes the program's windows, which ends it the normal way.
        QProcess::execute(qEnvironmentVariable("VURNA_WINE_RUN"),
                          {QStringLiteral("taskkill"), QStringLiteral("/IM"), QFileInfo(m_program).fileName()});
    } else {
        sendSignal(SIGTERM);
    }
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
