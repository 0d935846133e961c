#include "session/GroupFilterChoice.h"

#include "platform/Cp932.h"
#include "platform/SjisText.h"

#include <algorithm>

namespace GroupFilterChoice {

namespace {

QByteArray withoutPrefix(const QByteArray& item)
{
    return item.mid(1);
}

// `list` + `more` as one member list.
QByteArray joinMembers(const QByteArray& list, const QByteArray& more)
{
    if (list.isEmpty() || list.endsWith(',') || more.startsWith(','))
        return list + more;
    return list + ',' + more;
}

} // namespace

QByteArray OwnCustomGroupName()
{
    return Cp932::fromUnicodeLossy(QStringLiteral("カスタムグループ"));
}

QList<QByteArray> GroupItems(const QList<QByteArray>& boardGroups, const QList<SiteCustomGroup>& shareGroups)
{
    QList<QByteArray> items;
    for (const QByteArray& group : boardGroups)
        items.append(PlainGroup + group);
    items.append(OwnCustomGroup + OwnCustomGroupName());
    QList<QByteArray> shared;
    for (const SiteCustomGroup& group : shareGroups)
        shared.append(ShareCustomGroup + group.Name);
    std::stable_sort(shared.begin(), shared.end(),
                     [](const QByteArray& a, const QByteArray& b) { return SjisText::compareBytes(a, b) < 0; });
    items.append(shared);
    return items;
}

bool IsGroupTicked(const QByteArray& item, const QByteArray& checkedGroups)
{
    return SjisText::indexOf(checkedGroups, ',' + withoutPrefix(item) + ',') >= 0;
}

bool IsStatusTicked(int code, const QByteArray& checkedStatus)
{
    return checkedStatus.contains(',' + QByteArray::number(code) + ',');
}

GroupSelection SelectGroups(const QList<QByteArray>& tickedItems, const QByteArray& ownCustomGroup,
                            const QList<SiteCustomGroup>& shareGroups)
{
    GroupSelection selection;
    for (const QByteArray& item : tickedItems) {
        if (item.isEmpty())
            continue;
        const QByteArray name = withoutPrefix(item);
        switch (item.at(0)) {
        case PlainGroup:
            selection.Groups.append(name);
            break;
        case OwnCustomGroup:
            selection.CustomGrpMember = ownCustomGroup;
            break;
        case ShareCustomGroup:
            for (const SiteCustomGroup& group : shareGroups) {
                if (group.Name == name)
                    selection.CustomGrpMember = joinMembers(selection.CustomGrpMember, group.Members);
            }
            break;
        default:
            break;
        }
    }
    return selection;
}

QList<QByteArray> SelectStatuses(int statusCount, const QByteArray& checkedStatus)
{
    QList<QByteArray> items;
    for (int code = 0; code < statusCount; ++code) {
        if (IsStatusTicked(code, checkedStatus))
            items.append(',' + QByteArray::number(code) + ',');
    }
    return items;
}

} // namespace GroupFilterChoice
