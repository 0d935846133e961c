// The board model given the share's queue: single reloads and the change-stamp check read on the
// queue's thread, and what this copy did while a read was under way decides whether it counts.

#include "BoardModelFixture.h"
#include "platform/ShareQueue.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <future>

namespace {

enum class Doing { Nothing, DatagramForHim, DatagramForAnother, FullLoad, ShowAgain };

// What this copy does around a reload of 伊藤, whose file says "file" by then.
struct Around
{
    const char* label;
    Doing doing;
    bool whileRead;   // after the file was read and before the result is back; else before asking
    QByteArray shown; // 伊藤's destination afterwards
};

class QueuedModel : public BoardModelFixture, public ::testing::WithParamInterface<Around>
{
protected:
    void SetUp() override
    {
        BoardModelFixture::SetUp();
        model.SetShareQueue(&queue);
    }
    // Hands back every result, and those of the reads they asked for in turn.
    void deliver()
    {
        for (int hop = 0; hop < 3; ++hop) {
            ASSERT_TRUE(queue.Drain(10000));
            QCoreApplication::sendPostedEvents();
        }
    }
    QByteArray itoFile(const char* locate) const
    {
        return userFileText({cp932(QStringLiteral("ｲﾄｳ")), cp932(QStringLiteral("伊藤")), "sales", "", locate, "", "",
                             "", "", "0", "0", ""});
    }
    QByteArray locateOf(const char* base) const { return model.GetMember(model.IndexOfMember(path(base))).Locate; }
    void act(Doing doing)
    {
        TVurnaDataRec r = model.GetMember(model.IndexOfMember(path(doing == Doing::DatagramForHim ? "ITO" : "UEDA")));
        r.Locate = "datagram";
        if (doing == Doing::DatagramForHim || doing == Doing::DatagramForAnother)
            model.UpdateMember(r);
        if (doing == Doing::FullLoad) {
            share.writeBytes(QStringLiteral("Ito.vrn"), itoFile("newer"));
            model.Reload(AllMembers);
        }
        if (doing == Doing::ShowAgain)
            model.SetDataSource(share.dataSource());
    }

    ShareQueue queue;
};

TEST_P(QueuedModel, AReadOlderThanAChangeOnThisCopyIsDropped)
{
    if (!GetParam().whileRead)
        act(GetParam().doing);
    const QByteArray shownBefore = locateOf("ITO");
    share.writeBytes(QStringLiteral("Ito.vrn"), itoFile("file"));
    model.Reload(path("ITO"));
    EXPECT_EQ(locateOf("ITO"), shownBefore) << "read on the window's thread";
    ASSERT_TRUE(queue.Drain(10000)); // read; the result waits for the window's thread
    if (GetParam().whileRead)
        act(GetParam().doing);
    deliver();
    EXPECT_EQ(locateOf("ITO"), GetParam().shown) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(Table, QueuedModel,
                         ::testing::Values(Around{"nothing else happens", Doing::Nothing, false, "file"},
                                           Around{"a datagram for him before", Doing::DatagramForHim, false, "file"},
                                           Around{"a datagram for him meanwhile", Doing::DatagramForHim, true,
                                                  "datagram"},
                                           Around{"a datagram for another", Doing::DatagramForAnother, true, "file"},
                                           Around{"the whole board loaded", Doing::FullLoad, true, "newer"},
                                           Around{"the board shown afresh", Doing::ShowAgain, true, ""}));

using QueuedStamp = QueuedModel;

TEST_F(QueuedStamp, IsCheckedOffTheWindowsThreadAndItsMemberReadThere)
{
    share.writeBytes(QStringLiteral("Ito.vrn"), itoFile("file"));
    share.writeBytes(QStringLiteral("timestmp.dat"), "50\r\nITO\r\n");
    // The server does not answer: every poll returns at once, and polls do not pile up.
    std::promise<void> gate;
    queue.Post({}, [answered = gate.get_future().share()] { answered.wait(); });
    QSignalSpy order(&model, &BoardModel::OrderChanged);
    for (int minute = 0; minute < 10; ++minute)
        EXPECT_FALSE(model.ReloadLastCommit());
    EXPECT_LE(queue.Pending(), 2);
    gate.set_value();
    deliver();
    EXPECT_EQ(model.TimeStamp(), 50);
    EXPECT_EQ(locateOf("ITO"), "file");
    EXPECT_EQ(order.count(), 1);
}

TEST_F(QueuedStamp, ReadBeforeAnOwnCommitDoesNotMakeThatCommitNew)
{
    QSignalSpy order(&model, &BoardModel::OrderChanged);
    model.ReloadLastCommit();
    ASSERT_TRUE(queue.Drain(10000)); // it read counter 41
    model.NoteCommit(42, path("UEDA"));
    share.writeBytes(QStringLiteral("timestmp.dat"), "42\r\nUEDA\r\n");
    model.ReloadLastCommit();
    deliver();
    EXPECT_EQ(model.TimeStamp(), 42);
    EXPECT_EQ(model.LastCommitFile(), path("UEDA"));
    EXPECT_EQ(order.count(), 0) << "this copy reloaded its own change";
}

} // namespace
