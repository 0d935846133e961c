#include "platform/SingleInstance.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A lock naming a process that has ended stands for a copy that died holding it.
void writeLockOfADeadCopy(const QString& folder)
{
    QProcess child;
    child.start(QStringLiteral("true"));
    ASSERT_TRUE(child.waitForFinished(5000));
    const qint64 deadPid = child.processId() ? child.processId() : 999999;
    QFile lock(folder + QStringLiteral("/VurnaMutex.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nVurna3\n" + QSysInfo::machineHostName().toUtf8() + "\n");
}

TEST(SingleInstance, LockOfADeadProcessIsTakenOver)
{
    QTemporaryDir session;
    writeLockOfADeadCopy(session.path());
    EXPECT_EQ(SingleInstance::WaitForRunningCopyToEnd(0, session.path()), SingleInstance::RunningCopy::Gone);

    writeLockOfADeadCopy(session.path());
    SingleInstance next(session.path());
    EXPECT_TRUE(next.TryAcquire());
    // A socket file left behind does not stop the new owner from listening.
    QFile stale(session.filePath(QStringLiteral("VurnaWakeup")));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    EXPECT_TRUE(next.Listen());
}

TEST(SingleInstance, AFolderThatCannotHoldTheLockIsUnusable)
{
    QTemporaryDir root;
    QFile file(root.filePath(QStringLiteral("file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(SingleInstance::WaitForRunningCopyToEnd(0, file.fileName()), SingleInstance::RunningCopy::Unusable);
}

TEST(SingleInstance, WakingWithoutARunningCopyFails)
{
    QTemporaryDir session;
    SingleInstance lone(session.path());
    EXPECT_FALSE(lone.WakeRunning(200));
}

} // namespace
