#pragma once

#include "store/TVurnaDataRec.h"

struct ParmRec;

// What a CHANGESHAREDIR line needs from the local settings when it moves the own board to a
// new shared directory. The site configuration reader only decides that the board moves;
// the local settings object (which the main window owns) does the storing.
class ShareMoveTarget
{
public:
    virtual ~ShareMoveTarget() = default;
    // Stores ShareDir, AutoSmall and AutoDengonOpen of the own board (and upper-cases the
    // directory it holds).
    virtual void WriteLocalSettings(ParmRec& ownBoard) = 0;
    // The member's own identity as the local settings keep it.
    virtual TVurnaDataRec LoadOwnIdentity() = 0;
    virtual void SaveOwnIdentity(const TVurnaDataRec& own) = 0;
};
