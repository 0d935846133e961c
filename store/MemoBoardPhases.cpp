#include "store/MemoBoardPhases.h"

#include "platform/Cp932.h"

namespace MemoBoardPhases {

QByteArray unreadMarker()
{
    return Cp932::fromUnicodeLossy(QStringLiteral("                ◆◆ 以上が未読伝言です。 ◆◆\r\n\r\n\r\n"));
}

QList<Phase> phasesOf(const MemoFiles::Board& board, bool hideMarker)
{
    const QString unreadText = QStringLiteral("新着伝言の展開中です");
    const QString readText = QStringLiteral("既読伝言の展開中です");
    const Rgb cyan{0, 255, 255};
    const Rgb white{255, 255, 255};
    const Rgb yellow{255, 255, 0};
    const Rgb lightBlue{32, 160, 255};
    const Rgb grey{128, 128, 128};

    QList<Phase> phases;
    phases.append({unreadText, MemoFiles::splitLines(board.unread), cyan, white});
    const bool marker = board.hadUnread && !hideMarker;
    phases.append({unreadText, marker ? MemoFiles::splitLines(unreadMarker()) : QList<QByteArray>{}, yellow, yellow});
    phases.append({readText, MemoFiles::splitLines(board.read), lightBlue, grey});
    return phases;
}

} // namespace MemoBoardPhases
