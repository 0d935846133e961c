#pragma once

#include "store/TVurnaDataRec.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QUdpSocket;
struct NoticeContext;

// The UDP side of the notice: one socket that listens on the own board's port and sends this
// copy's datagrams, so that receivers see this copy's address as the sender. What arrives is
// handed on whole through DatagramArrived; what it means is not this class's business.
class NoticeSocket final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NoticeSocket)

public:
    // Outcome of one send.
    enum SendResult { Sent = 0, HostUnreachable = 1, SendFailed = 2 };
    using Sender = std::function<int(const QByteArray& datagram, const QByteArray& address, quint16 port)>;

    // `context` must outlive the socket.
    explicit NoticeSocket(const NoticeContext& context, QObject* parent = nullptr);
    ~NoticeSocket() override;

    // How the PC's own address is found (HostAddress::LookUpOwnAddress unless replaced). It is
    // looked up at the first need and then kept.
    void SetAddressLookUp(std::function<QByteArray()> lookUp);

    // Listens on the own board's port: on every IPv4 address when `bindAddress` is empty, else
    // on that address alone (several copies on one host, each on its own 127.0.0.x). False,
    // with the warning in the status bar, when no socket can be had.
    bool StartListener(const QByteArray& bindAddress);
    void StopListener();
    bool Active() const;
    // The port actually bound (the own board's port; a port of 0 lets the system choose).
    quint16 ListenerPort() const;
    // The PC's address in dotted decimal; empty while the listener is not active, so a copy
    // that cannot be reached sends nothing either.
    QByteArray GetOwnAddress() const;

    void SendStatusNotice(const TVurnaDataRec& record);
    void SendRunningNotice(const TVurnaDataRec& own, bool running);
    // Tells one recipient of a memo, whatever the sending mode (but never in mode 0).
    void SendMemoNotice(const QByteArray& path);
    // Sends `text` and the closing key as the own board's mode says.
    void SendNotice(const QByteArray& text);

    // Replaces the socket for sending (tests). The result is a SendResult.
    void SetSender(Sender send);

signals:
    // One whole datagram from `sender` (dotted decimal). A handler may stop the listener or
    // delete this object; reading stops then.
    void DatagramArrived(const QByteArray& text, const QByteArray& sender);

private:
    qint32 ownMode() const;
    quint16 destinationPort() const;
    int send(const QByteArray& datagram, const QByteArray& address, quint16 port);
    int sendThroughSocket(const QByteArray& datagram, const QByteArray& address, quint16 port);
    // Empty when bound, else why not.
    QString bindSocket(QUdpSocket* socket, const QByteArray& address, int port);
    void readPending(QUdpSocket* socket);

    const NoticeContext& m_context;
    std::function<QByteArray()> m_lookUp;
    mutable QByteArray m_ownAddress;
    QUdpSocket* m_socket = nullptr;
    // Receives broadcasts when the listener is bound to one address (Linux does not hand
    // broadcasts to a socket bound to a unicast address).
    QUdpSocket* m_broadcastSocket = nullptr;
    Sender m_sender;
};
