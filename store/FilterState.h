#pragma once

#include <QByteArray>

// What the member narrowed one board to: the personal custom group and the group and status
// filters. Lives beside the board's configuration and survives every reload of it; reaches
// the disk only through the filter file at a normal exit.
struct FilterState
{
    QByteArray CustomGroup; // member list: the member's own custom group on this board
    bool GroupFilterOn = false;
    QByteArray CheckedGroups; // ",name,name," by shown names; empty when none
    bool StatusFilterOn = false;
    QByteArray CheckedStatus; // ",code,code," display status codes; empty when none

    bool operator==(const FilterState&) const = default;
};
