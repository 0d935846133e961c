#pragma once

#include <QMap>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A folder served through the slowshare FUSE file system, for tests and benchmarks that need a
// share that is slow (every operation waits `delayMs`, as a round trip to a file server does)
// or that ignores letter case in every lookup as a Windows or Samba server does.
//
//     SlowShareMount mount(backing.path(), 10, false);
//     if (!mount.skipReason().isEmpty())
//         GTEST_SKIP() << mount.skipReason().toStdString();
//     ... work on mount.mountPath() ...
//     const auto counts = mount.operationCounts(); // counts["total"], counts["getattr"], ...
//
// The mount point lies in a temporary folder of its own; the destructor unmounts and waits for
// the file system process to end. slowshare also ends when the thread that made the mount ends
// (so a crashed test leaves no mount behind): make it on a thread that outlives it.
class SlowShareMount
{
public:
    SlowShareMount(const QString& backingDir, int delayMs, bool ignoreCase);
    ~SlowShareMount();
    SlowShareMount(const SlowShareMount&) = delete;
    SlowShareMount& operator=(const SlowShareMount&) = delete;

    // Empty when the share is mounted; otherwise why it is not (no /dev/fuse, no fusermount3,
    // slowshare not built, or the mount failed, with what slowshare wrote to stderr).
    QString skipReason() const { return m_skipReason; }
    // The mount point, without a trailing '/'; empty when not mounted.
    QString mountPath() const { return m_skipReason.isEmpty() ? m_mountPoint : QString(); }

    // A file server that stops answering (false) and answers again (true): every call on the
    // share waits meanwhile, as on a server that restarts. The destructor answers again first.
    void SetAnswering(bool answering);

    // The operations served since the mount, by name ("getattr", "read", ...) and "total".
    // Empty when not mounted or when slowshare did not answer.
    QMap<QString, quint64> operationCounts();

private:
    bool mount(const QString& program, const QString& backingDir, int delayMs, bool ignoreCase);
    bool isMounted() const;
    QString errorOutput() const;

    QTemporaryDir m_dir;
    QString m_mountPoint;
    QString m_statsFile;
    QProcess m_process;
    QString m_skipReason;
};
