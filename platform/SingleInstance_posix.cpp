#include "platform/SingleInstance.h"

#include "platform/LogCategories.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <unistd.h>

namespace {

constexpr char LockName[] = "VurnaMutex.lock";
constexpr char WakeupName[] = "VurnaWakeup";
constexpr char WakeupWord[] = "VurnaWakeup\n";

QString sessionFolder()
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

// Only a dead owner makes a lock stale, never its age: a copy runs for weeks.
std::unique_ptr<QLockFile> makeLock(const QString& folder)
{
    auto lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + QLatin1String(LockName));
    lock->setStaleLockTime(0);
    return lock;
}

void logOwner(QLockFile& lock, const char* what)
{
    qint64 pid = 0;
    QString host, app;
    lock.getLockInfo(&pid, &host, &app);
    qCInfo(lcBoard) << what << "as process" << pid << "error" << lock.error();
}

} // namespace

class SingleInstance::Impl
{
public:
    explicit Impl(SingleInstance& owner, QString folder) : m_owner(owner), m_folder(std::move(folder)) {}

    QString WakeupPath() const { return m_folder + QLatin1Char('/') + QLatin1String(WakeupName); }
    void onNewConnection();

    SingleInstance& m_owner;
    const QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
    bool m_isOwner = false;
};

SingleInstance::SingleInstance(QString session, QObject* parent)
    : QObject(parent), m_impl(std::make_unique<Impl>(*this, session.isEmpty() ? sessionFolder() : std::move(session)))
{
}

SingleInstance::~SingleInstance()
{
    m_impl->m_server.reset();
    if (m_impl->m_lock)
        m_impl->m_lock->unlock();
}

bool SingleInstance::TryAcquire()
{
    if (m_impl->m_isOwner)
        return true;
    m_impl->m_lock = makeLock(m_impl->m_folder);
    m_impl->m_isOwner = m_impl->m_lock->tryLock(0);
    if (!m_impl->m_isOwner)
        logOwner(*m_impl->m_lock, "already running");
    return m_impl->m_isOwner;
}

bool SingleInstance::IsOwner() const
{
    return m_impl->m_isOwner;
}

bool SingleInstance::Listen()
{
    if (!m_impl->m_isOwner)
        return false;
    m_impl->m_server = std::make_unique<QLocalServer>();
    m_impl->m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_impl->m_server.get(), &QLocalServer::newConnection, this, [this] { m_impl->onNewConnection(); });
    // A socket file left by a copy that died would refuse the new server; the lock says that
    // nobody else uses it now.
    QLocalServer::removeServer(m_impl->WakeupPath());
    if (!m_impl->m_server->listen(m_impl->WakeupPath())) {
        qCWarning(lcBoard) << "wake-up channel not opened" << m_impl->m_server->errorString();
        return false;
    }
    return true;
}

bool SingleInstance::WakeRunning(int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_impl->WakeupPath());
    if (!socket.waitForConnected(timeoutMs)) {
        qCInfo(lcBoard) << "running copy not reached" << socket.errorString();
        return false;
    }
    socket.write(WakeupWord);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return sent;
}

void SingleInstance::Impl::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // Only the wake-up word counts; anything else on the channel is dropped.
        const auto readWords = [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine(64) == WakeupWord) {
                    qCInfo(lcBoard) << "woken by a second start";
                    emit m_owner.WakeupRequested();
                }
            }
        };
        QObject::connect(socket, &QLocalSocket::readyRead, &m_owner, readWords);
        QObject::connect(socket, &QLocalSocket::disconnected, &m_owner, [socket, readWords] {
            readWords();
            socket->deleteLater();
        });
        readWords();
    }
}

SingleInstance::RunningCopy SingleInstance::WaitForRunningCopyToEnd(int timeoutMs, const QString& session)
{
    // QLockFile keeps no state per process: a lock held by another object of this process is
    // refused here exactly like one of another process.
    const QString folder = session.isEmpty() ? sessionFolder() : session;
    const std::unique_ptr<QLockFile> lock = makeLock(folder);
    if (lock->tryLock(qMax(0, timeoutMs))) {
        lock->unlock();
        return RunningCopy::Gone;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        qCInfo(lcBoard) << "lock not usable in" << folder << lock->error();
        return RunningCopy::Unusable;
    }
    logOwner(*lock, "still running");
    return RunningCopy::StillRunning;
}
