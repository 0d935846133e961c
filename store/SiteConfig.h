#pragma once

#include "platform/FileText.h"
#include "store/ParmRec.h"
#include "store/VurnaLog.h"

#include <QByteArray>

class Clock;
class ShareMoveTarget;

// What a configuration load needs besides the boards themselves.
struct SiteConfigContext
{
    // Takes the local-settings writes of a CHANGESHAREDIR line. Without one the own board
    // still moves (its record and the file read next); only the local settings and the own
    // identity are left unwritten.
    ShareMoveTarget* shareMove = nullptr;
    // Time stamps of log entries and the today that short calendar dates are read around; the
    // system clock when null.
    const Clock* clock = nullptr;
    // The running member's display name, for log entries.
    QByteArray memberName;
    RetryPolicy retry;
    // Where the log's lines go off the window's thread; written at once without one.
    VurnaLog::Appender logAppender = nullptr;
};

// Reading a board's "vurna.ini" into its site record.
namespace SiteConfig {

constexpr char FileName[] = "vurna.ini";

// Reads the configuration of `shareDir` into boards[index]. With `ownBoard` the array is
// first cut back to the own board (index must be 0), and SHAREDIR and CHANGESHAREDIR lines
// are honoured. A missing file leaves the defaults and succeeds. On failure the values
// read so far stay, the fault is logged to the own board's "vurna.log" and the result is
// false.
bool Load(const QByteArray& shareDir, ParmRecList& boards, int index, bool ownBoard, const SiteConfigContext& context);

// The sort priority length of the site in `shareDir` (0 when not used or no file).
qint32 ReadSortPriority(const QByteArray& shareDir, const RetryPolicy& policy = {});

// Brings the datagram settings and intervals into their allowed ranges.
void ApplyFinalChecks(ParmRec& rec);

} // namespace SiteConfig
