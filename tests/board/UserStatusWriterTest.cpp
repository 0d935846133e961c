#include "board/UserStatusWriter.h"
#include "BoardModelFixture.h"
#include "board/StatusNotifier.h"
#include "board/UserFile.h"
#include "platform/ShareQueue.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <future>

namespace {

class Notices final : public StatusNotifier
{
public:
    void SendStatusNotice(const TVurnaDataRec& r) override { sent << r.FileName + " " + r.Locate; }
    void SendRunningNotice(const TVurnaDataRec& own, bool running) override
    {
        sent << own.FileName + (running ? " on" : " off");
    }
    QList<QByteArray> sent;
};

// The writer on a queue that a gate holds until the test opens it: what shows before the
// share has answered, and what after.
class QueuedWriter : public BoardModelFixture
{
protected:
    void SetUp() override
    {
        BoardModelFixture::SetUp();
        own = model.GetMember(2); // 伊藤
        writer.SetNotifier(&notices);
        writer.SetQueue(&queue, &receiver);
        queue.Post({}, [gate = gate.get_future().share()] { gate.wait(); });
    }
    void answer()
    {
        gate.set_value();
        ASSERT_TRUE(queue.Drain(10000));
        QCoreApplication::sendPostedEvents();
    }
    TVurnaDataRec away(const char* base, const char* locate) const
    {
        TVurnaDataRec r = model.GetMember(model.IndexOfMember(path(base)));
        r.Locate = locate;
        r.Date = "2026/12/09";
        return r;
    }
    QByteArray onFile(const QString& name) const
    {
        TVurnaDataRec r;
        ParseUserFile(share.readBytes(name), r);
        return r.Locate;
    }

    TVurnaDataRec own;
    Notices notices;
    ShareQueue queue;
    QObject receiver;
    UserStatusWriter writer{model, own};
    std::promise<void> gate;
};

TEST_F(QueuedWriter, TheBoardShowsAChangeAtOnceAndTheOthersHearOfItOnceWritten)
{
    TVurnaDataArray failed{TVurnaDataRec{}, TVurnaDataRec{}};
    writer.WriteUserFiles({TVurnaDataRec{}, away("ITO", "A"), away("UEDA", "B")}, true,
                          [&](const TVurnaDataArray& left) { failed = left; });
    EXPECT_EQ(model.GetMember(2).Locate, "A");
    EXPECT_EQ(own.Locate, "A");
    EXPECT_TRUE(notices.sent.isEmpty()) << "announced before the file was written";
    EXPECT_EQ(onFile(QStringLiteral("Ito.vrn")), "");

    answer();
    EXPECT_EQ(onFile(QStringLiteral("Ito.vrn")), "A");
    EXPECT_EQ(onFile(QStringLiteral("ueda.vrn")), "B");
    EXPECT_EQ(notices.sent, (QList<QByteArray>{path("ITO") + " A", path("UEDA") + " B"}));
    EXPECT_EQ(share.readBytes(QStringLiteral("timestmp.dat")), QByteArray("42\r\nITO\r\n"));
    EXPECT_EQ(model.TimeStamp(), 42) << "its own commit is no change to reload";
    EXPECT_EQ(failed.size(), 1);
    EXPECT_EQ(own.Locate, "A") << "a colleague's write went into the own record";
}

TEST_F(QueuedWriter, OnlyTheNewestWaitingWriteOfAMemberIsMadeAndTheAbsenceGoesOverTheFileAsItIsThen)
{
    const auto absence = UserStatusWriter::Fields::AbsenceOnly;
    writer.WriteUserFiles({TVurnaDataRec{}, away("ITO", "first")}, false, {}, absence);
    writer.WriteUserFiles({TVurnaDataRec{}, away("ITO", "second")}, false, {}, absence);
    // A whole record waiting is never replaced by an absence alone: its other fields would be lost.
    TVurnaDataRec renamed = away("UEDA", "whole");
    renamed.Name = cp932(QStringLiteral("上田二郎"));
    writer.WriteUserFile(renamed);
    writer.WriteUserFiles({TVurnaDataRec{}, away("UEDA", "later")}, false, {}, absence);
    // 伊藤 renamed himself on his own PC meanwhile.
    share.writeBytes(QStringLiteral("Ito.vrn"), memberFile(QStringLiteral("ｲﾄｳ"), QStringLiteral("伊藤一郎"), {}));
    answer();
    EXPECT_EQ(notices.sent,
              (QList<QByteArray>{path("ITO") + " second", path("UEDA") + " whole", path("UEDA") + " later"}));
    TVurnaDataRec ito, ueda;
    ParseUserFile(share.readBytes(QStringLiteral("Ito.vrn")), ito);
    ParseUserFile(share.readBytes(QStringLiteral("ueda.vrn")), ueda);
    EXPECT_EQ(ito.Locate, "second");
    EXPECT_EQ(ito.Name, cp932(QStringLiteral("伊藤一郎")));
    EXPECT_EQ(model.GetMember(2).Name, ito.Name) << "the board shows what the file holds";
    EXPECT_EQ(ueda.Locate, "later");
    EXPECT_EQ(ueda.Name, renamed.Name);
}

TEST_F(QueuedWriter, AWriteTheShareRefusesIsTakenBackFromTheBoardAndTheOwnRecord)
{
    // 伊藤's file is on a share that has gone away.
    TVurnaDataRec nowhere = model.GetMember(2);
    const QByteArray shown = nowhere.Locate;
    nowhere.FileName = "/nonexistent-folder/ITO";
    own = nowhere;
    model.SetMember(2, nowhere);
    nowhere.Locate = "lost";
    TVurnaDataArray failed;
    writer.WriteUserFile(nowhere, [&](const TVurnaDataArray& left) { failed = left; });
    EXPECT_EQ(own.Locate, "lost");
    answer();
    ASSERT_EQ(failed.size(), 2);
    EXPECT_EQ(failed.at(1).Locate, "lost");
    EXPECT_EQ(own.Locate, shown);
    EXPECT_EQ(model.GetMember(2).Locate, shown);
    EXPECT_TRUE(notices.sent.isEmpty()) << "a change nobody stored was announced";
}

TEST_F(QueuedWriter, TheStopMarkerIsAnnouncedOnlyOnceTheShareTookIt)
{
    bool marked = false;
    writer.SetStopMarker(true, [&](bool ok) { marked = ok; });
    EXPECT_FALSE(own.Running);
    EXPECT_TRUE(notices.sent.isEmpty());
    answer();
    EXPECT_TRUE(marked);
    EXPECT_TRUE(share.exists(QStringLiteral("ITO.off")));
    EXPECT_EQ(notices.sent, QList<QByteArray>{path("ITO") + " off"});
    EXPECT_EQ(model.TimeStamp(), 42);

    writer.SetStopMarker(false);
    // A guest has no marker to set and commits no change.
    TVurnaDataRec guest;
    UserStatusWriter guestWriter(model, guest);
    guestWriter.SetQueue(&queue, &receiver);
    guestWriter.SetStopMarker(true);
    ASSERT_TRUE(queue.Drain(10000));
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(share.exists(QStringLiteral("ITO.off")));
    EXPECT_TRUE(own.Running);
    EXPECT_EQ(notices.sent, (QList<QByteArray>{path("ITO") + " off", path("ITO") + " on"}));
    EXPECT_EQ(model.TimeStamp(), 43);
}

} // namespace
