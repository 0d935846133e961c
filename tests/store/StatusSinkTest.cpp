#include "store/StatusSink.h"

#include <gtest/gtest.h>

namespace {

class LastValues final : public StatusSink
{
public:
    QString text;
    int progress = 0;
    void setStatusText(const QString& t) override { text = t; }
    void setProgress(int percent) override { progress = percent; }
};

struct ProgressCase
{
    int value;
    int shown; // -1: the bar is emptied
};

class ShowProgress : public ::testing::TestWithParam<ProgressCase>
{
};

TEST_P(ShowProgress, AStartedBarIsAlwaysVisibleAndTheEndEmptiesIt)
{
    LastValues sink;
    sink.ShowProgress(QStringLiteral("伝言を運んでいます。"), GetParam().value);
    EXPECT_EQ(sink.progress, GetParam().shown);
    EXPECT_EQ(sink.text, QStringLiteral("伝言を運んでいます。"));
}

INSTANTIATE_TEST_SUITE_P(Values, ShowProgress,
                         ::testing::Values(ProgressCase{0, 10}, ProgressCase{9, 10}, ProgressCase{10, 10},
                                           ProgressCase{55, 55}, ProgressCase{100, 100}, ProgressCase{-99, -1}));

} // namespace
