// Memos and parcels between copies: the board window of this process writes them in its
// detail window; the real copies hear of them by datagram and take them in.

#include "CopyWorld.h"

#include "board/Datagram.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Cp932.h"
#include "platform/SjisText.h"
#include "session/DengonDelivery.h"
#include "store/ParcelPost.h"
#include "store/StatusSink.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QUdpSocket>

namespace {

constexpr int senders = 4;
constexpr int memosPerSender = 50;

QByteArray senderMemo(int sender, int n)
{
    return "memo " + QByteArray::number(sender) + "-" + QByteArray::number(n) + " end";
}

class Delivery : public CopyWorld
{
protected:
    // Every detail window that opens gets `memo` typed after its header and is sent.
    void sendWithMemo(const QString& memo)
    {
        window->Dialogs().SetInfoRunner([memo](TfrmInfo& form, const ParmRec& site, const TVurnaDataArray& selection,
                                               bool presetToday, TfrmInfo::Mode mode) {
            ASSERT_TRUE(form.Prepare(site, selection, presetToday, mode));
            form.findChild<QPlainTextEdit*>(QStringLiteral("memSend"))->appendPlainText(memo);
            form.findChild<QPushButton*>(QStringLiteral("btnSendOK"))->click();
        });
    }

    QStringList entries(const QString& dir) const
    {
        return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
};

TEST_F(Delivery, MemosWrittenInTheDetailWindowReachTheRecipientNewestFirst)
{
    startWorld("UDPMESSAGE SEND=IPDIRECT", 600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown("TANAKA").Running; }, 10000));
    for (const QString& memo : {QStringLiteral("memo A"), QStringLiteral("memo B")}) {
        sendWithMemo(memo);
        pick(QStringLiteral("田中"));
        action(QStringLiteral("popDengonSend"))->trigger();
    }
    const QByteArray mil = readShareFile(QStringLiteral("tanaka.mil"));
    EXPECT_TRUE(mil.startsWith(cp932(QStringLiteral("○山田より(伝言)     送信日時: 2024年 4月1日(月) 9時30分"))));
    EXPECT_TRUE(mil.contains("memo B\r\n\r\n\r\n" + cp932(QStringLiteral("○山田より"))));
    EXPECT_TRUE(mil.endsWith("memo A\r\n\r\n\r\n"));
    EXPECT_TRUE(tanaka->waitLog(QStringLiteral("memo arrived for TANAKA"), 10000)) << tanaka->log().toStdString();
    EXPECT_TRUE(tanaka->waitLog(QStringLiteral("tray reminder on"), 10000));
    EXPECT_FALSE(suzuki->hasLogged(QStringLiteral("memo arrived")));
}

