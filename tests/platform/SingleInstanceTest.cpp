#include "platform/SingleInstance.h"
#include "platform/HostAddress.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(SingleInstance, SecondCopyFindsTheLockTakenAndWakesTheFirst)
{
    QTemporaryDir session;
    SingleInstance first(session.path());
    ASSERT_TRUE(first.TryAcquire());
    ASSERT_TRUE(first.Listen());

    SingleInstance second(session.path());
    EXPECT_FALSE(second.TryAcquire());

    QSignalSpy woken(&first, &SingleInstance::WakeupRequested);
    // The second copy blocks while it writes; the first answers from its event loop.
    bool sent = false;
    QMetaObject::invokeMethod(
        &second, [&] { sent = second.WakeRunning(); }, Qt::QueuedConnection);
    ASSERT_TRUE(woken.wait(5000));
    EXPECT_TRUE(sent);
    EXPECT_EQ(woken.count(), 1);
}

TEST(SingleInstance, LockIsFreeAgainOnceTheOwnerIsGone)
{
    QTemporaryDir session;
    {
        SingleInstance first(session.path());
        ASSERT_TRUE(first.TryAcquire());
    }
    SingleInstance next(session.path());
    EXPECT_TRUE(next.TryAcquire());
}

TEST(SingleInstance, LockOfADeadProcessIsTakenOver)
{
    QTemporaryDir session;
    // A finished child's process id stands for a copy that died holding the lock.
    QProcess child;
    child.start(QStringLiteral("true"));
    ASSERT_TRUE(child.waitForFinished(5000));
    const qint64 deadPid = child.processId() ? child.processId() : 999999;
    SingleInstance probe(session.path());
    QFile lock(probe.LockPath());
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nVurna3\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();

    EXPECT_TRUE(probe.TryAcquire());
    // A socket file left behind does not stop the new owner from listening.
    QFile stale(probe.WakeupPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    EXPECT_TRUE(probe.Listen());
}

TEST(SingleInstance, WakingWithoutARunningCopyFails)
{
    QTemporaryDir session;
    SingleInstance lone(session.path());
    EXPECT_FALSE(lone.WakeRunning(200));
}

TEST(HostAddress, ChoosesTheFirstReachableIPv4Address)
{
    using HostAddress::ChooseAddress;
    const QHostAddress loop("127.0.1.1"), v6("fe80::1"), lan("192.168.3.4"), other("10.0.0.9");
    EXPECT_EQ(ChooseAddress({loop, v6, lan, other}, {other}), QByteArray("192.168.3.4"));
    EXPECT_EQ(ChooseAddress({loop}, {QHostAddress("127.0.0.1"), other}), QByteArray("10.0.0.9"));
    EXPECT_EQ(ChooseAddress({}, {v6}), QByteArray());
}

TEST(HostAddress, EnvironmentChoosesTheAddress)
{
    const QByteArray previous = qgetenv("VURNA_ADDRESS");
    qputenv("VURNA_ADDRESS", " 127.0.0.7 ");
    EXPECT_EQ(HostAddress::LookUpOwnAddress(), QByteArray("127.0.0.7"));
    if (previous.isNull())
        qunsetenv("VURNA_ADDRESS");
    else
        qputenv("VURNA_ADDRESS", previous);
}

} // namespace
