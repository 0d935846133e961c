#pragma once

#include "store/MemoFiles.h"

#include <QByteArray>

class MessageBoxes;
class StatusSink;
class TQuaxoRichEdit;
struct TVurnaDataRec;

// The memo board in the memo view: filling it from a member's memo files, and the own
// board's take-in, save and erase. The file work is MemoFiles'; this is the drawing side.
namespace MemoBoardView {

// Fills `view` with the member's unread memos (cyan headers, white text), the unread marker
// in yellow unless `hideMarker`, and the read memos (light-blue headers, grey text),
// reporting each phase and the progress through `status`. True when the member's ".mil"
// existed when the display began and both files could be read.
bool ShowMemoBoard(TQuaxoRichEdit& view, const TVurnaDataRec& member, bool hideMarker, StatusSink& status,
                   const MemoFiles::Policy& policy = {});

struct TakeInResult
{
    bool hadUnread = false;   // unread memos were there and are now on show
    bool movedToRead = false; // they were moved into the memo board file
};

// The own board's take-in, run each time the memo page is shown: shows the own board
// without the marker and moves unread memos into ".old". Edits the user made to the view and
// has not saved yet are saved first, so refilling the view never drops them. The caller
// clears the new-memo state and brings the window up when `hadUnread`.
TakeInResult TakeInOwnMemos(TQuaxoRichEdit& view, const QByteArray& ownFileName, StatusSink& status,
                            const MemoFiles::Policy& policy = {});

// Writes the view's text to the own ".old" when the user modified it (focus leaving the
// view, and every exit). True when nothing needed saving or the text was written; the
// modified mark stays set after a failed write so that the next save tries again.
bool SaveOwnBoard(TQuaxoRichEdit& view, const QByteArray& ownFileName, const MemoFiles::Policy& policy = {});

// The button "伝言を消す": asks, and on OK empties the view and deletes both memo files.
// True when the user confirmed.
bool EraseOwnBoard(TQuaxoRichEdit& view, const QByteArray& ownFileName, MessageBoxes& boxes,
                   const MemoFiles::Policy& policy = {});

} // namespace MemoBoardView
