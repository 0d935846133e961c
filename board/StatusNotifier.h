#pragma once

#include "store/TVurnaDataRec.h"

// Tells the other copies at once that a member changed. The datagram side implements it;
// without one, other copies learn of changes through the change stamp and full reloads.
class StatusNotifier
{
public:
    virtual ~StatusNotifier() = default;
    // The member's destination, return date and time and status mark changed.
    virtual void SendStatusNotice(const TVurnaDataRec& record) = 0;
    // The own program started (with its address) or is stopping.
    virtual void SendRunningNotice(const TVurnaDataRec& own, bool running) = 0;
};
