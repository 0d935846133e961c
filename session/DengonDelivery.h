#pragma once

#include "store/MemoFiles.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class Clock;
class FolderChooser;
class MessageBoxes;
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
};

// The main window's side of memos and parcels (Vurna便): working through the send list that
// the detail window fills, and taking in the parcels that arrived in the user's inbox folder.
// Everything runs on the GUI thread and lets events through between items; a failing item is
// passed over and the last error stays in the status bar.
//
// A parcel folder is hidden while its items are copied and made visible after the last one,
// so a recipient never moves half a delivery. Every folder that is created, moved or deleted
// is first checked to lie inside an inbox of the share, without symbolic links on the way.
class DengonDelivery
{
public:
    explicit DengonDelivery(DeliveryContext context);

    // Works through `lines` (file lines and memo lines) for members of the board in `shareDir`.
    // The list is taken as a copy: events run meanwhile, and the window's list may change.
    void ProcessSendList(const QList<QByteArray> lines, const QByteArray& shareDir);
    // One memo line: the memo on top of the recipient's unread memos, then the memo datagram.
    // False, and no datagram, when the memo could not be stored or the recipient is no member
    // of the share in `shareDir`.
    bool DeliverDengon(const QByteArray& line, const QByteArray& shareDir);
    // Moves what arrived in the inbox of `ownFileName` to a folder that the user chooses, and
    // deletes parcel folders left hidden for more than a day.
    void ReceiveParcels(const QByteArray& ownFileName, const QByteArray& shareDir);

    // The two heading lines of the folder chooser.
    static QString ChooserHeading();

private:
    // Destinations of one sending and the parcel folders made for them (real paths; empty where
    // none could be made).
    using Parcels = QList<QPair<QByteArray, QString>>;
    // The parcel folder for a destination of the send list, created hidden at its first file line.
    QString ParcelFor(Parcels& parcels, const QByteArray& destination, const QString& shareReal);
    bool CopyItem(const QByteArray& source, const QString& parcel);

    DeliveryContext m_context;
    bool m_busy = false;
};
