#include "platform/Clock.h"
#include "platform/DosAttributes.h"
#include "platform/FolderChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/ShareQueue.h"
#include "session/DengonDelivery.h"
#include "store/ParcelPost.h"
#include "store/StatusSink.h"
#include "support/TestShare.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <future>

// What each OS does to a folder on disk, beside this file (DeliveryTest_posix.cpp, _win.cpp).
namespace DeliveryDisk {
// Sets the modification time of a file or folder `days` back.
void MakeOld(const QString& path, int days);
// Gives a folder a hidden state that cannot be read; false where the OS has no such state.
bool SpoilHiddenState(const QString& folder);
} // namespace DeliveryDisk

namespace {

using DeliveryDisk::MakeOld;

class RecordingStatus final : public StatusSink
{
public:
    std::function<void(const QString&)> onText;
    QStringList texts;
    QList<int> progress;
    void setStatusText(const QString& text) override
    {
        texts.append(text);
        if (onText)
            onText(text);
    }
    void setProgress(int percent) override { progress.append(percent); }
};

class Delivery : public ::testing::Test
{
protected:
    Delivery()
    {
        delivery = std::make_unique<DengonDelivery>(
            DeliveryContext{.status = status,
                            .boxes = boxes,
                            .clock = clock,
                            .folders = folders,
                            .announceMemo = [this](const QByteArray& recipient) { announced.append(recipient); },
                            .memoPolicy = {}});
    }

