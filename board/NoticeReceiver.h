#pragma once

#include "board/FloodGuard.h"
#include "store/TVurnaDataRec.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class BoardModel;
struct NoticeContext;

// The member a datagram's path names, copied to `record`: its index, or -1 for nobody. The
// placeholder (index 0, empty file name) is nobody, so an empty or bare-directory path touches
// no one.
int FindNoticeMember(const BoardModel& board, const QByteArray& path, TVurnaDataRec& record);

// Applies what the other copies tell, on the GUI thread; a datagram that arrives while the
// board is loading is handled once the load is done.
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
class NoticeReceiver final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NoticeReceiver)

public:
    static constexpr qint64 ReloadQuietMs = 30000;
    static constexpr int MaxHeldDatagrams = 1000;
    static constexpr qint64 MaxHeldBytes = 1 << 20;

    // `context` must outlive the receiver; `ownAddress` gives the PC's address (empty when
    // unknown), so that this copy's own status and stopped datagrams are not applied twice.
    NoticeReceiver(const NoticeContext& context, std::function<QByteArray()> ownAddress, QObject* parent = nullptr);
    ~NoticeReceiver() override;

    // Applies one received datagram; deferred while the board is loading.
    void HandleDatagram(const QByteArray& text, const QByteArray& senderAddress);
    // Runs a reload request held back for the end of its quiet time, when that has come (by
    // the clock). A timer calls it; tests call it after moving the clock.
    void RunDueRequests();

signals:
    // What the window does with them: see ChangeNotice.
    void MemoArrived();
    void ReloadRequested();
    void EndRequested();

private:
    qint64 nowMs() const;
    void handleHeld();
    void drainWhenIdle();
    void requestReload();
    void armQuietTimer();
    void handleNow(const QByteArray& text, const QByteArray& sender);
    bool fromOwnAddress(const QByteArray& sender) const;
    void applyStarted(const QByteArray& text);
    void applyStopped(const QByteArray& text);
    void applyStatus(const QByteArray& text);
    void takeMemo(const QByteArray& text);
    void obeyShare(const QByteArray& text, const QByteArray& sender);
    // A share-moved request and the outcome of its test (none when the gate refused a test).
    struct ShareRequest
    {
        QByteArray wanted;
        QByteArray directory;
        QByteArray sender;
        bool tested = false;
    };
    void answerShare(const ShareRequest& request, bool isBoard);
    void writeLog(const QByteArray& message) const;

    const NoticeContext& m_context;
    std::function<QByteArray()> m_ownAddress;

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
