#include "session/KeptWrites.h"
#include "platform/ShareQueue.h"
#include "support/TestShare.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <future>

namespace {

using Kind = KeptWrites::Kind;

struct Step
{
    Kind kind;
    const char* text;    // what the memo board was saved with
    const char* basedOn; // what it had been filled from
};

struct KeptCase
{
    const char* name;
    QList<Step> steps;    // made in one run whose share never answered
    const char* between;  // the ".old" a colleague's copy left meanwhile; nullptr: untouched
    const char* expected; // the ".old" once the next run wrote what was kept
    int setAside;         // writes the next run found changed and left in the folder
};

class KeptMemoBoard : public ::testing::TestWithParam<KeptCase>
{
};

TEST_P(KeptMemoBoard, TheNextRunWritesWhatIsStillValidInTheOrderItWasAskedFor)
{
    const KeptCase& c = GetParam();
    TestShare share;
    QTemporaryDir local;
    share.writeBytes(QStringLiteral("ito.old"), "X\r\n");
    const QByteArray member = share.realPath().toUtf8() + "ito";
    // The share away for the whole run: a gate that opens only once the run has ended.
    std::promise<void> gate;
    {
        ShareQueue queue;
        queue.Post({}, [away = gate.get_future().share()] { away.wait(); });
        KeptWrites kept(queue, local.path());
        for (const Step& s : c.steps)
            kept.Post(s.kind == Kind::MemoErase ? "memo erase" : "memo board",
                      {.kind = s.kind, .path = member, .text = s.text, .checkBase = true, .basedOn = s.basedOn});
        ASSERT_TRUE(kept.KeepUnwritten());
    } // what the queue still held dies with the program
    gate.set_value();
    if (c.between)
        share.writeBytes(QStringLiteral("ito.old"), c.between);
    // A colleague's memo, arrived since: the user never saw it.
    share.writeBytes(QStringLiteral("ito.mil"), "new memo\r\n");

    ShareQueue queue;
    KeptWrites kept(queue, local.path());
    QObject receiver;
    int changed = 0;
    int n = 0;
    for (const KeptWrites::Write& write : kept.TakeKept())
        kept.Post("again " + QByteArray::number(++n), write, true, &receiver,
                  [&](KeptWrites::Outcome o) { changed += o == KeptWrites::Outcome::Changed; });
    ASSERT_TRUE(queue.Drain(10000));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(share.readBytes(QStringLiteral("ito.old")), QByteArray(c.expected));
    EXPECT_EQ(changed, c.setAside);
    EXPECT_EQ(share.readBytes(QStringLiteral("ito.mil")), "new memo\r\n");
}

TEST(KeptWrites, ARunThatNeverReachesItsEndLeavesThemForTheNext)
{
    QTemporaryDir local;
    std::promise<void> gate;
    {
        ShareQueue queue;
        queue.Post({}, [away = gate.get_future().share()] { away.wait(); });
        KeptWrites first(queue, local.path());
        first.Post("filter",
                   {.kind = Kind::File, .path = "/NOWHERE/ITO.ftr", .text = "f", .checkBase = false, .basedOn = {}});
        ASSERT_TRUE(first.KeepUnwritten());
        // The next start takes them, and is ended before its own end could keep them again.
        ShareQueue idle;
        EXPECT_EQ(KeptWrites(idle, local.path()).TakeKept().size(), 1);
    }
    gate.set_value();
    ShareQueue queue;
    EXPECT_EQ(KeptWrites(queue, local.path()).TakeKept().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeptMemoBoard,
    ::testing::Values(
        KeptCase{"saved", {{Kind::MemoBoard, "A\r\n", "X\r\n"}}, nullptr, "A\r\n", 0},
        KeptCase{"saved_twice",
                 {{Kind::MemoBoard, "A\r\n", "X\r\n"}, {Kind::MemoBoard, "B\r\n", "A\r\n"}},
                 nullptr,
                 "B\r\n",
                 0},
        KeptCase{
            "saved_then_erased", {{Kind::MemoBoard, "A\r\n", "X\r\n"}, {Kind::MemoErase, "", "A\r\n"}}, nullptr, "", 0},
        KeptCase{"erased_then_typed_again",
                 {{Kind::MemoErase, "", "X\r\n"}, {Kind::MemoBoard, "B\r\n", ""}},
                 nullptr,
                 "B\r\n",
                 0},
        KeptCase{"changed_by_another_copy_meanwhile", {{Kind::MemoBoard, "A\r\n", "X\r\n"}}, "Y\r\n", "Y\r\n", 1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
