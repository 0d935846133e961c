#include "store/ui/MemoBoardView.h"

#include "platform/Cp932.h"
#include "platform/MessageBoxes.h"
#include "store/MemoBoardPhases.h"
#include "store/StatusSink.h"
#include "store/TVurnaDataRec.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QApplication>
#include <QScrollBar>

namespace MemoBoardView {
namespace {

// Hourglass and frozen painting while the view fills; undone on every way out.
class BusyView
{
public:
    explicit BusyView(TQuaxoRichEdit& view) : m_view(view), m_updates(view.updatesEnabled())
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_view.setUpdatesEnabled(false);
    }
    ~BusyView()
    {
        QApplication::restoreOverrideCursor();
        m_view.setUpdatesEnabled(m_updates);
    }
    BusyView(const BusyView&) = delete;
    BusyView& operator=(const BusyView&) = delete;

private:
    TQuaxoRichEdit& m_view;
    bool m_updates;
};

void fill(TQuaxoRichEdit& view, const MemoFiles::Board& board, bool hideMarker, StatusSink& status)
{
    BusyView busy(view);
    view.clearLines();
    for (const MemoBoardPhases::Phase& phase : MemoBoardPhases::phasesOf(board, hideMarker)) {
        status.setStatusText(phase.statusText);
        const qsizetype n = phase.lines.size();
        for (qsizetype i = 0; i < n; ++i) {
            const QByteArray& line = phase.lines.at(i);
            status.setProgress(int(i * 100 / n));
            const MemoBoardPhases::Rgb c = MemoBoardPhases::colourOf(phase, line);
            view.setLineColour(QColor(c.r, c.g, c.b));
            view.setLineSize(MemoBoardPhases::pointSizeOf(line));
            view.addLine(Cp932::toUnicode(line));
        }
    }
    status.setStatusText(QString());
    status.setProgress(0);
    view.moveCursor(QTextCursor::Start);
    view.ensureCursorVisible();
    view.verticalScrollBar()->setValue(0);
}

QByteArray encodeBoard(const QString& text)
{
    // Typed characters without a CP932 form are refused by the view; what remains are
    // undecodable bytes of received memos, shown as U+FFFD, which become "?".
    const Cp932::Encoded encoded = Cp932::fromUnicode(text);
    return encoded.ok ? encoded.bytes : Cp932::fromUnicodeLossy(text);
}

} // namespace

bool ShowMemoBoard(TQuaxoRichEdit& view, const TVurnaDataRec& member, bool hideMarker, StatusSink& status,
                   const MemoFiles::Policy& policy)
{
    const MemoFiles::Board board = MemoFiles::ReadBoard(member.FileName, policy);
    fill(view, board, hideMarker, status);
    return board.hadUnread && board.ok;
}

TakeInResult TakeInOwnMemos(TQuaxoRichEdit& view, const QByteArray& ownFileName, StatusSink& status,
                            const MemoFiles::Policy& policy)
{
    TakeInResult result;
    if (view.isModified() && !SaveOwnBoard(view, ownFileName, policy))
        return result; // keep the unsaved edits on show rather than overwrite them
    const MemoFiles::TakeIn takeIn = MemoFiles::TakeInOwnMemos(ownFileName, policy);
    fill(view, takeIn.board, true, status);
    result.hadUnread = takeIn.board.hadUnread;
    result.movedToRead = takeIn.movedToRead;
    if (result.movedToRead)
        view.setModified(false);
    return result;
}

bool SaveOwnBoard(TQuaxoRichEdit& view, const QByteArray& ownFileName, const MemoFiles::Policy& policy)
{
    if (!view.isModified())
        return true;
    if (!MemoFiles::SaveOwnBoard(ownFileName, encodeBoard(view.textWithCrLf()), policy))
        return false;
    view.setModified(false);
    return true;
}

bool EraseOwnBoard(TQuaxoRichEdit& view, const QByteArray& ownFileName, MessageBoxes& boxes,
                   const MemoFiles::Policy& policy)
{
    const int answer = boxes.show(QStringLiteral("伝言板を消去します。回復はできません。"),
                                  Mb::IconWarning | Mb::OkCancel, QStringLiteral("Vurnaboard"));
    if (answer != Mb::IdOk)
        return false;
    view.clearLines();
    view.setModified(false);
    MemoFiles::EraseOwnBoard(ownFileName, policy);
    return true;
}

} // namespace MemoBoardView
