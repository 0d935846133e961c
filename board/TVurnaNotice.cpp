#include "board/TVurnaNotice.h"

#include "board/Datagram.h"
#include "board/MinuteScheduler.h"
#include "board/NoticeRouting.h"
#include "board/TVurnaBoardModel.h"
#include "board/UserFile.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/HostAddress.h"
#include "platform/ShareFiles.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"
#include "store/StatusReport.h"
#include "store/TLocalSettings.h"
#include "store/VurnaLog.h"

#include <QDir>
#include <QHostAddress>
#include <QLoggingCategory>
#include <QPointer>
#include <QUdpSocket>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace {

Q_LOGGING_CATEGORY(lcUdp, "vurna.udp", QtWarningMsg)

QString listenerWarning()
{
    return QStringLiteral("ソケットが利用できない為、不在設定や伝言は他のVurnaに即時通知されません。");
}
QString receiveFault()
{
    return QStringLiteral("ＵＤＰメッセージの受信に失敗しました。");
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

// Kind word of the share-moved entries in vurna.log.
constexpr char LogKindShare[] = "Shr";

QByteArray dotted(const QHostAddress& address)
{
    bool ipv4 = false;
    const quint32 value = address.toIPv4Address(&ipv4); // also unwraps ::ffff:a.b.c.d
    return (ipv4 ? QHostAddress(value) : address).toString().toLatin1();
}

// A file name or path for the diagnostics.
QString shown(const QByteArray& cp932)
{
    return Cp932::toUnicode(cp932);
}

QByteArray sjisText(const QString& text)
{
    return Cp932::fromUnicodeLossy(text);
}

// A path from the network as the log shows it: one line, of a length a log line can carry.
// Anything may arrive here, and the log is read by people.
QByteArray loggedPath(const QByteArray& path)
{
    constexpr qsizetype MaxLoggedBytes = 300;
    QByteArray line = SjisText::leftBytes(path, MaxLoggedBytes);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    }
    return line;
}

// What an entry about a share-move request adds about those that were not written.
QByteArray tallyText(const ShareRequestGate::Tally& tally)
{
    QByteArray text;
    if (tally.refusedMeanwhile > 0)
        text += sjisText(QStringLiteral(" (ほか %1 件)").arg(tally.refusedMeanwhile));
    if (tally.fromForgotten > 0)
        text += sjisText(QStringLiteral(" (記録しきれなかった他の送信元から %1 件)").arg(tally.fromForgotten));
    return text;
}

} // namespace

TVurnaNotice::TVurnaNotice(TNoticeContext context, QObject* parent) : QObject(parent), m_context(context)
{
    m_quietTimer.setSingleShot(true);
    connect(&m_quietTimer, &QTimer::timeout, this, &TVurnaNotice::RunDueRequests);
}

TVurnaNotice::~TVurnaNotice() = default;

void TVurnaNotice::SetAddressLookUp(std::function<QByteArray()> lookUp)
{
    m_lookUp = std::move(lookUp);
    m_ownAddress.clear();
}

void TVurnaNotice::SetSender(Sender send)
{
    m_sender = std::move(send);
}

qint32 TVurnaNotice::ownMode() const
{
    return m_context.boards.isEmpty() ? 0 : m_context.boards.at(0).UdpMode;
}

quint16 TVurnaNotice::destinationPort() const
{
    const TParmArray& boards = m_context.boards;
    const int current = m_context.currentBoard;
    const ParmRec& board = current >= 0 && current < boards.size() ? boards.at(current) : boards.at(0);
    return quint16(board.UdpPort);
}

// ---------------------------------------------------------------------------------------------
// Listener

QString TVurnaNotice::bindSocket(QUdpSocket* socket, const QByteArray& address, int port)
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

bool TVurnaNotice::StartListener(const QByteArray& bindAddress)
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

void TVurnaNotice::StopListener()
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

bool TVurnaNotice::Active() const
{
    return m_socket && m_socket->state() == QAbstractSocket::BoundState;
}

quint16 TVurnaNotice::ListenerPort() const
{
    return Active() ? m_socket->localPort() : 0;
}

