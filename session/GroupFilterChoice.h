#pragma once

#include "store/ParmRec.h"

#include <QByteArray>
#include <QList>

// The group and status filter lists of a board as the window offers them, and what their
// ticks hand to the grid. Text is CP932.
namespace GroupFilterChoice {

// Kind prefixes of the group list's items; the list is sorted, so the kinds come in this
// order.
constexpr char PlainGroup = '0';
constexpr char OwnCustomGroup = '1';
constexpr char ShareCustomGroup = '2';

// "カスタムグループ": the item of the user's own custom group, without its prefix.
QByteArray OwnCustomGroupName();

// The items with their prefixes: the board's groups ("0"), "1カスタムグループ", the site's
// custom groups ("2"), each kind in order.
QList<QByteArray> GroupItems(const QList<QByteArray>& boardGroups, const QList<SiteCustomGroup>& shareGroups);

// Whether an item (with its prefix) is ticked by the stored ",name,name," text.
bool IsGroupTicked(const QByteArray& item, const QByteArray& checkedGroups);
// Whether the status item `code` is ticked by the stored ",code,code," text.
bool IsStatusTicked(int code, const QByteArray& checkedStatus);

// What the ticked group items hand to the grid.
struct GroupSelection
{
    QList<QByteArray> Groups;   // plain groups
    QByteArray CustomGrpMember; // the chosen custom groups' members, comma-separated
    bool operator==(const GroupSelection&) const = default;
};

// Walks the ticked items in list order: a plain group adds its name; the own custom group
// sets the members to the user's own custom group; a site custom group appends the members
// of every site group of that name. Member lists are joined with a comma so that the last
// key of one list and the first of the next never run together.
GroupSelection SelectGroups(const QList<QByteArray>& tickedItems, const QByteArray& ownCustomGroup,
                            const QList<SiteCustomGroup>& shareGroups);

// The grid's status filter items (",code,") for the ticked codes of a status table of
// `statusCount` entries.
QList<QByteArray> SelectStatuses(int statusCount, const QByteArray& checkedStatus);

} // namespace GroupFilterChoice
