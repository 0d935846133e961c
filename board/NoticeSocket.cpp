#include "board/NoticeSocket.h"

#include "board/BoardModel.h"
#include "board/ChangeNotice.h"
#include "board/Datagram.h"
#include "board/NoticeReceiver.h"
#include "board/NoticeRouting.h"
#include "platform/HostAddress.h"
#include "platform/LogCategories.h"
#include "store/StatusReport.h"

#include <QHostAddress>
#include <QPointer>
#include <QUdpSocket>

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace {

QString listenerWarning()
{
    return QStringLiteral("ソケットが利用できない為、不在設定や伝言は他のVurnaに即時通知されません。");
}
QString unreachableFault()
{
    return QStringLiteral("回線がつながっていない為、UDPメッセージの送信に失敗しました。");
}
QString sendFault()
{
    return QStringLiteral("何らかの原因により、UDPメッセージの送信に失敗しました。");
}
QString memoFault(const QByteArray& address)
{
    return QStringLiteral("IPアドレス ") + QString::fromLatin1(address) +
           QStringLiteral(" へのUDP送信が失敗しました。");
}
QString tooLongWarning()
{
    return QStringLiteral("行き先が長すぎる為、UDPメッセージを送信しませんでした。");
}

QByteArray dotted(const QHostAddress& address)
{
    bool ipv4 = false;
    const quint32 value = address.toIPv4Address(&ipv4); // also unwraps ::ffff:a.b.c.d
    return (ipv4 ? QHostAddress(value) : address).toString().toLatin1();
}

} // namespace

NoticeSocket::NoticeSocket(const NoticeContext& context, QObject* parent) : QObject(parent), m_context(context) {}

NoticeSocket::~NoticeSocket() = default;

void NoticeSocket::SetAddressLookUp(std::function<QByteArray()> lookUp)
{
    m_lookUp = std::move(lookUp);
    m_ownAddress.clear();
}

void NoticeSocket::SetSender(Sender send)
{
    m_sender = std::move(send);
}

qint32 NoticeSocket::ownMode() const
{
    return m_context.boards.isEmpty() ? 0 : m_context.boards.at(0).UdpMode;
}

quint16 NoticeSocket::destinationPort() const
{
    const ParmRecList& boards = m_context.boards;
    const int current = m_context.currentBoard;
    const ParmRec& board = current >= 0 && current < boards.size() ? boards.at(current) : boards.at(0);
    return quint16(board.UdpPort);
}

// ---------------------------------------------------------------------------------------------
// Listener

QString NoticeSocket::bindSocket(QUdpSocket* socket, const QByteArray& address, int port)
{
    if (port < 0 || port > 65535)
        return QStringLiteral("port %1 out of range").arg(port);
    QHostAddress host(QHostAddress::AnyIPv4);
    if (!address.isEmpty() &&
        (!host.setAddress(QString::fromLatin1(address)) || host.protocol() != QAbstractSocket::IPv4Protocol))
        return QString::fromLatin1(address) + QStringLiteral(" is no IPv4 address");
    // Shared, so that another copy on this host (or a restarted one) can listen on the port too.
    if (!socket->bind(host, quint16(port), QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint))
        return socket->errorString();
    connect(socket, &QUdpSocket::readyRead, this, [this, socket] { readPending(socket); });
    return {};
}

bool NoticeSocket::StartListener(const QByteArray& bindAddress)
{
    StopListener();
    auto* socket = new QUdpSocket(this);
    const QString failure = m_context.boards.isEmpty()
                                ? QStringLiteral("no own board")
                                : bindSocket(socket, bindAddress, m_context.boards.at(0).UdpPort);
    if (!failure.isEmpty()) {
        qCWarning(lcUdp).noquote() << "listener failed:" << failure;
        delete socket;
        ReportStatus(m_context.status, listenerWarning(), Severity::Warning);
        return false;
    }
    m_socket = socket;
    const QString shownAddress = bindAddress.isEmpty() ? QStringLiteral("0.0.0.0") : QString::fromLatin1(bindAddress);
    qCInfo(lcUdp).noquote() << QStringLiteral("listening on %1:%2").arg(shownAddress).arg(socket->localPort());

    if (!bindAddress.isEmpty() && ownMode() != 1 && ownMode() != 0) {
        const QByteArray broadcast = Datagram::BroadcastAddress(bindAddress);
        auto* extra = new QUdpSocket(this);
        const QString extraFailure = bindSocket(extra, broadcast, socket->localPort());
        const QString where = QStringLiteral("%1:%2").arg(QString::fromLatin1(broadcast)).arg(socket->localPort());
        if (extraFailure.isEmpty()) {
            m_broadcastSocket = extra;
            qCInfo(lcUdp).noquote() << "listening for broadcasts on" << where;
        } else {
            // Direct datagrams still arrive; only broadcasts from this network are missed.
            qCWarning(lcUdp).noquote() << "broadcast socket failed on" << where << extraFailure;
            delete extra;
        }
    }
    return true;
}

void NoticeSocket::StopListener()
{
    // Closed at once so the port is free again; deleted later because this may run from a
    // handler that the socket's own signal started.
    for (QUdpSocket** socket : {&m_socket, &m_broadcastSocket}) {
        if (*socket) {
            (*socket)->close();
            (*socket)->deleteLater();
            *socket = nullptr;
        }
    }
}

bool NoticeSocket::Active() const
{
    return m_socket && m_socket->state() == QAbstractSocket::BoundState;
}

quint16 NoticeSocket::ListenerPort() const
{
    return Active() ? m_socket->localPort() : 0;
}

