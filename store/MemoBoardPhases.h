#pragma once

#include "store/MemoFiles.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What the memo view shows of a board, and in which colours, without drawing it: the
// unread memos, the unread marker (another member's board only), then the read memos.
namespace MemoBoardPhases {

struct Rgb
{
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr int headerPointSize = 12;
inline constexpr int bodyPointSize = 11;

// Stands between the unread and the read memos of another member's board; never stored.
// Sixteen blanks before the first ◆, two empty lines after it.
QByteArray unreadMarker();

struct Phase
{
    QString statusText;      // shown in the status panel while the phase is added
    QList<QByteArray> lines; // CP932
    Rgb headerColour;        // lines that begin with "○"
    Rgb bodyColour;          // all other lines
};

// The three phases in display order. The marker phase has lines only when unread memos
// existed and the marker is not hidden (hidden on the member's own board).
QList<Phase> phasesOf(const MemoFiles::Board& board, bool hideMarker);

// Colour and size of one line of a phase.
inline Rgb colourOf(const Phase& phase, const QByteArray& line)
{
    return MemoFiles::isHeaderLine(line) ? phase.headerColour : phase.bodyColour;
}
inline int pointSizeOf(const QByteArray& line)
{
    return MemoFiles::isHeaderLine(line) ? headerPointSize : bodyPointSize;
}

} // namespace MemoBoardPhases