TEST_F(Delivery, FilesDroppedOnTwoMembersArriveAsParcelsThatTheyTakeIn)
{
    startWorld("UDPMESSAGE SEND=IPDIRECT", 600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown("SUZUKI").Running && shown("TANAKA").Running; }, 10000));
    QTemporaryDir desk;
    for (const char* name : {"見積書.txt", "地図.txt"}) {
        QFile file(desk.path() + QLatin1Char('/') + QString::fromUtf8(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(name);
    }
    sendWithMemo(QStringLiteral("資料です"));
    pick(QStringLiteral("鈴木"));
    dropOn(QStringLiteral("田中"),
           {desk.path() + QStringLiteral("/見積書.txt"), desk.path() + QStringLiteral("/地図.txt")}, true);
    for (CopyProcess* copy : {suzuki.get(), tanaka.get()})
        EXPECT_TRUE(copy->waitLog(QStringLiteral("memo arrived"), 10000)) << copy->log().toStdString();
    EXPECT_EQ(suzuki->stop(), 0);
    EXPECT_EQ(tanaka->stop(), 0);

    const QString label = QStringLiteral("山田さんからのVurna便 4月1日 9時30分0秒");
    for (const auto& [base, name] : {std::pair{"suzuki", "鈴木"}, std::pair{"tanaka", "田中"}}) {
        // The recipient's own program, started on the recipient's PC, takes the parcel in.
        QTemporaryDir received;
        window.reset();
        writeSettings(QLatin1String(base), QString::fromUtf8(name));
        folders.setNextAnswer(received.path());
        ASSERT_TRUE(start());
        window->SwitchPage(&child<QWidget>("tabDengon"));
        settle();
        EXPECT_EQ(entries(received.path()), QStringList{label}) << base;
        EXPECT_EQ(entries(received.path() + QLatin1Char('/') + label),
                  (QStringList{QStringLiteral("地図.txt"), QStringLiteral("見積書.txt")}));
        EXPECT_FALSE(QFileInfo::exists(share.realPath() + QString::fromLatin1(base).toUpper())) << "inbox left";
        EXPECT_TRUE(
            readShareFile(QLatin1String(base) + QStringLiteral(".old")).contains(cp932(QStringLiteral("資料です"))));
    }
}

// One of the senders of the test below, in a process of its own.
TEST(DeliveryChild, Sender)
{
    const QByteArray target = qgetenv("VURNA_E2E_TARGET");
    if (target.isEmpty())
        GTEST_SKIP() << "only runs as a sender of FourSendersWhileTheMemberTakesMemosIn";
    const int sender = qEnvironmentVariableIntValue("VURNA_E2E_SENDER");
    const QString go = qEnvironmentVariable("VURNA_E2E_GO");
    QUdpSocket socket;
    ASSERT_TRUE(socket.bind(QHostAddress(qEnvironmentVariable("VURNA_E2E_FROM")), 0));
    const quint16 port = quint16(qEnvironmentVariableIntValue("VURNA_E2E_PORT"));

    class Quiet final : public StatusSink
    {
        void setStatusText(const QString&) override {}
        void setProgress(int) override {}
    } status;
    ScriptedMessageBoxes boxes;
    ScriptedFolderChooser folders;
    SystemClock clock;
    DengonDelivery delivery(DeliveryContext{.status = status,
                                            .boxes = boxes,
                                            .clock = clock,
                                            .folders = folders,
                                            .announceMemo =
                                                [&](const QByteArray& recipient) {
                                                    socket.writeDatagram(Datagram::MemoDatagram(recipient),
                                                                         QHostAddress(QStringLiteral("127.0.0.3")),
                                                                         port);
                                                },
                                            .memoPolicy = {}});
    while (!QFile::exists(go))
        QTest::qWait(1);
    for (int n = 0; n < memosPerSender; ++n) {
        ASSERT_TRUE(delivery.DeliverDengon(ParcelPost::MemoLine(target, senderMemo(sender, n)),
                                           SjisText::directoryPart(target)))
            << n;
        // People do not write fifty memos in one go: the pause lets the member's take-ins fall
        // between the memos, where the guard has to keep them apart.
        QTest::qWait(50);
    }
}

TEST_F(Delivery, FourSendersWhileTheMemberTakesMemosIn)
{
    // 鈴木's copy opens its memo page, and so takes the memos in, as each memo is announced.
    startWorld("UDPMESSAGE SEND=IPDIRECT", 600,
               [](CopyProcess& suzuki, CopyProcess&) { suzuki.setSetting(QStringLiteral("AutoDengonOpen"), 1); });
    const QString go = share.realPath() + QStringLiteral("../go.flag");
    std::vector<std::unique_ptr<QProcess>> children;
    for (int s = 0; s < senders; ++s) {
        auto child = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VURNA_E2E_TARGET"), Cp932::toUnicode(share.dataSource() + "SUZUKI"));
        env.insert(QStringLiteral("VURNA_E2E_SENDER"), QString::number(s));
        env.insert(QStringLiteral("VURNA_E2E_FROM"), QStringLiteral("127.0.0.%1").arg(5 + s));
        env.insert(QStringLiteral("VURNA_E2E_PORT"), QString::number(port));
        env.insert(QStringLiteral("VURNA_E2E_GO"), go);
        child->setProcessEnvironment(env);
        child->setProcessChannelMode(QProcess::MergedChannels);
        child->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=DeliveryChild.Sender")});
        ASSERT_TRUE(child->waitForStarted());
        children.push_back(std::move(child));
    }
    QFile(go).open(QIODevice::WriteOnly);
    for (auto& child : children) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return child->state() == QProcess::NotRunning; }, 120000));
        EXPECT_EQ(child->exitCode(), 0) << child->readAll().toStdString();
    }
    EXPECT_TRUE(suzuki->waitLog(QStringLiteral("unread memos taken in"), 10000)) << suzuki->log().toStdString();
    EXPECT_EQ(suzuki->stop(), 0);
    std::printf("the member took memos in %lld times while %d senders wrote\n",
                static_cast<long long>(suzuki->log().count(QStringLiteral("unread memos taken in"))), senders);

    const QByteArray all = readShareFile(QStringLiteral("suzuki.mil")) + readShareFile(QStringLiteral("suzuki.old"));
    int missing = 0, doubled = 0;
    for (int s = 0; s < senders; ++s) {
        for (int n = 0; n < memosPerSender; ++n) {
            const qsizetype count = all.count(senderMemo(s, n));
            missing += count == 0;
            doubled += count > 1;
        }
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(doubled, 0);
}

} // namespace
