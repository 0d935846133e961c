#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

// One running copy per user session: the lock "VurnaMutex" and the wake-up channel
// "VurnaWakeup" live in the session's runtime folder ($XDG_RUNTIME_DIR, else the temp folder
// plus the user id), so copies with their own runtime folder run side by side. The lock
// holds the owner's process id and a lock on the open file; a copy that died leaves a lock
// that the next start recognises as stale and takes over, and a socket file that the new
// owner replaces.
class SingleInstance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)

public:
    // `folder` empty: the session's runtime folder (created private when missing).
    explicit SingleInstance(QString folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The folder the lock and the channel live in for this session.
    static QString SessionFolder();

    QString LockPath() const;
    QString WakeupPath() const;

    // Takes the lock without waiting; false while another live copy holds it. The lock is
    // kept until this object goes away (the end of the process).
    bool TryAcquire();
    bool IsOwner() const { return m_owner; }

    // Opens the wake-up channel; only the owner of the lock listens. WakeupRequested is
    // emitted for every second start.
    bool Listen();

    // Tells the running copy that the user started the program again; false when it could
    // not be reached within `timeoutMs`.
    bool WakeRunning(int timeoutMs = 3000) const;

signals:
    void WakeupRequested();

private:
    void onNewConnection();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
    bool m_owner = false;
};
