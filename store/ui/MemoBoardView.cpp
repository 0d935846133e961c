#include "store/ui/MemoBoardView.h"

#include "platform/Cp932.h"
#include "platform/MessageBoxes.h"
#include "store/MemoBoardPhases.h"
#include "store/StatusSink.h"
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

} // namespace

bool ShowBoard(TQuaxoRichEdit& view, const MemoFiles::Board& board, bool hideMarker, StatusSink& status)
{
    fill(view, board, hideMarker, status);
    return board.hadUnread && board.ok;
}

QByteArray BoardText(const TQuaxoRichEdit& view)
{
    // Typed characters without a CP932 form are refused by the view; what remains are
    // undecodable bytes of received memos, shown as U+FFFD, which become "?".
    const QString text = view.textWithCrLf();
    const Cp932::Encoded encoded = Cp932::fromUnicode(text);
    return encoded.ok ? encoded.bytes : Cp932::fromUnicodeLossy(text);
}

bool ConfirmErase(TQuaxoRichEdit& view, MessageBoxes& boxes)
{
    const int answer = boxes.show(QStringLiteral("伝言板を消去します。回復はできません。"),
                                  Mb::IconWarning | Mb::OkCancel, QStringLiteral("Vurnaboard"));
    if (answer != Mb::IdOk)
        return false;
    view.clearLines();
    view.setModified(false);
    return true;
}

} // namespace MemoBoardView
