#include "NoticeFixture.h"
#include "board/Datagram.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

namespace {

// Waiting goes through QTest::qWaitFor: the QTRY_ and QCOMPARE macros only return from the
// test body on failure, which GoogleTest would count as a pass.

// Two copies on one host, each on its own loopback address as VURNA_ADDRESS would give them:
// OWN at 127.0.0.1 and ITO at 127.0.0.2, both on one port. UEDA is on the board too.
class Loopback : public ::testing::Test
{
protected:
    void SetUp() override
    {
        share.writeBytes(QStringLiteral("Own.vrn"),
                         noticeMember(QStringLiteral("ｼﾞﾌﾞﾝ"), QStringLiteral("自分"), "127.0.0.1"));
        share.writeBytes(QStringLiteral("Ito.vrn"),
                         noticeMember(QStringLiteral("ｲﾄｳ"), QStringLiteral("伊藤"), "127.0.0.2"));
        share.writeBytes(QStringLiteral("Ueda.vrn"), noticeMember(QStringLiteral("ｳｴﾀﾞ"), QStringLiteral("上田"), ""));
        a = std::make_unique<NoticeCopy>(share, "OWN", "127.0.0.1");
        b = std::make_unique<NoticeCopy>(share, "ITO", "127.0.0.2");
    }

    // A listens on a port the system picks; B joins it there. Both send to that port.
    void listen(qint32 modeA, const QByteArray& bindA, qint32 modeB)
    {
        a->boards[0].UdpMode = modeA;
        b->boards[0].UdpMode = modeB;
        ASSERT_TRUE(a->notice->StartListener(bindA));
        port = a->notice->ListenerPort();
        ASSERT_NE(port, 0);
        a->boards[0].UdpPort = port;
        b->boards[0].UdpPort = port;
        ASSERT_TRUE(b->notice->StartListener("127.0.0.2"));
        ASSERT_EQ(b->notice->ListenerPort(), port);
    }

