#pragma once

#include <QByteArray>
#include <QWidget>

class MessageBoxes;
class QSize;
class StatusSink;
class TQuaxoRichEdit;
struct TVurnaDataRec;

// The memo page: the user's own memo board (伝言板), editable, with its erase button. Edits
// reach the file as soon as the user turns to something else; the unread memos are taken in
// whenever the page comes up.
class MemoPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MemoPage)

public:
    // `own` is the user's record, which the session keeps current.
    MemoPage(const TVurnaDataRec& own, MessageBoxes& boxes, StatusSink& status, QSize designSize, double scale);

    enum class TakeIn {
        NotAllowed, // a guest, or a share whose memos this user may not take in
        NothingNew,
        Unread, // unread memos are now on top of the board
    };
    // The page came up: unread memos on top of the board.
    TakeIn TakeInMemos(const QByteArray& ownShareDir);
    // The board as edited, into the user's file (at the end).
    void SaveOwnBoard();

private:
    const TVurnaDataRec& m_own;
    StatusSink& m_status;
    TQuaxoRichEdit* m_rchDengonOwner = nullptr;
};
