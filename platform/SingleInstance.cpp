#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QLoggingCategory>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "vurna.board", QtWarningMsg)

namespace {

constexpr char LockName[] = "VurnaMutex.lock";
constexpr char WakeupName[] = "VurnaWakeup";
constexpr char WakeupWord[] = "VurnaWakeup\n";

} // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), m_folder(folder.isEmpty() ? SessionFolder() : std::move(folder))
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

SingleInstance::~SingleInstance()
{
    m_server.close();
    if (m_lock)
        m_lock->unlock();
}

QString SingleInstance::SessionFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir::cleanPath(runtime);
    // Without a session folder the temp folder is shared by every user: a folder of our own,
    // named by the user id, keeps one user's copy from blocking another's.
    const QString own = QDir::tempPath() + QStringLiteral("/vurna-") + QString::number(::getuid());
    QDir().mkpath(own);
    QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return own;
}

QString SingleInstance::LockPath() const
{
    return m_folder + QLatin1Char('/') + QLatin1String(LockName);
}

QString SingleInstance::WakeupPath() const
{
    return m_folder + QLatin1Char('/') + QLatin1String(WakeupName);
}

bool SingleInstance::TryAcquire()
{
    if (m_owner)
        return true;
    m_lock = std::make_unique<QLockFile>(LockPath());
    // Only a dead owner makes a lock stale, never its age: a copy runs for weeks.
    m_lock->setStaleLockTime(0);
    m_owner = m_lock->tryLock(0);
    if (!m_owner) {
        qint64 pid = 0;
        QString host, app;
        m_lock->getLockInfo(&pid, &host, &app);
        qCInfo(lcInstance) << "already running as process" << pid << "error" << m_lock->error();
    }
    return m_owner;
}

bool SingleInstance::Listen()
{
    if (!m_owner)
        return false;
    // A socket file left by a copy that died would refuse the new server; the lock says that
    // nobody else uses it now.
    QLocalServer::removeServer(WakeupPath());
    if (!m_server.listen(WakeupPath())) {
        qCWarning(lcInstance) << "wake-up channel not opened" << m_server.errorString();
        return false;
    }
    return true;
}

bool SingleInstance::WakeRunning(int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(WakeupPath());
    if (!socket.waitForConnected(timeoutMs)) {
        qCInfo(lcInstance) << "running copy not reached" << socket.errorString();
        return false;
    }
    socket.write(WakeupWord);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return sent;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        // Only the wake-up word counts; anything else on the channel is dropped.
        const auto readWords = [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine(64) == WakeupWord) {
                    qCInfo(lcInstance) << "woken by a second start";
                    emit WakeupRequested();
                }
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, readWords);
        connect(socket, &QLocalSocket::disconnected, this, [socket, readWords] {
            readWords();
            socket->deleteLater();
        });
        readWords();
    }
}
