#pragma once

#include "board/FloodGuard.h"
#include "board/StatusNotifier.h"
#include "store/ParmRec.h"
#include "store/TVurnaDataRec.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class Clock;
class MinuteScheduler;
class QUdpSocket;
class StatusSink;
class TLocalSettings;
class TVurnaBoardModel;

// What the datagram side works with; everything lives in the main window and the references
// stay valid for the notice's whole life.
struct TNoticeContext
{
    TVurnaBoardModel& board;  // the board on show
    MinuteScheduler& minutes; // its periodic checks, which a datagram's news postpones
    const TVurnaDataRec& own; // the own record
    const TParmArray& boards; // element 0 = own board (sending mode, listener port); ...
    const int& currentBoard;  // ... boards[currentBoard].UdpPort = destination port of every datagram
    StatusSink& status;       // warnings and faults for the status bar
    TLocalSettings& settings; // a share-moved datagram stores "ShareDir" here
    const Clock& clock;       // log entry times
};

// The notification datagrams of this copy: it tells the other copies at once what changed
// here, and applies what they tell. Everything runs on the GUI thread: the socket reports
// arrivals through the event loop, and a datagram that arrives while the board is loading is
// handled once the load is done.
//
// Any host on the LAN can send datagrams, at any rate. What one costs in file work per
// minute stays bounded, and a datagram at a normal rate is applied at once:
//  - status, started, stopped: no file work; the member's copy in memory changes.
//  - memo arrived: no file work; the periodic memo check only counts again from 0.
//  - reload: a full load, at most one per ReloadQuietMs (two a minute). A request in the
//    quiet time is remembered and the board is loaded once when it ends.
//  - share moved: directory tests (which read the share) for at most 3 requests per sender
//    and 10 in all a minute, the others refused untested; vurna.log gets one refusal entry per
//    sender a minute, the next one with the count of those not written, and at most 10 in
//    all a minute (ShareRequestGate); an obeyed move (which needs a test) is always logged.
//  - end: the program quits once.
// Datagrams that arrive while a load runs wait, at most MaxHeldDatagrams or MaxHeldBytes of
// them; beyond that the oldest are dropped, which the change stamp and the full reload repair
// as for any lost datagram, while the latest news of each member is kept.
class TVurnaNotice final : public QObject, public StatusNotifier
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TVurnaNotice)

public:
    // Outcome of one send.
    enum SendResult { Sent = 0, HostUnreachable = 1, SendFailed = 2 };
    static constexpr qint64 ReloadQuietMs = 30000;
    static constexpr int MaxHeldDatagrams = 1000;
    static constexpr qint64 MaxHeldBytes = 1 << 20;
    using Sender = std::function<int(const QByteArray& datagram, const QByteArray& address, quint16 port)>;

    explicit TVurnaNotice(TNoticeContext context, QObject* parent = nullptr);
    ~TVurnaNotice() override;

    // How the PC's own address is found (HostAddress::LookUpOwnAddress unless replaced). It is
    // looked up at the first need and then kept.
    void SetAddressLookUp(std::function<QByteArray()> lookUp);

    // Listens on the own board's port: on every IPv4 address when `bindAddress` is empty, else
    // on that address alone (several copies on one host, each on its own 127.0.0.x). The same
    // socket sends, so receivers see this copy's address as the sender. False, with the
    // warning in the status bar, when no socket can be had.
    bool StartListener(const QByteArray& bindAddress);
    void StopListener();
    bool Active() const;
    // The port actually bound (the own board's port; a port of 0 lets the system choose).
    quint16 ListenerPort() const;
    // The PC's address in dotted decimal; empty while the listener is not active, so a copy
    // that cannot be reached sends nothing either.
    QByteArray GetOwnAddress() const;

    void SendStatusNotice(const TVurnaDataRec& record) override;
    void SendRunningNotice(const TVurnaDataRec& own, bool running) override;
    // Tells one recipient of a memo, whatever the sending mode (but never in mode 0).
    void SendMemoNotice(const QByteArray& path);
    // Sends `text` and the closing key as the own board's mode says.
    void SendNotice(const QByteArray& text);

    // Applies one received datagram; deferred while the board is loading.
    void HandleDatagram(const QByteArray& text, const QByteArray& senderAddress);
    // Runs a reload request held back for the end of its quiet time, when that has come (by
    // the clock). A timer calls it; tests call it after moving the clock.
    void RunDueRequests();

    // Replaces the socket for sending (tests). The result is a SendResult.
    void SetSender(Sender send);

signals:
    // A memo arrived for the own member: the window sets its new-memo flag and starts the alert.
    void MemoArrived();
    // The window shows the current board again.
    void ReloadRequested();
    // The window quits through its normal shutdown.
    void EndRequested();

private:
    qint32 ownMode() const;
    quint16 destinationPort() const;
    int send(const QByteArray& datagram, const QByteArray& address, quint16 port);
    int sendThroughSocket(const QByteArray& datagram, const QByteArray& address, quint16 port);
    // Empty when bound, else why not.
    QString bindSocket(QUdpSocket* socket, const QByteArray& address, int port);
    void readPending(QUdpSocket* socket);
    qint64 nowMs() const;
    void handleHeld();
    void drainWhenIdle();
    void requestReload();
    void armQuietTimer();
    void handleNow(const QByteArray& text, const QByteArray& sender);
    bool fromOwnAddress(const QByteArray& sender) const;
    int findMember(const QByteArray& path, TVurnaDataRec& record) const;
    void applyStarted(const QByteArray& text);
    void applyStopped(const QByteArray& text);
    void applyStatus(const QByteArray& text);
    void takeMemo(const QByteArray& text);
    void obeyShare(const QByteArray& text, const QByteArray& sender);
    void writeLog(const QByteArray& message) const;

    TNoticeContext m_context;
    std::function<QByteArray()> m_lookUp;
    mutable QByteArray m_ownAddress;
    QUdpSocket* m_socket = nullptr;
    // Receives broadcasts when the listener is bound to one address (Linux does not hand
    // broadcasts to a socket bound to a unicast address).
    QUdpSocket* m_broadcastSocket = nullptr;
    Sender m_sender;

    struct HeldDatagram
    {
        QByteArray text;
        QByteArray sender;
    };
    QList<HeldDatagram> m_held;
    qint64 m_heldBytes = 0;
    qint64 m_heldDropped = 0;
    bool m_drainWaiting = false;
    QuietPeriod m_reloads{ReloadQuietMs};
    QTimer m_quietTimer;
    ShareRequestGate m_shareGate;
};
