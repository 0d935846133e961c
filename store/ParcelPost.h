#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>

#include <optional>

// The send list: what one sending of memos and parcels (Vurna便) asks the main window to do,
// as lines of CP932 text kept in memory until the next sending.
//   file line  "<F>" + source path + "<T>" + destination folder
//   memo line  "<N>" + recipient path + "<M>" + memo text
// The recipient path is the member's FileName (path without extension). A destination folder
// is the recipient's inbox (recipient path as a folder) + the batch label + a separator: the
// parcel folder that holds the items of one sending.
namespace ParcelPost {

inline constexpr char fileTag[] = "<F>";
inline constexpr char toTag[] = "<T>";
inline constexpr char memoTag[] = "<N>";
inline constexpr char textTag[] = "<M>";

enum class LineKind { File, Memo, Other };
LineKind KindOf(const QByteArray& line);

QByteArray FileLine(const QByteArray& source, const QByteArray& destination);
QByteArray MemoLine(const QByteArray& recipient, const QByteArray& memo);

struct FileLineParts
{
    QByteArray source;
    QByteArray destination;
};
// A dropped path may itself hold "<T>" (a legal name on Linux), while a destination never does:
// it is a folder of the share, whose names follow Windows rules, below a label with '<' and '>'
// replaced. So the destination is what follows the LAST "<T>". Nothing when the line is not a
// file line or has no "<T>".
std::optional<FileLineParts> ParseFileLine(const QByteArray& line);

struct MemoLineParts
{
    QByteArray recipient;
    QByteArray memo; // trimmed of blanks and control characters
};
// The recipient is what stands between "<N>" and the first "<M>" (a member path never holds
// one); the memo is everything after it.
std::optional<MemoLineParts> ParseMemoLine(const QByteArray& line);

// `name` made fit to be part of one folder name that copies on Windows can open too: each of
// \ / : * ? " < > | and every control character becomes '_', walking double-byte characters as
// pairs so that a trail byte 0x5C or 0x7C is never touched. A name of dots alone could climb out
// of the inbox and becomes underscores; trailing dots and blanks, which Windows drops, become
// underscores as well.
QByteArray SafeFolderName(const QByteArray& name);

// The name of the parcel folder of one sending: the sender's name (made safe) +
// "さんからのVurna便 " + the sending time as m"月"d"日" h"時"n"分"s"秒".
QByteArray BatchLabel(const QByteArray& senderName, const QDateTime& sentAt);

// The lines of one sending, in order: for each recipient, one file line per dropped item in drop
// order, then the recipient's memo line. `memo` is trimmed; an empty memo still makes a line.
QList<QByteArray> BuildSendList(const QByteArray& batchLabel, const QList<QByteArray>& recipients,
                                const QList<QByteArray>& droppedItems, const QByteArray& memo);

// The inbox folder of a recipient: their path without extension, as a folder.
QByteArray InboxPath(const QByteArray& recipient);

} // namespace ParcelPost
