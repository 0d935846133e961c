#pragma once

#include "store/MemoFiles.h"

#include <QByteArray>

class MessageBoxes;
class StatusSink;
class TQuaxoRichEdit;

// The memo board in the memo view: the drawing side only. The files are MemoFiles' and are
// read and written on the share's queue by the caller; the view is filled with what came back.
namespace MemoBoardView {

// Fills `view` with the board's unread memos (cyan headers, white text), the unread marker in
// yellow unless `hideMarker` or nothing was unread, and the read memos (light-blue headers,
// grey text), reporting each phase and the progress through `status`. True when the board
// had unread memos and both files could be read.
bool ShowBoard(TQuaxoRichEdit& view, const MemoFiles::Board& board, bool hideMarker, StatusSink& status);

// The view's text as the own ".old" takes it: CP932, every line followed by CR LF.
QByteArray BoardText(const TQuaxoRichEdit& view);

// The button "伝言を消す": asks, and on OK empties the view and clears its modified mark. True
// when the user confirmed; the caller then deletes the memo files.
bool ConfirmErase(TQuaxoRichEdit& view, MessageBoxes& boxes);

} // namespace MemoBoardView
