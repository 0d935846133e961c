// The share's queue: order, replaced jobs, results on the asking thread, and a share that stops
// answering (a job held on a gate stands in for a server that does not reply).

#include "platform/ShareQueue.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// A job that waits until the test opens the gate: the server not answering. Not a
// std::binary_semaphore: MinGW's libstdc++ can lose its wake-up and leave the job waiting.
struct Gate
{
    std::mutex mutex;
    std::condition_variable opened;
    bool isOpen = false;
    std::function<int()> job()
    {
        return [this] {
            std::unique_lock lock(mutex);
            opened.wait(lock, [this] { return isOpen; });
            return 0;
        };
    }
    void Open()
    {
        const std::lock_guard lock(mutex);
        isOpen = true;
        opened.notify_all();
    }
};

TEST(ShareQueue, JobsRunInOrderAndHandBackOnTheAskingThread)
{
    ShareQueue queue;
    QObject receiver;
    std::mutex mutex;
    QList<int> ran, handed;
    bool onAskingThread = true;
    for (int i = 0; i < 20; ++i) {
        queue.Post<int>(
            {},
            [&, i] {
                const std::lock_guard lock(mutex);
                ran.append(i);
                return i * i;
            },
            &receiver,
            [&](int square) {
                onAskingThread = onAskingThread && QThread::currentThread() == qApp->thread();
                handed.append(square);
            });
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return handed.size() == 20; }, 5000));
    QList<int> squares;
    for (int i = 0; i < 20; ++i)
        squares.append(i * i);
    EXPECT_EQ(handed, squares);
    EXPECT_EQ(ran.size(), 20);
    EXPECT_TRUE(onAskingThread);
}

TEST(ShareQueue, ANewerJobOfTheSameKeyReplacesTheWaitingOne)
{
    ShareQueue queue;
    QObject receiver;
    Gate gate;
    QList<QByteArray> handed;
    const auto post = [&](const QByteArray& key, const QByteArray& value) {
        queue.Post<QByteArray>(
            key, [value] { return value; }, &receiver, [&](QByteArray v) { handed.append(v); });
    };
    queue.Post<int>({}, gate.job(), &receiver, {});
    post("YAMADA", "first");
    post("SUZUKI", "other");
    post("YAMADA", "newest");
    post({}, "unkeyed");
    post({}, "unkeyed");
    gate.Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return handed.size() == 4; }, 5000));
    EXPECT_EQ(handed, (QList<QByteArray>{"other", "newest", "unkeyed", "unkeyed"}));
}

TEST(ShareQueue, AShareThatStopsAnsweringIsReportedUntilItAnswersAgain)
{
    ShareQueue queue(30);
    QObject receiver;
    QSignalSpy stalled(&queue, &ShareQueue::StalledChanged);
    Gate gate;
    bool after = false;
    queue.Post<int>({}, gate.job(), &receiver, {});
    queue.Post<int>(
        {}, [] { return 1; }, &receiver, [&](int) { after = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return queue.IsStalled(); }, 5000));
    EXPECT_FALSE(queue.Drain(20));
    EXPECT_EQ(queue.Pending(), 2);
    gate.Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return after && !queue.IsStalled(); }, 5000));
    EXPECT_TRUE(queue.Drain(1000));
    ASSERT_EQ(stalled.size(), 2);
    EXPECT_TRUE(stalled.at(0).at(0).toBool());
    EXPECT_FALSE(stalled.at(1).at(0).toBool());
}

TEST(ShareQueue, GoingAwayNeverWaitsForAHungJobNorHandsItsResultBack)
{
    auto gate = std::make_shared<Gate>();
    QObject receiver;
    bool handed = false;
    {
        ShareQueue queue;
        queue.Post<int>(
            {}, [gate] { return gate->job()(); }, &receiver, [&](int) { handed = true; });
        queue.Post<int>(
            {}, [] { return 1; }, &receiver, [&](int) { handed = true; });
        QTest::qWait(20);
    }
    gate->Open();
    QTest::qWait(50);
    EXPECT_FALSE(handed);
}

// What a job uses may go right after the queue (the statics at the end of the process): a job
// that is running when the queue goes is let end first. The sanitizers catch one that is not.
TEST(ShareQueue, GoingAwayLetsARunningJobEndFirst)
{
    auto used = std::make_unique<QByteArray>();
    {
        ShareQueue queue;
        queue.Post({}, [&used] {
            QThread::msleep(50);
            used->append("folder");
        });
        QTest::qWait(10);
    }
    EXPECT_EQ(*used, "folder");
}

} // namespace
