#pragma once

#include <QByteArray>
#include <QWidget>

#include <functional>

class MessageBoxes;
class QLabel;
class QPushButton;
class QSize;
class ShareQueue;
class StatusSink;
class TQuaxoRichEdit;
struct TVurnaDataRec;
namespace MemoFiles {
struct TakeIn;
}

// The memo page: the user's own memo board (伝言板), editable, with its erase button. Edits
// reach the file as soon as the user turns to something else; the unread memos are taken in
// whenever the page comes up. The files are worked on the share's queue, so a file server that
// does not answer never holds up the window; the board shows what the share answered.
class MemoPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MemoPage)

public:
    // Writes the edited board (CP932 text) to the own ".old", or erases the board (memos unread
    // included) when `erase`; `basedOn` is the ".old" text the board was filled from. It runs on
    // `queue`, in order with the page's own work there.
    using BoardSave = std::function<void(const QByteArray& text, const QByteArray& basedOn, bool erase)>;

    // `own` is the user's record, which the session keeps current.
    MemoPage(const TVurnaDataRec& own, ShareQueue& queue, BoardSave save, MessageBoxes& boxes, StatusSink& status,
             QSize designSize, double scale);

    // The page came up: the unread memos go on top of the board once the share answers. False
    // for a guest, or a share whose memos this user may not take in.
    bool TakeInMemos(const QByteArray& ownShareDir);
    // The board as edited, into the user's file (on leaving the editor, and at the end).
    void SaveOwnBoard();

signals:
    // Unread memos were there and are on show now.
    void UnreadTakenIn();

private:
    void ShowTakenIn(const MemoFiles::TakeIn& taken);
    void SetTakingIn(bool takingIn);
    void EraseClick(MessageBoxes& boxes);

    const TVurnaDataRec& m_own;
    ShareQueue& m_queue;
    BoardSave m_save;
    StatusSink& m_status;
    TQuaxoRichEdit* m_rchDengonOwner = nullptr;
    QPushButton* m_btnDengonErase = nullptr;
    QLabel* m_lblTakingIn = nullptr;
    // The ".old" text the board was filled from: a save kept for a later start is written
    // only while the file still holds it.
    QByteArray m_basedOn;
    // Until the take-in answers the editor is read-only: what it would refill could only
    // overwrite or be mixed into what the user typed meanwhile.
    bool m_takingIn = false;
};