QByteArray TVurnaNotice::GetOwnAddress() const
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

void TVurnaNotice::readPending(QUdpSocket* socket)
{
    // Handling can end the program or stop the listener; neither may pull the socket or this
    // object away under the loop.
    const QPointer<TVurnaNotice> self(this);
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
        HandleDatagram(text, dotted(from));
    }
}

// ---------------------------------------------------------------------------------------------
// Sending

int TVurnaNotice::send(const QByteArray& datagram, const QByteArray& address, quint16 port)
{
    return m_sender ? m_sender(datagram, address, port) : sendThroughSocket(datagram, address, port);
}

int TVurnaNotice::sendThroughSocket(const QByteArray& datagram, const QByteArray& address, quint16 port)
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

void TVurnaNotice::SendNotice(const QByteArray& text)
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

void TVurnaNotice::SendStatusNotice(const TVurnaDataRec& record)
{
    SendNotice(Datagram::StatusText(record.FileName, record.Date, record.Time, record.StatusIndex, record.Locate));
}

void TVurnaNotice::SendRunningNotice(const TVurnaDataRec& own, bool running)
{
    SendNotice(running ? Datagram::StartedText(own.FileName, GetOwnAddress()) : Datagram::StoppedText(own.FileName));
}

void TVurnaNotice::SendMemoNotice(const QByteArray& path)
{
    if (ownMode() == 0 || GetOwnAddress().isEmpty())
        return;
    TVurnaDataRec recipient;
    if (findMember(path, recipient) < 0 || recipient.IP.isEmpty())
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

// ---------------------------------------------------------------------------------------------
// Receiving

qint64 TVurnaNotice::nowMs() const
{
    return m_context.clock.now().toMSecsSinceEpoch();
}

void TVurnaNotice::HandleDatagram(const QByteArray& text, const QByteArray& senderAddress)
{
    if (text.isEmpty())
        return;
    if (!m_context.board.IsLoading() && m_held.isEmpty()) {
        handleNow(text, senderAddress);
        return;
    }
    // While a load walks the member array the datagram waits, then meets the new board. A
    // slow load on a flooded network must not hold everything that arrives: the oldest go
    // first, so each member's latest news is the one kept.
    m_held.append(HeldDatagram{text, senderAddress});
    m_heldBytes += text.size();
    while (m_held.size() > MaxHeldDatagrams || m_heldBytes > MaxHeldBytes) {
        m_heldBytes -= m_held.first().text.size();
        m_held.removeFirst();
        ++m_heldDropped;
    }
    if (m_context.board.IsLoading())
        drainWhenIdle();
    else
        handleHeld();
}

void TVurnaNotice::drainWhenIdle()
{
    if (m_drainWaiting)
        return;
    m_drainWaiting = true;
    const QPointer<TVurnaNotice> self(this);
    m_context.board.WhenIdle([self] {
        if (self)
            self->handleHeld();
    });
}

void TVurnaNotice::handleHeld()
{
    m_drainWaiting = false;
    if (m_heldDropped > 0) {
        qCWarning(lcUdp).noquote() << "dropped" << m_heldDropped << "datagrams that came during a load";
        m_heldDropped = 0;
    }
    const QPointer<TVurnaNotice> self(this);
    // A datagram handled here can load the board (reload), during which more arrive and are
    // held: they are handled when that load ends, in order, before this loop goes on.
    while (self && !m_held.isEmpty() && !m_context.board.IsLoading()) {
        const HeldDatagram next = m_held.takeFirst();
        m_heldBytes -= next.text.size();
        handleNow(next.text, next.sender);
    }
    if (self && !m_held.isEmpty())
        drainWhenIdle();
}

void TVurnaNotice::handleNow(const QByteArray& text, const QByteArray& sender)
{
    const Datagram::Kind kind = Datagram::KindOf(text);
    qCInfo(lcUdp).noquote() << "received" << Datagram::KindName(kind) << "from" << QString::fromLatin1(sender);
    try {
        switch (kind) {
        case Datagram::Kind::Started:
            applyStarted(text);
            break;
        case Datagram::Kind::Stopped:
            if (fromOwnAddress(sender))
                qCInfo(lcUdp).noquote() << "ignored stopped from own address";
            else
                applyStopped(text);
            break;
        case Datagram::Kind::Memo:
            takeMemo(text);
            break;
        case Datagram::Kind::Status:
            if (fromOwnAddress(sender))
                qCInfo(lcUdp).noquote() << "ignored status from own address";
            else
                applyStatus(text);
            break;
        case Datagram::Kind::Reload:
            requestReload();
            break;
        case Datagram::Kind::Share:
            obeyShare(text, sender);
            break;
        case Datagram::Kind::End:
            emit EndRequested();
            break;
        case Datagram::Kind::Unknown:
            break;
        }
    } catch (...) {
        qCWarning(lcUdp).noquote() << "handling failed:" << Datagram::KindName(kind) << "from"
                                   << QString::fromLatin1(sender);
        ReportStatus(m_context.status, receiveFault(), Severity::Fault);
    }
}

bool TVurnaNotice::fromOwnAddress(const QByteArray& sender) const
{
    const QByteArray own = GetOwnAddress();
    return !own.isEmpty() && sender == own;
}

int TVurnaNotice::findMember(const QByteArray& path, TVurnaDataRec& record) const
{
    // The placeholder (index 0, empty file name) is nobody: a datagram with an empty or
    // bare-directory path must not touch it.
    if (SjisText::fileNamePart(path).isEmpty())
        return -1;
    const int index = m_context.board.FindMember(path, record);
    return index >= 1 ? index : -1;
}

void TVurnaNotice::applyStarted(const QByteArray& text)
{
    const QByteArray path = Datagram::Value(text, Datagram::KeyOn);
    m_context.minutes.RestartChangeStampCount();
    TVurnaDataRec member;
    if (findMember(path, member) < 0)
        return;
    member.Running = true;
    member.IP = Datagram::Value(text, Datagram::KeyIP);
    if (m_context.board.UpdateMember(member))
        qCInfo(lcUdp).noquote() << "applied started" << shown(SjisText::fileNamePart(path));
}

void TVurnaNotice::applyStopped(const QByteArray& text)
{
    const QByteArray path = Datagram::Value(text, Datagram::KeyOff);
    m_context.minutes.RestartChangeStampCount();
    TVurnaDataRec member;
    if (findMember(path, member) < 0)
        return;
    member.Running = false;
    if (m_context.board.UpdateMember(member))
        qCInfo(lcUdp).noquote() << "applied stopped" << shown(SjisText::fileNamePart(path));
}

void TVurnaNotice::applyStatus(const QByteArray& text)
{
    const QByteArray path = Datagram::Value(text, Datagram::KeyDat);
    TVurnaDataRec member;
    if (findMember(path, member) < 0)
        return;
    m_context.minutes.RestartChangeStampCount();
    // The file time stays: it tells when the file was last seen, not when the datagram came.
    member.Locate = Datagram::Value(text, Datagram::KeyLocate);
    member.Date = Datagram::Value(text, Datagram::KeyDate);
    member.Time = Datagram::Value(text, Datagram::KeyTime);
    member.StatusIndex = ParseWholeNumber(Datagram::Value(text, Datagram::KeyIcon));
    if (m_context.board.UpdateMember(member))
        qCInfo(lcUdp).noquote() << "applied status" << shown(SjisText::fileNamePart(path));
}

void TVurnaNotice::takeMemo(const QByteArray& text)
{
    const QByteArray ownName = SjisText::fileNamePart(m_context.own.FileName);
    const QByteArray recipient = SjisText::fileNamePart(SjisText::upperCase(Datagram::Value(text, Datagram::KeyMsg)));
    if (ownName.isEmpty() || recipient != ownName)
        return;
    m_context.minutes.RestartMemoCheckCount();
    qCInfo(lcUdp).noquote() << "memo arrived for" << shown(recipient);
    emit MemoArrived();
}

void TVurnaNotice::requestReload()
{
    if (m_reloads.Request(nowMs())) {
        emit ReloadRequested();
        return;
    }
    qCInfo(lcUdp).noquote() << "reload held for the end of the quiet time";
    armQuietTimer();
}

void TVurnaNotice::armQuietTimer()
{
    // The end of the quiet time stays where it is while requests come in.
    if (!m_reloads.Pending() || m_quietTimer.isActive())
        return;
    // A clock that stepped back makes the period over at once (QuietPeriod), so the wait is
    // never longer than one period.
    m_quietTimer.start(int(std::clamp<qint64>(m_reloads.DueAt() - nowMs(), 0, ReloadQuietMs)));
}

void TVurnaNotice::RunDueRequests()
{
    const QPointer<TVurnaNotice> self(this);
    m_context.board.WhenIdle([self] {
        if (!self)
            return;
        if (self->m_reloads.TakeDue(self->nowMs())) {
            qCInfo(lcUdp).noquote() << "held reload runs";
            emit self->ReloadRequested();
        } else {
            self->armQuietTimer();
        }
    });
}

void TVurnaNotice::obeyShare(const QByteArray& text, const QByteArray& sender)
{
    // Anyone on the network can send this, and the program would come up on the new
    // directory at its next start. Only a directory that is a board (it has its vurna.ini) is
    // taken, and the administrator finds the requests in vurna.log: each one obeyed, and the
    // refused ones of a sender once a minute with their count, so that a flood neither
    // fills the share's log nor keeps the program busy testing paths on the share.
    const qint64 now = nowMs();
    const QByteArray wanted = Datagram::ShareValue(text);
    const bool tested = m_shareGate.MayTest(sender, now);
    QByteArray directory;
    bool isBoard = false;
    if (tested) {
        directory = SharePath::withSeparator(SjisText::upperCase(Datagram::NativePath(wanted)));
        const QByteArray iniPath = SharePath::join(directory, "VURNA.INI");
        isBoard = !directory.isEmpty() && QDir::isAbsolutePath(SharePath::resolve(directory)) &&
                  ShareFiles::isDirectory(directory) && ShareFiles::exists(iniPath) &&
                  !ShareFiles::isDirectory(iniPath);
    }
    const auto from = [&sender] { return sjisText(QStringLiteral(" (送信元 ")) + sender + ')'; };
    if (!isBoard) {
        ShareRequestGate::Tally tally;
        if (!m_shareGate.Refused(sender, now, tally))
            return;
        // Limited as the log is: on a desktop the warnings too end up in a file.
        qCWarning(lcUdp).noquote() << QStringLiteral("refused share %1 from %2%3, %4 more from it and %5 from "
                                                     "forgotten senders since its last entry")
                                          .arg(shown(wanted), QString::fromLatin1(sender),
                                               tested ? QString() : QStringLiteral(" untested (too many requests)"))
                                          .arg(tally.refusedMeanwhile)
                                          .arg(tally.fromForgotten);
        const QString reason = tested ? QStringLiteral(" は vurna.ini のあるディレクトリではありません")
                                      : QStringLiteral(" は要求が多すぎるため確認していません");
        writeLog(sjisText(QStringLiteral("共有ディレクトリの変更要求を拒否しました: ")) + loggedPath(wanted) +
                 sjisText(reason) + from() + tallyText(tally));
        return;
    }
    const QByteArray previous = m_context.settings.ShareDir();
    m_context.settings.SetShareDir(directory);
    qCInfo(lcUdp).noquote() << "share moved to" << shown(directory);
    writeLog(sjisText(QStringLiteral("共有ディレクトリを ")) + loggedPath(previous) +
             sjisText(QStringLiteral(" から ")) + loggedPath(directory) +
             sjisText(QStringLiteral(" に変更しました(次回起動時から有効)")) + from() +
             tallyText(m_shareGate.Obeyed(sender, now)));
}

void TVurnaNotice::writeLog(const QByteArray& message) const
{
    // The own board's log; without a shared directory there is nowhere to write it.
    if (m_context.boards.isEmpty() || m_context.boards.at(0).ShareDir.isEmpty())
        return;
    VurnaLog::WriteLogEntry(SharePath::join(m_context.boards.at(0).ShareDir, VurnaLog::FileName), m_context.own.Name,
                            message, LogKindShare, m_context.clock.now());
}
