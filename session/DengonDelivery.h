#pragma once

#include "store/MemoFiles.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class Clock;
class FolderChooser;
class MessageBoxes;
class ShareQueue;
class StatusSink;

// What delivery works with; everything lives in the main window.
struct DeliveryContext
{
    StatusSink& status;     // progress and the last error, in the status bar
    MessageBoxes& boxes;    // an internal error of the send list
    const Clock& clock;     // the age of a parcel folder left hidden
    FolderChooser& folders; // where the user puts arrived parcels
    // Tells a recipient's copy that a memo arrived (the memo datagram).
    std::function<void(const QByteArray& recipient)> announceMemo;
    MemoFiles::Policy memoPolicy;
    // Where the file work runs, in order, off the window's thread; without one it runs at once.
    ShareQueue* queue = nullptr;
};

// The main window's side of memos and parcels (Vurna便): working through the send list that
// the detail window fills, and taking in the parcels that arrived in the user's inbox folder.
// The file work of each item is a job on the share's queue: a file server that does not answer
// holds up the items, never the window. Progress, errors and the memo datagram follow on the
// window's thread as each item ends; a failing item is passed over and the last error stays in
// the status bar.
//
// A parcel folder is hidden while its items are copied and made visible after the last one,
// so a recipient never moves half a delivery. Every folder that is created, moved or deleted
// is first checked to lie inside an inbox of the share, without symbolic links on the way.
class DengonDelivery final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DengonDelivery)

public:
    explicit DengonDelivery(DeliveryContext context, QObject* parent = nullptr);
    ~DengonDelivery() override;

    // Works through `lines` (file lines and memo lines) for members of the board in `shareDir`.
    // Returns once the items are on their way; a sending asked for meanwhile follows this one.
    void ProcessSendList(const QList<QByteArray>& lines, const QByteArray& shareDir);
    // One memo line, at once on the calling thread: the memo on top of the recipient's unread
    // memos, then the memo datagram. False, and no datagram, when the memo could not be stored
    // or the recipient is no member of the share in `shareDir`.
    bool DeliverDengon(const QByteArray& line, const QByteArray& shareDir);
    // Moves what arrived in the inbox of `ownFileName` to a folder that the user chooses, and
    // deletes parcel folders left hidden for more than a day. The folder is asked for once the
    // share has said what arrived; nothing while an earlier reception is still under way.
    void ReceiveParcels(const QByteArray& ownFileName, const QByteArray& shareDir);

    // The two heading lines of the folder chooser.
    static QString ChooserHeading();

private:
    // One item of a sending or a reception.
    struct Step
    {
        QString progress; // shown while it runs
        int percent = 0;
        // On the queue: empty when it went well, otherwise the error to report.
        std::function<QString()> work;
        // On the window's thread after a step that went well.
        std::function<void()> succeeded;
    };
    // Runs `steps` in order, then hands `finished` each error once, in the order they came.
    void RunSteps(QList<Step> steps, std::function<void(const QStringList& errors)> finished);
    template <class Result> void Run(std::function<Result()> work, std::function<void(Result)> done);
    // What waits in the inbox, as listed on the queue.
    struct Arrival;
    struct Arrivals;
    void ChooseFolderFor(const Arrivals& arrivals);
    void MoveArrivals(const QString& inbox, const QList<Arrival>& items, const QString& chosen);
    // `error` after a move (empty when all went well); none when nothing was moved.
    void EndReception(const std::optional<QString>& error);

    DeliveryContext m_context;
    bool m_receiving = false;
};
