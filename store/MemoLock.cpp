#include "store/MemoLock.h"

#include "platform/Cp932.h"
#include "platform/FileText.h"
#include "platform/LogCategories.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QSet>
#include <QSysInfo>
#include <QThread>

namespace {

// Names this process in the guards it creates: host, process id and a random part, so that
// a guard left by a crashed copy whose process id was later reused is never taken for ours.
// A constant of the process, like its id.
const QByteArray& processIdentity()
{
    static const QByteArray identity = QSysInfo::machineHostName().toUtf8() + ' ' +
                                       QByteArray::number(QCoreApplication::applicationPid()) + ' ' +
                                       QByteArray::number(QRandomGenerator::system()->generate64(), 16);
    return identity;
}

QByteArray readGuard(const QString& real)
{
    QFile file(real);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The guards that lock objects of this process hold right now. A guard that names this
// process but is not here was left behind: its removal failed (a file server refuses to delete
// a file that another copy has open just then).
class HeldGuards
{
public:
    static HeldGuards& instance()
    {
        static HeldGuards held;
        return held;
    }
    bool contains(const QByteArray& path)
    {
        const QMutexLocker lock(&m_mutex);
        return m_paths.contains(path);
    }
    void insert(const QByteArray& path)
    {
        const QMutexLocker lock(&m_mutex);
        m_paths.insert(path);
    }
    void remove(const QByteArray& path)
    {
        const QMutexLocker lock(&m_mutex);
        m_paths.remove(path);
    }

private:
    QMutex m_mutex;
    QSet<QByteArray> m_paths;
};

// Removes a guard that is ours, trying again for a while: on a file server the delete fails
// while a waiter has the guard open to read who holds it, which it does for a moment only.
bool removeOwnGuard(const QString& real, const QByteArray& content)
{
    QElapsedTimer tried;
    tried.start();
    for (int attempt = 1;; ++attempt) {
        // Gone, or broken as stale and taken by another copy meanwhile. Empty is neither: a
        // file server may show a freshly written guard empty for a moment.
        const QByteArray seen = readGuard(real);
        if (seen.isEmpty() ? !QFileInfo::exists(real) : seen != content)
            return true;
        if (QFile::remove(real))
            return true;
        if (tried.elapsed() >= 2000)
            return false;
        QThread::msleep(static_cast<unsigned long>(qMin(1 << qMin(attempt, 6), 50)));
    }
}

QByteArray randomHex()
{
    return QByteArray::number(QRandomGenerator::global()->generate64(), 16);
}

} // namespace

QByteArray MemoLock::lockPath(const QByteArray& memoPath)
{
    return memoPath + ".mil.lock";
}

MemoLock::MemoLock(QByteArray memoPath, MemoLockPolicy policy)
    : m_lockPath(lockPath(memoPath)), m_policy(std::move(policy))
{
}

MemoLock::~MemoLock()
{
    release();
}

namespace {

// The guard's real path. Only the folder is looked up case-insensitively: every copy
// spells the guard's own name from the upper-cased member path, so they all meet on the
// same file without listing the folder on each try.
QString realGuardPath(const QByteArray& lockPath)
{
    QString dir = SharePath::resolve(SjisText::directoryPart(lockPath));
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + Cp932::toUnicode(SjisText::fileNamePart(lockPath));
}

} // namespace

bool MemoLock::tryCreate(bool* exists)
{
    const QString real = realGuardPath(m_lockPath);
    QFile file(real);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        const QByteArray content = processIdentity() + ' ' + randomHex() + "\r\n";
        const bool written = file.write(content) == content.size() && file.flush();
        file.close();
        if (written) {
            m_content = content;
            *exists = false;
            return true;
        }
        QFile::remove(real);
        *exists = false;
        return false;
    }
    *exists = QFileInfo::exists(real);
    return false;
}

bool MemoLock::breakStale(const QByteArray& seenContent)
{
    // Two waiters may find the same stale guard. Each first moves it aside under a name of
    // its own, so only one of them gets it; the one that finds it had been replaced by a
    // fresh guard in the meantime puts that guard back.
    const QString real = realGuardPath(m_lockPath);
    const QString aside = real + QLatin1Char('.') + QString::fromLatin1(randomHex()) + QStringLiteral(".stale");
    if (!QFile::rename(real, aside))
        return false;
    if (readGuard(aside) == seenContent) {
        qCWarning(lcFiles) << "broke a stale memo guard" << real << seenContent.trimmed();
        QFile::remove(aside);
        return true;
    }
    if (!QFile::rename(aside, real))
        QFile::remove(aside);
    return false;
}

MemoLock::Result MemoLock::acquire()
{
    if (m_held)
        return Result::Acquired;
    if (HeldGuards::instance().contains(m_lockPath))
        return Result::HeldByThisProcess;
    QElapsedTimer waited;
    waited.start();
    QByteArray seenContent;
    QDateTime seenModified;
    qint64 seenSize = -1;
    bool seen = false;
    QElapsedTimer seenFor;
    QElapsedTimer refusedFor;
    for (int failedTry = 1;; ++failedTry) {
        bool exists = false;
        if (tryCreate(&exists)) {
            m_held = true;
            HeldGuards::instance().insert(m_lockPath);
            return Result::Acquired;
        }
        if (exists) {
            refusedFor.invalidate();
            const QString real = realGuardPath(m_lockPath);
            // The guard is opened only when it looks changed: on a file server its holder
            // cannot delete it while a waiter has it open.
            const QFileInfo info(real);
            const QDateTime modified = info.lastModified();
            const qint64 size = info.size();
            if (!seen || modified != seenModified || size != seenSize) {
                const QByteArray content = readGuard(real);
                if (content.startsWith(processIdentity() + ' ')) {
                    // Ours, yet no lock of this process holds it: left when its removal failed.
                    qCWarning(lcFiles) << "removing a memo guard this program left behind" << real;
                    removeOwnGuard(real, content);
                    seen = false;
                } else {
                    seen = true;
                    seenContent = content;
                    seenModified = modified;
                    seenSize = size;
                    seenFor.start();
                }
            } else if (seenFor.elapsed() >= m_policy.staleMs) {
                seen = false;
                // Time stamps may be coarse: the content tells whether it is still the same guard.
                if (readGuard(real) == seenContent && breakStale(seenContent))
                    continue;
            }
        } else {
            seen = false;
            if (!refusedFor.isValid()) {
                refusedFor.start();
            } else if (refusedFor.elapsed() >= m_policy.refusedMs) {
                qCWarning(lcFiles) << "the memo guard cannot be created" << realGuardPath(m_lockPath);
                return Result::Refused;
            }
        }
        if (waited.elapsed() >= m_policy.maxWaitMs) {
            qCWarning(lcFiles) << "gave up waiting for the memo guard" << realGuardPath(m_lockPath);
            return Result::TimedOut;
        }
        if (m_policy.beforePause)
            m_policy.beforePause(failedTry);
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        const int cap = qBound(1, 1 << qMin(failedTry, 10), qMax(1, m_policy.maxPauseMs));
        QThread::msleep(static_cast<unsigned long>(QRandomGenerator::global()->bounded(1, cap + 1)));
    }
}

void MemoLock::release()
{
    if (!m_held)
        return;
    m_held = false;
    HeldGuards::instance().remove(m_lockPath);
    // Remove the guard only while it is still ours: had it been broken as stale, it may now
    // belong to another copy.
    const QString real = realGuardPath(m_lockPath);
    if (!removeOwnGuard(real, m_content))
        qCWarning(lcFiles) << "the memo guard could not be removed; the next try of this program removes it" << real;
    m_content.clear();
}
