#include "board/NoticeReceiver.h"

#include "board/BoardModel.h"
#include "board/ChangeNotice.h"
#include "board/Datagram.h"
#include "board/MinuteScheduler.h"
#include "board/UserFile.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/LogCategories.h"
#include "platform/ShareFiles.h"
#include "platform/SharePath.h"
#include "platform/ShareQueue.h"
#include "platform/SjisText.h"
#include "store/LocalSettings.h"
#include "store/StatusReport.h"
#include "store/VurnaLog.h"

#include <QDir>
#include <QPointer>

#include <algorithm>

namespace {

QString receiveFault()
{
    return QStringLiteral("ＵＤＰメッセージの受信に失敗しました。");
}

// Kind word of the share-moved entries in vurna.log.
constexpr char LogKindShare[] = "Shr";

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

int FindNoticeMember(const BoardModel& board, const QByteArray& path, TVurnaDataRec& record)
{
    if (SjisText::fileNamePart(path).isEmpty())
        return -1;
    const int index = board.FindMember(path, record);
    return index >= 1 ? index : -1;
}

NoticeReceiver::NoticeReceiver(const NoticeContext& context, std::function<QByteArray()> ownAddress, QObject* parent)
    : QObject(parent), m_context(context), m_ownAddress(std::move(ownAddress))
{
    m_quietTimer.setSingleShot(true);
    connect(&m_quietTimer, &QTimer::timeout, this, &NoticeReceiver::RunDueRequests);
}

NoticeReceiver::~NoticeReceiver() = default;

qint64 NoticeReceiver::nowMs() const
{
    return m_context.clock.now().toMSecsSinceEpoch();
}

void NoticeReceiver::HandleDatagram(const QByteArray& text, const QByteArray& senderAddress)
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

void NoticeReceiver::drainWhenIdle()
{
    if (m_drainWaiting)
        return;
    m_drainWaiting = true;
    const QPointer<NoticeReceiver> self(this);
    m_context.board.WhenIdle([self] {
        if (self)
            self->handleHeld();
    });
}

void NoticeReceiver::handleHeld()
{
    m_drainWaiting = false;
    if (m_heldDropped > 0) {
        qCWarning(lcUdp).noquote() << "dropped" << m_heldDropped << "datagrams that came during a load";
        m_heldDropped = 0;
    }
    const QPointer<NoticeReceiver> self(this);
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

void NoticeReceiver::handleNow(const QByteArray& text, const QByteArray& sender)
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

bool NoticeReceiver::fromOwnAddress(const QByteArray& sender) const
{
    const QByteArray own = m_ownAddress ? m_ownAddress() : QByteArray();
    return !own.isEmpty() && sender == own;
}

void NoticeReceiver::applyStarted(const QByteArray& text)
{
    const QByteArray path = Datagram::Value(text, Datagram::KeyOn);
    m_context.minutes.RestartChangeStampCount();
    TVurnaDataRec member;
    if (FindNoticeMember(m_context.board, path, member) < 0)
        return;
    member.Running = true;
    member.IP = Datagram::Value(text, Datagram::KeyIP);
    if (m_context.board.UpdateMember(member))
        qCInfo(lcUdp).noquote() << "applied started" << shown(SjisText::fileNamePart(path));
}

void NoticeReceiver::applyStopped(const QByteArray& text)
{
    const QByteArray path = Datagram::Value(text, Datagram::KeyOff);
    m_context.minutes.RestartChangeStampCount();
    TVurnaDataRec member;
    if (FindNoticeMember(m_context.board, path, member) < 0)
        return;
    member.Running = false;
    if (m_context.board.UpdateMember(member))
        qCInfo(lcUdp).noquote() << "applied stopped" << shown(SjisText::fileNamePart(path));
}

void NoticeReceiver::applyStatus(const QByteArray& text)
{
    const QByteArray path = Datagram::Value(text, Datagram::KeyDat);
    TVurnaDataRec member;
    if (FindNoticeMember(m_context.board, path, member) < 0)
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

void NoticeReceiver::takeMemo(const QByteArray& text)
{
    const QByteArray ownName = SjisText::fileNamePart(m_context.own.FileName);
    const QByteArray recipient = SjisText::fileNamePart(SjisText::upperCase(Datagram::Value(text, Datagram::KeyMsg)));
    if (ownName.isEmpty() || recipient != ownName)
        return;
    m_context.minutes.RestartMemoCheckCount();
    qCInfo(lcUdp).noquote() << "memo arrived for" << shown(recipient);
    emit MemoArrived();
}

void NoticeReceiver::requestReload()
{
    if (m_reloads.Request(nowMs())) {
        emit ReloadRequested();
        return;
    }
    qCInfo(lcUdp).noquote() << "reload held for the end of the quiet time";
    armQuietTimer();
}

void NoticeReceiver::armQuietTimer()
{
    // The end of the quiet time stays where it is while requests come in.
    if (!m_reloads.Pending() || m_quietTimer.isActive())
        return;
    // A clock that stepped back makes the period over at once (QuietPeriod), so the wait is
    // never longer than one period.
    m_quietTimer.start(int(std::clamp<qint64>(m_reloads.DueAt() - nowMs(), 0, ReloadQuietMs)));
}

void NoticeReceiver::RunDueRequests()
{
    const QPointer<NoticeReceiver> self(this);
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

void NoticeReceiver::obeyShare(const QByteArray& text, const QByteArray& sender)
{
    // Anyone on the network can send this, and the program would come up on the new
    // directory at its next start. Only a directory that is a board (it has its vurna.ini) is
    // taken, and the administrator finds the requests in vurna.log: each one obeyed, and the
    // refused ones of a sender once a minute with their count, so that a flood neither
    // fills the share's log nor keeps the program busy testing paths on the share.
    const qint64 now = nowMs();
    const QByteArray wanted = Datagram::ShareValue(text);
    if (!m_shareGate.MayTest(sender, now)) {
        answerShare({wanted, {}, sender, false}, false);
        return;
    }
    // Kept as the sender spells it, which the start-up upper-cases: where the folder's parent
    // cannot be listed, that spelling is the only way to it.
    const ShareRequest request{wanted, SharePath::withSeparator(Datagram::NativePath(wanted)), sender, true};
    // The test reads a folder the sender names, on whatever server: off the window's thread.
    ShareQueue::Run<bool>(
        m_context.queue, {},
        [directory = request.directory] {
            const QByteArray iniPath = SharePath::join(directory, "VURNA.INI");
            return !directory.isEmpty() && QDir::isAbsolutePath(SharePath::resolve(directory)) &&
                   ShareFiles::isDirectory(directory) && ShareFiles::exists(iniPath) &&
                   !ShareFiles::isDirectory(iniPath);
        },
        this, [this, request](bool isBoard) { answerShare(request, isBoard); });
}

void NoticeReceiver::answerShare(const ShareRequest& request, bool isBoard)
{
    const QByteArray& wanted = request.wanted;
    const QByteArray& directory = request.directory;
    const QByteArray& sender = request.sender;
    // The gate counts by the minute it is in now; the test may have waited on its server.
    const qint64 now = nowMs();
    const bool tested = request.tested;
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

void NoticeReceiver::writeLog(const QByteArray& message) const
{
    // The own board's log; without a shared directory there is nowhere to write it.
    if (m_context.boards.isEmpty() || m_context.boards.at(0).ShareDir.isEmpty())
        return;
    VurnaLog::WriteLogEntry(SharePath::join(m_context.boards.at(0).ShareDir, VurnaLog::FileName), m_context.own.Name,
                            message, LogKindShare, m_context.clock.now(), m_context.logAppender);
}
