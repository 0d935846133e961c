#pragma once

#include <QtGlobal>

// Periods of the board's three periodic jobs, in minutes; 0 switches a job off. The same
// type counts the minutes elapsed since each job last ran.
class TInterval
{
public:
    qint32 CheckMsg = 0;         // memo check
    qint32 ReloadLastCommit = 0; // change-stamp check
    qint32 ReloadAllFile = 0;    // full reload

    bool operator==(const TInterval&) const = default;
};
