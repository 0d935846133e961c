#pragma once

#include "store/TVurnaDataRec.h"

#include <QDateTime>

#include <algorithm>
#include <limits>

// Display status codes: the index into the status table, the status pictures and the status
// filter. Codes 3 and up come in pairs per status mark: odd is back today, even is not.
namespace StatusCode {
constexpr int Stopped = 0;
constexpr int Running = 1;
constexpr int Overdue = 2;
// A status index read from a file can be any number; the code saturates rather than wraps,
// so a nonsense index never turns into another status.
constexpr int saturated(qint64 code)
{
    return int(std::clamp<qint64>(code, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
constexpr int backToday(int statusIndex)
{
    return saturated(2 * qint64(statusIndex) + 3);
}
constexpr int away(int statusIndex)
{
    return saturated(2 * qint64(statusIndex) + 4);
}
} // namespace StatusCode

// The display status code of `record` at `now`, and the return text drawn on the board.
void GetStatusText(const TVurnaDataRec& record, const QDateTime& now, QByteArray& text, int& code);