QByteArray NoticeSocket::GetOwnAddress() const
{
    if (!Active())
        return {};
    if (m_ownAddress.isEmpty()) {
        // The host name look-up can take a while: once it has found the address, that is kept.
        // Until then (a PC whose network comes up after the program started at log-on) every
        // need asks again.
        m_ownAddress = m_lookUp ? m_lookUp() : HostAddress::LookUpOwnAddress();
    }
    return m_ownAddress;
}

void NoticeSocket::readPending(QUdpSocket* socket)
{
    // Handling can end the program or stop the listener; neither may pull the socket or this
    // object away under the loop.
    const QPointer<NoticeSocket> self(this);
    const QPointer<QUdpSocket> guard(socket);
    const auto listening = [&] { return self && guard && (guard == m_socket || guard == m_broadcastSocket); };
    while (listening() && guard->hasPendingDatagrams()) {
        // Every datagram whole, however long its Locate.
        const qint64 size = guard->pendingDatagramSize();
        if (size < 0)
            break;
        QByteArray text(size, Qt::Uninitialized);
        QHostAddress from;
        const qint64 read = guard->readDatagram(text.data(), size, &from);
        if (read < 0) {
            qCWarning(lcUdp).noquote() << "receive failed:" << guard->errorString();
            break;
        }
        text.truncate(read);
        emit DatagramArrived(text, dotted(from));
    }
}

// ---------------------------------------------------------------------------------------------
// Sending

int NoticeSocket::send(const QByteArray& datagram, const QByteArray& address, quint16 port)
{
    return m_sender ? m_sender(datagram, address, port) : sendThroughSocket(datagram, address, port);
}

int NoticeSocket::sendThroughSocket(const QByteArray& datagram, const QByteArray& address, quint16 port)
{
    QHostAddress to;
    if (!m_socket || !to.setAddress(QString::fromLatin1(address)) || to.protocol() != QAbstractSocket::IPv4Protocol)
        return SendFailed;
#ifdef Q_OS_UNIX
    // Straight through the listener's descriptor: the reason of a failure (no route, network
    // down) is only known from errno, which the socket classes fold into one error.
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl(to.toIPv4Address());
    ssize_t written;
    do {
        written = ::sendto(int(m_socket->socketDescriptor()), datagram.constData(), size_t(datagram.size()), 0,
                           reinterpret_cast<const sockaddr*>(&target), sizeof target);
    } while (written < 0 && errno == EINTR);
    if (written == datagram.size())
        return Sent;
    if (written < 0 && (errno == EHOSTUNREACH || errno == ENETUNREACH || errno == ENETDOWN))
        return HostUnreachable;
    return SendFailed;
#else
    if (m_socket->writeDatagram(datagram, to, port) == datagram.size())
        return Sent;
    return m_socket->error() == QAbstractSocket::NetworkError ? HostUnreachable : SendFailed;
#endif
}

void NoticeSocket::SendNotice(const QByteArray& text)
{
    const qint32 mode = ownMode();
    if (mode == 0)
        return;
    const QByteArray own = GetOwnAddress();
    if (own.isEmpty())
        return;
    const QList<QByteArray> destinations =
        NoticeDestinations(mode, own, m_context.own.FileName, m_context.board.Members());
    if (destinations.isEmpty())
        return;
    const QByteArray datagram = text + Datagram::KeyEod;
    const char* kind = Datagram::KindName(Datagram::KindOf(text));
    if (datagram.size() > Datagram::MaxDatagramBytes) {
        // Cut short it would carry a wrong destination; the others catch up through the change
        // stamp instead.
        qCWarning(lcUdp).noquote() << "not sent" << kind << "of" << datagram.size() << "bytes: too long";
        ReportStatus(m_context.status, tooLongWarning(), Severity::Warning);
        return;
    }
    const quint16 port = destinationPort();
    for (const QByteArray& address : destinations) {
        const int result = send(datagram, address, port);
        if (result == Sent) {
            qCInfo(lcUdp).noquote()
                << QStringLiteral("sent %1 to %2:%3").arg(QLatin1String(kind), QString::fromLatin1(address)).arg(port);
            continue;
        }
        qCWarning(lcUdp).noquote() << QStringLiteral("send failed %1 to %2:%3")
                                          .arg(QLatin1String(kind), QString::fromLatin1(address))
                                          .arg(port);
        ReportStatus(m_context.status, result == HostUnreachable ? unreachableFault() : sendFault(), Severity::Fault);
    }
}

void NoticeSocket::SendStatusNotice(const TVurnaDataRec& record)
{
    SendNotice(Datagram::StatusText(record.FileName, record.Date, record.Time, record.StatusIndex, record.Locate));
}

void NoticeSocket::SendRunningNotice(const TVurnaDataRec& own, bool running)
{
    SendNotice(running ? Datagram::StartedText(own.FileName, GetOwnAddress()) : Datagram::StoppedText(own.FileName));
}

void NoticeSocket::SendMemoNotice(const QByteArray& path)
{
    if (ownMode() == 0 || GetOwnAddress().isEmpty())
        return;
    TVurnaDataRec recipient;
    if (FindNoticeMember(m_context.board, path, recipient) < 0 || recipient.IP.isEmpty())
        return;
    const quint16 port = destinationPort();
    if (send(Datagram::MemoDatagram(path), recipient.IP, port) == Sent) {
        qCInfo(lcUdp).noquote()
            << QStringLiteral("sent memo to %1:%2").arg(QString::fromLatin1(recipient.IP)).arg(port);
        return;
    }
    qCWarning(lcUdp).noquote()
        << QStringLiteral("send failed memo to %1:%2").arg(QString::fromLatin1(recipient.IP)).arg(port);
    ReportStatus(m_context.status, memoFault(recipient.IP), Severity::Fault);
}
