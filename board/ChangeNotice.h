#pragma once

#include "board/NoticeReceiver.h"
#include "board/NoticeSocket.h"
#include "board/StatusNotifier.h"
#include "store/ParmRec.h"
#include "store/TVurnaDataRec.h"
#include "store/VurnaLog.h"

#include <QByteArray>
#include <QObject>

#include <functional>

class Clock;
class MinuteScheduler;
class StatusSink;
class LocalSettings;
class BoardModel;
class ShareQueue;

// What the datagram side works with; everything lives in the main window and the references
// stay valid for the notice's whole life.
struct NoticeContext
{
    BoardModel& board;         // the board on show
    MinuteScheduler& minutes;  // its periodic checks, which a datagram's news postpones
    const TVurnaDataRec& own;  // the own record
    const ParmRecList& boards; // element 0 = own board (sending mode, listener port); ...
    const int& currentBoard;   // ... boards[currentBoard].UdpPort = destination port of every datagram
    StatusSink& status;        // warnings and faults for the status bar
    LocalSettings& settings;   // a share-moved datagram stores "ShareDir" here
    const Clock& clock;        // log entry times
    // Where the log's lines go off the window's thread; written at once without one.
    VurnaLog::Appender logAppender = nullptr;
    // Where the tests of a share-moved request run; at once without one. Not the share's own
    // queue: the sender names any folder on any server, which must not hold up the board's work.
    ShareQueue* queue = nullptr;
};

// The notification datagrams of this copy: it tells the other copies at once what changed
// here (NoticeSocket), and applies what they tell (NoticeReceiver). Everything runs on the GUI
// thread: the socket reports arrivals through the event loop, and a datagram that arrives
// while the board is loading is handled once the load is done.
class ChangeNotice final : public QObject, public StatusNotifier
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChangeNotice)

public:
    using SendResult = NoticeSocket::SendResult;
    static constexpr SendResult Sent = NoticeSocket::Sent;
    static constexpr SendResult HostUnreachable = NoticeSocket::HostUnreachable;
    static constexpr SendResult SendFailed = NoticeSocket::SendFailed;
    static constexpr qint64 ReloadQuietMs = NoticeReceiver::ReloadQuietMs;
    static constexpr int MaxHeldDatagrams = NoticeReceiver::MaxHeldDatagrams;
    static constexpr qint64 MaxHeldBytes = NoticeReceiver::MaxHeldBytes;
    using Sender = NoticeSocket::Sender;

    explicit ChangeNotice(NoticeContext context, QObject* parent = nullptr);
    ~ChangeNotice() override;

    // See NoticeSocket.
    void SetAddressLookUp(std::function<QByteArray()> lookUp);
    bool StartListener(const QByteArray& bindAddress);
    void StopListener();
    bool Active() const;
    quint16 ListenerPort() const;
    QByteArray GetOwnAddress() const;

    void SendStatusNotice(const TVurnaDataRec& record) override;
    void SendRunningNotice(const TVurnaDataRec& own, bool running) override;
    void SendMemoNotice(const QByteArray& path);
    void SendNotice(const QByteArray& text);
    void SetSender(Sender send);

    // See NoticeReceiver.
    void HandleDatagram(const QByteArray& text, const QByteArray& senderAddress);
    void RunDueRequests();

signals:
    // A memo arrived for the own member: the window sets its new-memo flag and starts the alert.
    void MemoArrived();
    // The window shows the current board again.
    void ReloadRequested();
    // The window quits through its normal shutdown.
    void EndRequested();

private:
    // The parts hold references to it, so it comes first.
    NoticeContext m_context;
    NoticeSocket m_socket;
    NoticeReceiver m_receiver;
};