    // A file to drop, outside the share.
    QByteArray dropped(const QString& name, const QByteArray& bytes)
    {
        writeFile(outside.path() + QLatin1Char('/') + name, bytes);
        return cp932(outside.path() + QLatin1Char('/') + name);
    }
    QString inbox(const QString& member) const { return share.realPath() + member; }
    QStringList entries(const QString& dir) const
    {
        return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    TestShare share;
    QTemporaryDir outside;
    QTemporaryDir chosen;
    RecordingStatus status;
    ScriptedMessageBoxes boxes;
    ScriptedFolderChooser folders;
    FixedClock clock{QDateTime::currentDateTime()};
    QList<QByteArray> announced;
    std::unique_ptr<DengonDelivery> delivery;
};

TEST_F(Delivery, TwoFilesToTwoMembersEachParcelShownOnlyWhenComplete)
{
    const QByteArray one = dropped(QStringLiteral("one.txt"), "1");
    const QByteArray two = dropped(QStringLiteral("二.txt"), "22");
    const QByteArray label = ParcelPost::BatchLabel("yamada", QDateTime(QDate(2024, 4, 1), QTime(9, 5, 3)));
    const QByteArray a = share.dataSource() + "A";
    const QByteArray b = share.dataSource() + "B";
    const QString parcelA = inbox(QStringLiteral("A/")) + QString::fromUtf8("yamadaさんからのVurna便 4月1日 9時5分3秒");
    const QString parcelB = inbox(QStringLiteral("B/")) + QString::fromUtf8("yamadaさんからのVurna便 4月1日 9時5分3秒");
    // What the recipients' copies would see as each file sets out (the items before it done).
    const auto look = [](const QString& parcel) {
        return !QFileInfo::exists(parcel)                                      ? "none"
               : DosAttributes::IsHidden(parcel) == DosAttributes::Hidden::Yes ? "hidden"
                                                                               : "shown";
    };
    QStringList seen;
    status.onText = [&](const QString& text) {
        if (text.startsWith(QStringLiteral("Vurna便を運んでいます。")))
            seen.append(QLatin1String(look(parcelA)) + QLatin1Char(' ') + QLatin1String(look(parcelB)));
    };

    delivery->ProcessSendList(ParcelPost::BuildSendList(label, {a, b}, {one, two}, "memo"), share.dataSource());

    // A's parcel shows once its last file is in; B's is made hidden at its first.
    EXPECT_EQ(seen, (QStringList{"none none", "hidden none", "shown none", "shown hidden"}));
    EXPECT_EQ(look(parcelB), QLatin1String("shown"));
    EXPECT_EQ(entries(parcelA), (QStringList{QStringLiteral("one.txt"), QStringLiteral("二.txt")}));
    EXPECT_EQ(entries(parcelB), entries(parcelA));
    EXPECT_EQ(share.readBytes(QStringLiteral("A.mil")), "memo\r\n\r\n\r\n");
    EXPECT_EQ(announced, (QList<QByteArray>{a, b}));
    EXPECT_EQ(status.texts.last(), QString());
    EXPECT_EQ(status.progress.last(), -1);
}

TEST_F(Delivery, TwoSendingsInOneSecondGetFoldersOfTheirOwn)
{
    const QByteArray file = dropped(QStringLiteral("f.txt"), "x");
    const QList<QByteArray> lines = ParcelPost::BuildSendList("L", {share.dataSource() + "A"}, {file}, "m");
    delivery->ProcessSendList(lines, share.dataSource());
    delivery->ProcessSendList(lines, share.dataSource());
    EXPECT_EQ(entries(inbox(QStringLiteral("A"))), (QStringList{QStringLiteral("L"), QStringLiteral("L (2)")}));
}

TEST_F(Delivery, ADestinationOutsideAnInboxCreatesNothing)
{
    const QByteArray file = dropped(QStringLiteral("f.txt"), "x");
    const QByteArray elsewhere = cp932(outside.path()) + "/victim/L/";
    delivery->ProcessSendList({ParcelPost::FileLine(file, elsewhere),
                               ParcelPost::FileLine(file, share.dataSource() + "A/../../L/"),
                               ParcelPost::MemoLine(cp932(outside.path()) + "/victim", "memo")},
                              share.dataSource());
    EXPECT_EQ(entries(outside.path()), QStringList{QStringLiteral("f.txt")});
    EXPECT_EQ(entries(share.realPath()), QStringList());
    EXPECT_TRUE(announced.isEmpty());
    EXPECT_EQ(
        status.texts.last(),
        QStringLiteral("Vurna便ファイル(f.txt)の送信中にエラーが発生しました。 伝言の送信中にエラーが発生しました"));
}

TEST_F(Delivery, AMemoThatCannotBeStoredSendsNoDatagram)
{
    // A ".mil" that cannot be read must not be written over as if it were empty.
    QDir().mkpath(share.realPath() + QStringLiteral("A.mil"));
    delivery->ProcessSendList({ParcelPost::MemoLine(share.dataSource() + "A", "hello")}, share.dataSource());
    EXPECT_TRUE(announced.isEmpty());
    EXPECT_EQ(status.texts.last(), QStringLiteral("伝言の送信中にエラーが発生しました"));
}

TEST_F(Delivery, AParcelThatReceivedNothingLeavesNoFolder)
{
    // The dropped file is gone by the time it is sent: nothing reaches the parcel.
    const QByteArray gone = cp932(outside.path()) + "/gone.txt";
    delivery->ProcessSendList(ParcelPost::BuildSendList("L", {share.dataSource() + "A"}, {gone}, "m"),
                              share.dataSource());
    EXPECT_EQ(entries(inbox(QStringLiteral("A"))), QStringList());
    EXPECT_EQ(status.texts.last(), QStringLiteral("Vurna便ファイル(gone.txt)の送信中にエラーが発生しました。"));
}

class Reception : public Delivery
{
protected:
    void SetUp() override
    {
        writeFile(inbox(QStringLiteral("ME/parcel/a.txt")), "a");
        writeFile(inbox(QStringLiteral("ME/stale/b.txt")), "b");
        ASSERT_TRUE(DosAttributes::SetHidden(inbox(QStringLiteral("ME/stale")), true));
        MakeOld(inbox(QStringLiteral("ME/stale")), 2);
        writeFile(inbox(QStringLiteral("ME/fresh/c.txt")), "c");
        ASSERT_TRUE(DosAttributes::SetHidden(inbox(QStringLiteral("ME/fresh")), true));
    }
    void receive() { delivery->ReceiveParcels(share.dataSource() + "ME", share.dataSource()); }
};

TEST_F(Reception, ArrivedParcelMovedStaleHiddenFolderDeletedFreshOneKept)
{
    folders.setNextAnswer(chosen.path());
    receive();
    EXPECT_EQ(folders.asked(), QStringList{DengonDelivery::ChooserHeading()});
    EXPECT_EQ(entries(chosen.path()), QStringList{QStringLiteral("parcel")});
    EXPECT_EQ(entries(inbox(QStringLiteral("ME"))), QStringList{QStringLiteral("fresh")});
    EXPECT_EQ(status.texts.last(), QString());
}

TEST_F(Reception, CancelledChooserLeavesEverythingAndAsksAgain)
{
    receive();
    EXPECT_EQ(entries(inbox(QStringLiteral("ME"))).size(), 3);
    folders.setNextAnswer(chosen.path());
    receive();
    EXPECT_EQ(folders.asked().size(), 2);
    EXPECT_EQ(entries(chosen.path()), QStringList{QStringLiteral("parcel")});
}

TEST_F(Reception, ANameTakenInTheChosenFolderGetsAFreeName)
{
    writeFile(chosen.path() + QStringLiteral("/parcel/mine.txt"), "mine");
    folders.setNextAnswer(chosen.path());
    receive();
    EXPECT_EQ(entries(chosen.path()), (QStringList{QStringLiteral("parcel"), QStringLiteral("parcel (2)")}));
    EXPECT_EQ(entries(chosen.path() + QStringLiteral("/parcel")), QStringList{QStringLiteral("mine.txt")});
}

TEST_F(Reception, AnOldFolderWhoseStateCannotBeReadIsTakenNeverDeleted)
{
    QDir(inbox(QStringLiteral("ME/parcel"))).removeRecursively();
    writeFile(inbox(QStringLiteral("ME/unknown/d.txt")), "d");
    if (!DeliveryDisk::SpoilHiddenState(inbox(QStringLiteral("ME/unknown"))))
        GTEST_SKIP() << "the hidden attribute can always be read here";
    MakeOld(inbox(QStringLiteral("ME/unknown")), 3);
    ASSERT_EQ(DosAttributes::IsHidden(inbox(QStringLiteral("ME/unknown"))), DosAttributes::Hidden::Unknown);
    folders.setNextAnswer(chosen.path());
    receive();
    EXPECT_EQ(entries(chosen.path()), QStringList{QStringLiteral("unknown")});
}

TEST_F(Reception, AnEmptyParcelIsNoArrivalAndGoesWhenADayOld)
{
    QDir(inbox(QStringLiteral("ME/parcel"))).removeRecursively();
    QDir().mkpath(inbox(QStringLiteral("ME/empty")));
    receive();
    EXPECT_TRUE(folders.asked().isEmpty());
    EXPECT_EQ(status.progress.last(), -1); // the bar is emptied on the way out
    MakeOld(inbox(QStringLiteral("ME/empty")), 2);
    writeFile(inbox(QStringLiteral("ME/parcel/a.txt")), "a");
    folders.setNextAnswer(chosen.path());
    receive();
    EXPECT_EQ(entries(chosen.path()), QStringList{QStringLiteral("parcel")});
    EXPECT_EQ(entries(inbox(QStringLiteral("ME"))), QStringList{QStringLiteral("fresh")});
}

TEST_F(Reception, OnlyHiddenFoldersWaitingMeansNoQuestion)
{
    QDir(inbox(QStringLiteral("ME/parcel"))).removeRecursively();
    receive();
    EXPECT_TRUE(folders.asked().isEmpty());
    EXPECT_EQ(entries(inbox(QStringLiteral("ME"))), (QStringList{QStringLiteral("fresh"), QStringLiteral("stale")}));
}

TEST_F(Reception, OnTheQueueNothingWaitsForTheShareAndEachThingHappensOnce)
{
    ShareQueue queue;
    DengonDelivery queued(DeliveryContext{.status = status,
                                          .boxes = boxes,
                                          .clock = clock,
                                          .folders = folders,
                                          .announceMemo = [this](const QByteArray& to) { announced.append(to); },
                                          .memoPolicy = {},
                                          .queue = &queue});
    // A share that does not answer yet.
    std::promise<void> answer;
    queue.Post({}, [gate = answer.get_future().share()] { gate.wait(); });
    const QByteArray a = share.dataSource() + "A";
    queued.ProcessSendList(ParcelPost::BuildSendList("L", {a}, {dropped(QStringLiteral("f.txt"), "x")}, "memo"),
                           share.dataSource());
    queued.ReceiveParcels(share.dataSource() + "ME", share.dataSource());
    queued.ReceiveParcels(share.dataSource() + "ME", share.dataSource()); // while the first is under way
    EXPECT_FALSE(share.exists(QStringLiteral("A.mil")));
    EXPECT_TRUE(announced.isEmpty());
    EXPECT_TRUE(folders.asked().isEmpty()) << "asked before the share said what arrived";

    folders.setNextAnswer(chosen.path());
    answer.set_value();
    for (int round = 0; round < 4; ++round) {
        ASSERT_TRUE(queue.Drain(10000));
        QCoreApplication::sendPostedEvents();
    }
    EXPECT_EQ(share.readBytes(QStringLiteral("A.mil")), "memo\r\n\r\n\r\n");
    EXPECT_EQ(announced, QList<QByteArray>{a});
    EXPECT_EQ(entries(inbox(QStringLiteral("A/L"))), QStringList{QStringLiteral("f.txt")});
    EXPECT_EQ(folders.asked().size(), 1);
    EXPECT_EQ(entries(chosen.path()), QStringList{QStringLiteral("parcel")});
    EXPECT_EQ(status.progress.last(), -1);
}

} // namespace
