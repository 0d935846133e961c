#pragma once

#include "store/TVurnaDataRec.h"

class StatusNotifier;
class BoardModel;

// Writes members' status files and the own stop marker, keeping the board model, the own
// record and the other copies in step with each write.
class UserStatusWriter
{
public:
    UserStatusWriter(BoardModel& board, TVurnaDataRec& own);

    void SetNotifier(StatusNotifier* notifier) { m_notifier = notifier; }

    // Saves one member: the file is rewritten whole, the board shows it at once, the own
    // record follows when it is the own member, and a status notice goes out. The change
    // stamp is left to the caller. A file that cannot be written (the share is away) changes
    // nothing and announces nothing: false, for the caller to report.
    bool WriteUserFile(const TVurnaDataRec& record);

    // stopped: the own program is ending (marker written, stopped notice); otherwise it runs
    // (marker deleted, started notice). Either way the change stamp names the own member.
    // False when the share took neither: colleagues' boards will not show the change.
    bool SetStopMarker(bool stopped);

private:
    BoardModel& m_board;
    TVurnaDataRec& m_own;
    StatusNotifier* m_notifier = nullptr;
};
