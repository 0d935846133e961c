#include "support/SlowShareMount.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Generous: slowshare mounts in milliseconds, but a loaded CI machine may take its time.
constexpr int mountWaitMs = 20000;
constexpr int answerWaitMs = 20000;

} // namespace

SlowShareMount::SlowShareMount(const QString& backingDir, int delayMs, bool ignoreCase)
{
#ifndef VURNA_SLOWSHARE_PATH
    Q_UNUSED(backingDir);
    Q_UNUSED(delayMs);
    Q_UNUSED(ignoreCase);
    m_skipReason = QStringLiteral("slowshare was not built (libfuse 3 was not found when the build was configured)");
#else
    const QString program = QStringLiteral(VURNA_SLOWSHARE_PATH);
    if (!QFileInfo(program).isExecutable())
        m_skipReason = QStringLiteral("slowshare is not built: %1 is missing").arg(program);
    else if (::access("/dev/fuse", R_OK | W_OK) != 0)
        m_skipReason = QStringLiteral("no usable /dev/fuse on this machine");
    else if (QStandardPaths::findExecutable(QStringLiteral("fusermount3")).isEmpty())
        m_skipReason = QStringLiteral("fusermount3 is not installed");
    else if (!m_dir.isValid())
        m_skipReason = QStringLiteral("no temporary folder for the mount point");
    else
        mount(program, backingDir, delayMs, ignoreCase);
#endif
}

bool SlowShareMount::mount(const QString& program, const QString& backingDir, int delayMs, bool ignoreCase)
{
    m_mountPoint = m_dir.path() + QStringLiteral("/mnt");
    m_statsFile = m_dir.path() + QStringLiteral("/stats");
    QDir().mkpath(m_mountPoint);
    QStringList args{QStringLiteral("--delay-ms=%1").arg(delayMs), QStringLiteral("--stats=") + m_statsFile};
    if (ignoreCase)
        args << QStringLiteral("--ignore-case");
    args << backingDir << m_mountPoint;
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(m_dir.path() + QStringLiteral("/stderr"));
    // Should the test program die without unmounting, slowshare ends too and takes its mount
    // with it, instead of serving a deleted folder for ever.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start(program, args);
    if (!m_process.waitForStarted()) {
        m_skipReason = QStringLiteral("slowshare did not start: ") + m_process.errorString();
        return false;
    }
    const QDeadlineTimer deadline(mountWaitMs);
    while (!isMounted()) {
        // Doubles as the pause between looks, and notices a slowshare that gave up.
        if (m_process.waitForFinished(10) || deadline.hasExpired()) {
            m_process.kill();
            m_process.waitForFinished();
            m_skipReason = QStringLiteral("slowshare could not mount %1: %2").arg(m_mountPoint, errorOutput());
            return false;
        }
    }
    return true;
}

bool SlowShareMount::isMounted() const
{
    struct stat mountPoint, parent;
    return ::stat(QFile::encodeName(m_mountPoint).constData(), &mountPoint) == 0 &&
           ::stat(QFile::encodeName(m_dir.path()).constData(), &parent) == 0 && mountPoint.st_dev != parent.st_dev;
}

QString SlowShareMount::errorOutput() const
{
    QFile file(m_dir.path() + QStringLiteral("/stderr"));
    const QString text = file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()).trimmed() : QString();
    return text.isEmpty() ? QStringLiteral("(nothing on stderr)") : text;
}

QMap<QString, quint64> SlowShareMount::operationCounts()
{
    QMap<QString, quint64> counts;
    if (!m_skipReason.isEmpty() || m_process.state() != QProcess::Running)
        return counts;
    // slowshare renames a complete file into place, so once the file exists again it is the
    // answer to this request.
    QFile::remove(m_statsFile);
    ::kill(pid_t(m_process.processId()), SIGUSR1);
    const QDeadlineTimer deadline(answerWaitMs);
    while (!QFileInfo::exists(m_statsFile) && !deadline.hasExpired())
        QThread::msleep(2);
    QFile file(m_statsFile);
    if (!file.open(QIODevice::ReadOnly))
        return counts;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2)
            counts.insert(QString::fromLatin1(fields[0]), fields[1].toULongLong());
    }
    return counts;
}

void SlowShareMount::SetAnswering(bool answering)
{
    if (m_process.state() != QProcess::Running)
        return;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(m_process.processId());
    ::kill(pid_t(m_process.processId()), answering ? SIGCONT : SIGSTOP);
    // The signal reaches the file system's threads a little later; a call made before they have
    // all stopped would still be answered.
    const QDeadlineTimer deadline(answerWaitMs);
    const auto allStopped = [&] {
        for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile stat(tasks + QLatin1Char('/') + task + QStringLiteral("/stat"));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray line = stat.readAll();
            const qsizetype end = line.lastIndexOf(')');
            if (end < 0 || end + 2 >= line.size() || line.at(end + 2) != 'T')
                return false;
        }
        return true;
    };
    while (!answering && !allStopped() && !deadline.hasExpired())
        QThread::msleep(1);
}

SlowShareMount::~SlowShareMount()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    SetAnswering(true);
    const QString fusermount = QStringLiteral("fusermount3");
    // A file still open on the share keeps a plain unmount from working; the lazy one detaches
    // the mount now and lets slowshare end once the last file is closed.
    if (QProcess::execute(fusermount, {QStringLiteral("-u"), m_mountPoint}) != 0)
        QProcess::execute(fusermount, {QStringLiteral("-uz"), m_mountPoint});
    if (!m_process.waitForFinished(answerWaitMs)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}
