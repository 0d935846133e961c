#include "platform/ParallelWork.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

struct Spread
{
    const char* label;
    int count;
    int inFlight;
    int sleepMs; // what each call waits, as a read from a file server would
    bool overlaps;
};

class ParallelForEach : public ::testing::TestWithParam<Spread>
{
};

// Every index exactly once, never more calls at once than allowed, and threads only where the
// calls wait: a local disk must not pay for them.
TEST_P(ParallelForEach, CallsEachIndexOnceWithinTheLimit)
{
    const Spread s = GetParam();
    std::vector<std::atomic<int>> calls(size_t(std::max(s.count, 0)));
    std::atomic<int> running{0};
    std::atomic<int> most{0};
    std::mutex lock;
    std::set<QThread*> threads;
    ParallelWork::ForEach(s.count, s.inFlight, [&](int i) {
        const int now = ++running;
        for (int seen = most.load(); now > seen && !most.compare_exchange_weak(seen, now);) {
        }
        {
            const std::lock_guard<std::mutex> guard(lock);
            threads.insert(QThread::currentThread());
        }
        if (s.sleepMs > 0)
            QThread::msleep(static_cast<unsigned long>(s.sleepMs));
        ++calls[size_t(i)];
        --running;
    });
    for (int i = 0; i < s.count; ++i)
        EXPECT_EQ(calls[size_t(i)].load(), 1) << "index " << i;
    EXPECT_LE(most.load(), std::max(s.inFlight, 1));
    if (s.overlaps)
        EXPECT_GT(most.load(), 1);
    else
        EXPECT_TRUE(threads.empty() || threads == std::set<QThread*>{QThread::currentThread()})
            << "calls left the calling thread";
}

INSTANTIATE_TEST_SUITE_P(Table, ParallelForEach,
                         ::testing::Values(Spread{"Nothing", 0, 16, 0, false},
                                           Spread{"FastCallsStayHome", 500, 16, 0, false},
                                           Spread{"OneInFlightIsSequential", 20, 1, 2, false},
                                           Spread{"ZeroInFlightIsSequential", 5, 0, 2, false},
                                           Spread{"SlowCallsOverlap", 64, 8, 5, true},
                                           Spread{"FewerCallsThanWorkers", 6, 16, 5, true}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(RunWhileEventsFlow, EventsRunMeanwhileAndAFailureComesBack)
{
    bool eventRan = false;
    std::atomic<bool> eventSeenByWork{false};
    QTimer::singleShot(0, [&] { eventRan = true; });
    ParallelWork::RunWhileEventsFlow([&] {
        for (int i = 0; i < 500 && !eventRan; ++i)
            QThread::msleep(10);
        eventSeenByWork = eventRan;
    });
    EXPECT_TRUE(eventSeenByWork.load()) << "the calling thread's events were held up by the work";

    EXPECT_THROW(ParallelWork::RunWhileEventsFlow([] { throw std::runtime_error("share gone"); }), std::runtime_error);
}

} // namespace