    FreshProfile profile;
    TestShare share;
    std::unique_ptr<NoticeCopy> a;
    std::unique_ptr<NoticeCopy> b;
    quint16 port = 0;
};

// A Locate longer than the 4096-byte pieces a datagram might be read in, with a line break.
QByteArray longLocate()
{
    return QByteArray(6000, 'a') + "\r\n" + sjis({0x91, 0xE5, 0x8D, 0xE3}) + QByteArray(6000, 'b');
}

struct ExchangeCase
{
    const char* name;
    qint32 modeA;
    QByteArray bindA; // empty: every address
    qint32 modeB;
};

class Exchange : public Loopback, public ::testing::WithParamInterface<ExchangeCase>
{
};

TEST_P(Exchange, StatusArrivesWholeAtTheOtherCopy)
{
    const ExchangeCase& c = GetParam();
    listen(c.modeA, c.bindA, c.modeB);
    QSignalSpy changed(&b->model, &BoardModel::MemberChanged);
    TVurnaDataRec ueda = a->member("UEDA");
    ueda.Locate = longLocate();
    ueda.Date = "2026/12/09";
    ueda.Time = "17:00";
    ueda.StatusIndex = 2;

    a->notice->SendStatusNotice(ueda);

    ASSERT_TRUE(QTest::qWaitFor([&] { return changed.count() == 1; }, 5000));
    EXPECT_EQ(changed.at(0).at(0).toByteArray(), b->member("UEDA").FileName);
    const TVurnaDataRec arrived = b->member("UEDA");
    EXPECT_EQ(arrived.Locate, ueda.Locate);
    EXPECT_EQ(arrived.Date, ueda.Date);
    EXPECT_EQ(arrived.Time, ueda.Time);
    EXPECT_EQ(arrived.StatusIndex, 2);
    EXPECT_TRUE(a->status.texts.isEmpty());
    EXPECT_TRUE(b->status.texts.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, Exchange,
    ::testing::Values(ExchangeCase{"Direct", 1, "127.0.0.1", 1},
                      // B is bound to its own address alone; the broadcast reaches it all the same.
                      ExchangeCase{"BroadcastToACopyBoundToOneAddress", 3, "", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Loopback, EmptyDatagramDoesNotStallTheListener)
{
    listen(1, "127.0.0.1", 1);
    QSignalSpy changed(&b->model, &BoardModel::MemberChanged);
    QUdpSocket raw;
    ASSERT_TRUE(raw.bind(QHostAddress(QStringLiteral("127.0.0.3")), 0));
    ASSERT_EQ(raw.writeDatagram(QByteArray(), QHostAddress(QStringLiteral("127.0.0.2")), port), 0);
    const QByteArray stopped = "\x01Vrn3_Off\\ELSEWHERE\\UEDA";
    ASSERT_EQ(raw.writeDatagram(stopped, QHostAddress(QStringLiteral("127.0.0.2")), port), stopped.size());
    ASSERT_TRUE(QTest::qWaitFor([&] { return changed.count() == 1; }, 5000));
    EXPECT_FALSE(b->member("UEDA").Running);
}

TEST_F(Loopback, ListenerStoppedByAHandlerReadsNoFurther)
{
    listen(1, "127.0.0.1", 1);
    // Shutdown stops the listener from inside the handling of an end datagram.
    QObject::connect(b->notice.get(), &ChangeNotice::EndRequested, b->notice.get(),
                     [this] { b->notice->StopListener(); });
    QSignalSpy end(b->notice.get(), &ChangeNotice::EndRequested);
    QUdpSocket raw;
    ASSERT_TRUE(raw.bind(QHostAddress(QStringLiteral("127.0.0.3")), 0));
    const QHostAddress to(QStringLiteral("127.0.0.2"));
    const QByteArray stopped = "\x01Vrn3_Off\\S\\UEDA";
    // Both are queued before the event loop runs, so one read pass meets them together.
    ASSERT_EQ(raw.writeDatagram(QByteArray("\x01Vrn3_End"), to, port), 9);
    ASSERT_EQ(raw.writeDatagram(stopped, to, port), stopped.size());
    ASSERT_TRUE(QTest::qWaitFor([&] { return end.count() == 1; }, 5000));
    EXPECT_FALSE(b->notice->Active());
    EXPECT_TRUE(b->member("UEDA").Running);
}

TEST_F(Loopback, PortTakenExclusivelyLeavesTheCopySilent)
{
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0, QAbstractSocket::DontShareAddress));
    a->boards[0].UdpPort = holder.localPort();

    EXPECT_FALSE(a->notice->StartListener("127.0.0.1"));
    EXPECT_FALSE(a->notice->Active());
    EXPECT_TRUE(a->notice->GetOwnAddress().isEmpty());
    EXPECT_EQ(a->status.texts,
              QStringList{
                  QStringLiteral("【警告】ソケットが利用できない為、不在設定や伝言は他のVurnaに即時通知されません。")});
    // Without an address nothing goes out.
    TVurnaDataRec ueda = a->member("UEDA");
    ueda.Locate = "x";
    a->notice->SendStatusNotice(ueda);
    EXPECT_EQ(a->status.texts.size(), 1);
}

// ---------------------------------------------------------------------------------------------
// The diagnostics that end-to-end tests read

QStringList* capturedLines = nullptr;

void capture(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (capturedLines && QByteArray(context.category) == "vurna.udp")
        capturedLines->append(message);
}

class Diagnostics : public Loopback
{
protected:
    void SetUp() override
    {
        Loopback::SetUp();
        capturedLines = &lines;
        m_previous = qInstallMessageHandler(capture);
        QLoggingCategory::setFilterRules(QStringLiteral("vurna.udp.info=true"));
    }
    void TearDown() override
    {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(m_previous);
        capturedLines = nullptr;
    }

    QStringList lines;

private:
    QtMessageHandler m_previous = nullptr;
};

TEST_F(Diagnostics, NameWhatWasSentReceivedAndApplied)
{
    listen(1, "127.0.0.1", 1);
    QSignalSpy changed(&b->model, &BoardModel::MemberChanged);
    QSignalSpy memo(b->notice.get(), &ChangeNotice::MemoArrived);
    TVurnaDataRec ueda = a->member("UEDA");
    ueda.Locate = "x";
    a->notice->SendStatusNotice(ueda);
    ASSERT_TRUE(QTest::qWaitFor([&] { return changed.count() == 1; }, 5000));
    a->notice->SendMemoNotice(a->member("ITO").FileName);
    ASSERT_TRUE(QTest::qWaitFor([&] { return memo.count() == 1; }, 5000));
    b->notice->HandleDatagram("\x01Vrn3_Dat\\S\\UEDA", "127.0.0.2");

    const QString p = QString::number(port);
    for (const QString& expected :
         {QStringLiteral("listening on 127.0.0.1:") + p, QStringLiteral("listening on 127.0.0.2:") + p,
          QStringLiteral("sent status to 127.0.0.2:") + p, QStringLiteral("received status from 127.0.0.1"),
          QStringLiteral("applied status UEDA"), QStringLiteral("sent memo to 127.0.0.2:") + p,
          QStringLiteral("received memo from 127.0.0.1"), QStringLiteral("memo arrived for ITO"),
          QStringLiteral("ignored status from own address")})
        EXPECT_TRUE(lines.contains(expected)) << expected.toStdString() << "\n" << lines.join('\n').toStdString();
}

} // namespace
