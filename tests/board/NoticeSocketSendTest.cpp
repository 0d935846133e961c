#include "NoticeFixture.h"

namespace {

const QByteArray Eod = "\x01Vrn3_Eod";
constexpr quint16 ShownPort = 2001;

enum class Action { Status, Started, Stopped, MemoToUeda, MemoToKato, MemoToNobody };

struct SendCase
{
    const char* name;
    qint32 mode;
    bool listening;
    Action action;
    QList<QByteArray> addresses;
};

class SendingOffice : public NoticeOffice
{
protected:
    // The own board decides the mode and the listener; the board on show gives the port.
    void prepare(qint32 mode, bool listening)
    {
        copy->boards[0].UdpMode = mode;
        copy->boards.append(ParmRec{});
        copy->boards[1].UdpPort = ShownPort;
        copy->currentBoard = 1;
        if (listening) {
            ASSERT_TRUE(copy->notice->StartListener("127.0.0.1"));
        }
    }

    // What the action sends, as the test spells the bytes.
    QByteArray act(Action action, const QByteArray& locate = "x")
    {
        const QByteArray ito = QByteArray(path("ITO")).replace('/', '\\');
        const QByteArray own = QByteArray(path("OWN")).replace('/', '\\');
        switch (action) {
        case Action::Status: {
            TVurnaDataRec r = copy->member("ITO");
            r.Locate = locate;
            r.Date = "2026/12/09";
            r.Time = "17:00";
            r.StatusIndex = 1;
            copy->notice->SendStatusNotice(r);
            return "\x01Vrn3_Dat" + ito + "\x01Vrn3_Date2026/12/09\x01Vrn3_Time17:00\x01Vrn3_Icon1\x01Vrn3_Locate" +
                   locate + Eod;
        }
        case Action::Started:
            copy->notice->SendRunningNotice(copy->own, true);
            return "\x01Vrn3_On" + own + "\x01Vrn3_IP192.168.1.20" + Eod;
        case Action::Stopped:
            copy->notice->SendRunningNotice(copy->own, false);
            return "\x01Vrn3_Off" + own + Eod;
        case Action::MemoToUeda:
            copy->notice->SendMemoNotice(path("UEDA"));
            return "\x01Vrn3_Msg" + QByteArray(path("UEDA")).replace('/', '\\') + Eod;
        case Action::MemoToKato:
            copy->notice->SendMemoNotice(path("KATO"));
            return {};
        case Action::MemoToNobody:
            copy->notice->SendMemoNotice(path("NOBODY"));
            return {};
        }
        return {};
    }
};

class Sending : public SendingOffice, public ::testing::WithParamInterface<SendCase>
{
};

TEST_P(Sending, GoesToTheseAddressesOnTheShownBoardsPort)
{
    const SendCase& c = GetParam();
    prepare(c.mode, c.listening);
    const QByteArray datagram = act(c.action);
    QList<SentDatagram> expected;
    for (const QByteArray& address : c.addresses)
        expected.append(SentDatagram{datagram, address, ShownPort});
    EXPECT_EQ(copy->sent, expected);
    EXPECT_TRUE(copy->status.texts.isEmpty());
}

const QByteArray Near = "192.168.1.30";
const QByteArray Far = "192.168.2.5";
const QByteArray Broadcast = "192.168.1.255";

INSTANTIATE_TEST_SUITE_P(Table, Sending,
                         ::testing::Values(SendCase{"StatusDirect", 1, true, Action::Status, {Near, Far}},
                                           SendCase{"StatusBroadcast", 3, true, Action::Status, {Broadcast, Far}},
                                           SendCase{"StartedDirect", 1, true, Action::Started, {Near, Far}},
                                           SendCase{"StoppedBroadcast", 3, true, Action::Stopped, {Broadcast, Far}},
                                           SendCase{"MemoOnlyToTheRecipient", 3, true, Action::MemoToUeda, {Far}},
                                           SendCase{"MemoToAMemberWithoutAddress", 1, true, Action::MemoToKato, {}},
                                           SendCase{"MemoToSomeoneNotOnTheBoard", 1, true, Action::MemoToNobody, {}},
                                           SendCase{"ModeZeroSendsNoStatus", 0, true, Action::Status, {}},
                                           SendCase{"ModeZeroSendsNoMemo", 0, true, Action::MemoToUeda, {}},
                                           SendCase{"NoListenerNoStatus", 1, false, Action::Status, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Failures: every destination is tried, each failure is reported

struct FailureCase
{
    const char* name;
    int result;
    Action action;
    int attempts;
    QStringList shown;
};

class SendFailure : public SendingOffice, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(SendFailure, IsReportedAndTheNextDestinationStillTried)
{
    const FailureCase& c = GetParam();
    prepare(1, true);
    copy->sendResult = c.result;
    act(c.action);
    EXPECT_EQ(copy->sent.size(), c.attempts);
    EXPECT_EQ(copy->status.texts, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SendFailure,
    ::testing::Values(
        FailureCase{"Unreachable",
                    ChangeNotice::HostUnreachable,
                    Action::Status,
                    2,
                    {QStringLiteral("【障害】回線がつながっていない為、UDPメッセージの送信に失敗しました。"),
                     QStringLiteral("【障害】回線がつながっていない為、UDPメッセージの送信に失敗しました。")}},
        FailureCase{"OtherReason",
                    ChangeNotice::SendFailed,
                    Action::Stopped,
                    2,
                    {QStringLiteral("【障害】何らかの原因により、UDPメッセージの送信に失敗しました。"),
                     QStringLiteral("【障害】何らかの原因により、UDPメッセージの送信に失敗しました。")}},
        FailureCase{"Memo",
                    ChangeNotice::SendFailed,
                    Action::MemoToUeda,
                    1,
                    {QStringLiteral("【障害】IPアドレス 192.168.2.5 へのUDP送信が失敗しました。")}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// A status that one datagram cannot carry is not sent at all

struct SizeCase
{
    const char* name;
    qsizetype datagramBytes;
    bool sent;
};

class OversizedStatus : public SendingOffice, public ::testing::WithParamInterface<SizeCase>
{
};

TEST_P(OversizedStatus, IsNotSentAndWarns)
{
    const SizeCase& c = GetParam();
    prepare(1, true);
    const qsizetype overhead = act(Action::Status, "").size();
    copy->sent.clear();
    const QByteArray datagram = act(Action::Status, QByteArray(c.datagramBytes - overhead, 'a'));
    ASSERT_EQ(datagram.size(), c.datagramBytes);
    if (c.sent) {
        ASSERT_EQ(copy->sent.size(), 2);
        EXPECT_EQ(copy->sent.at(0).datagram, datagram); // whole, never cut
        EXPECT_TRUE(copy->status.texts.isEmpty());
    } else {
        EXPECT_TRUE(copy->sent.isEmpty());
        EXPECT_EQ(copy->status.texts,
                  QStringList{QStringLiteral("【警告】行き先が長すぎる為、UDPメッセージを送信しませんでした。")});
    }
}

INSTANTIATE_TEST_SUITE_P(Table, OversizedStatus,
                         ::testing::Values(SizeCase{"LargestThatFits", 65507, true},
                                           SizeCase{"OneByteTooMany", 65508, false},
                                           SizeCase{"FarTooLong", 200000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
