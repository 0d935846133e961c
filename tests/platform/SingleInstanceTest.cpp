#include "platform/SingleInstance.h"
#include "platform/HostAddress.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Another thread stands for another process: on Windows a mutex belongs to the thread that took it.
template <typename Work> void onAnotherThread(Work work)
{
    std::unique_ptr<QThread> thread(QThread::create(std::move(work)));
    thread->start();
    // The owner's events (the wake-up) are handled meanwhile.
    while (!thread->wait(10))
        QCoreApplication::processEvents();
}

TEST(SingleInstance, SecondCopyIsRefusedAndWakesTheFirst)
{
    QTemporaryDir session;
    SingleInstance first(session.path());
    ASSERT_TRUE(first.TryAcquire());
    ASSERT_TRUE(first.Listen());
    QSignalSpy woken(&first, &SingleInstance::WakeupRequested);

    bool taken = true, sent = false;
    onAnotherThread([&] {
        SingleInstance second(session.path());
        taken = second.TryAcquire();
        sent = second.WakeRunning();
    });
    EXPECT_FALSE(taken);
    EXPECT_TRUE(sent);
    EXPECT_TRUE(woken.count() == 1 || woken.wait(5000));
    EXPECT_EQ(woken.count(), 1);
}

enum class Owner { None, Running, EndsWhileWaited };

class WaitForRunningCopy : public ::testing::TestWithParam<Owner>
{
};

TEST_P(WaitForRunningCopy, SeesTheLockLetGo)
{
    QTemporaryDir session;
    auto owner = std::make_unique<SingleInstance>(session.path());
    if (GetParam() == Owner::None)
        owner.reset();
    else
        ASSERT_TRUE(owner->TryAcquire());
    const int waitMs = GetParam() == Owner::EndsWhileWaited ? 10000 : 100;
    std::unique_ptr<QThread> updater(QThread::create([&] {
        const auto found = SingleInstance::WaitForRunningCopyToEnd(waitMs, session.path());
        EXPECT_EQ(found, GetParam() == Owner::Running ? SingleInstance::RunningCopy::StillRunning
                                                      : SingleInstance::RunningCopy::Gone);
    }));
    updater->start();
    if (GetParam() == Owner::EndsWhileWaited) {
        QThread::msleep(50);
        owner.reset();
    }
    updater->wait();
    // Whoever looked, the lock is free again for the program started next.
    owner.reset();
    onAnotherThread([&] {
        EXPECT_EQ(SingleInstance::WaitForRunningCopyToEnd(0, session.path()), SingleInstance::RunningCopy::Gone);
    });
}

INSTANTIATE_TEST_SUITE_P(SingleInstance, WaitForRunningCopy,
                         ::testing::Values(Owner::None, Owner::Running, Owner::EndsWhileWaited));

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
