#include "board/FloodGuard.h"

#include <gtest/gtest.h>

namespace {

// ---------------------------------------------------------------------------------------------
// QuietPeriod at the edges the notice tests do not reach

TEST(QuietPeriodEdges, HeldRequestOvertakenByTheNextRunsOnceAndABackwardClockEndsThePeriod)
{
    QuietPeriod period(30000);
    ASSERT_TRUE(period.Request(0));
    EXPECT_FALSE(period.Request(10));
    EXPECT_TRUE(period.Request(31000)); // its timer late: this run is the held one too
    EXPECT_FALSE(period.TakeDue(70000));

    QuietPeriod stepped(30000);
    ASSERT_TRUE(stepped.Request(50000));
    EXPECT_TRUE(stepped.Request(100)); // the clock was set back: no wait of days
}

// ---------------------------------------------------------------------------------------------
// ShareRequestGate: bounded table, bounded entries, no count lost

TEST(ShareGate, ManySendersKeepTheTableAndTheLogBoundedAndTheirCount)
{
    ShareRequestGate gate;
    constexpr int Senders = 10000;
    int tests = 0;
    int lines = 0;
    for (int i = 0; i < Senders; ++i) {
        const QByteArray sender = "10.0." + QByteArray::number(i / 256) + '.' + QByteArray::number(i % 256);
        tests += gate.MayTest(sender, i) ? 1 : 0;
        ShareRequestGate::Tally tally;
        lines += gate.Refused(sender, i, tally) ? 1 : 0;
    }
    EXPECT_EQ(gate.SenderCount(), ShareRequestGate::MaxSenders);
    EXPECT_EQ(tests, ShareRequestGate::TestsPerMinute);
    EXPECT_EQ(lines, ShareRequestGate::LinesPerMinute);

    // The next minute's first entry carries every unwritten refusal of the senders pushed
    // out, including the one that makes room for this sender.
    ShareRequestGate::Tally tally;
    ASSERT_TRUE(gate.Refused("10.1.1.1", 70000, tally));
    const int pushedOut = Senders - ShareRequestGate::MaxSenders + 1;
    EXPECT_EQ(tally.fromForgotten, pushedOut - ShareRequestGate::LinesPerMinute);
    EXPECT_EQ(tally.refusedMeanwhile, 0);
    // A sender still remembered reports its own.
    ASSERT_TRUE(gate.Refused("10.0.39.15", 70001, tally)); // the last sender, i = 9999
    EXPECT_EQ(tally.refusedMeanwhile, 1);
    EXPECT_EQ(tally.fromForgotten, 0);
}

// One sender alone meets its own limit, well below the one over all senders.
struct PerSenderCase
{
    const char* name;
    int requests;
    int tested;
};

class ShareGatePerSender : public ::testing::TestWithParam<PerSenderCase>
{
};

TEST_P(ShareGatePerSender, TestsAtMostItsOwnShareInAMinute)
{
    const PerSenderCase& c = GetParam();
    ShareRequestGate gate;
    int tested = 0;
    for (int i = 0; i < c.requests; ++i)
        tested += gate.MayTest("10.0.0.1", i * 1000) ? 1 : 0;
    EXPECT_EQ(tested, c.tested);
    EXPECT_TRUE(gate.MayTest("10.0.0.2", c.requests * 1000)); // the others are not held up
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShareGatePerSender,
    ::testing::Values(PerSenderCase{"AtTheLimit", ShareRequestGate::TestsPerSender, ShareRequestGate::TestsPerSender},
                      PerSenderCase{"OneOver", ShareRequestGate::TestsPerSender + 1, ShareRequestGate::TestsPerSender}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
