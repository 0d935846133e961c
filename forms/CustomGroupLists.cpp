#include "forms/CustomGroupLists.h"

#include "platform/SjisText.h"
#include "store/MemberList.h"

#include <algorithm>

namespace CustomGroupLists {

Tree BuildTree(const TVurnaDataArray& records, const QByteArray& list)
{
    // Every spelling of a list means the same set, the last key without its comma included.
    const QByteArray members = MemberList::Normalise(list);
    Tree tree;
    const auto groupOf = [&tree](const QByteArray& name) {
        return std::find_if(tree.begin(), tree.end(), [&name](const Group& g) { return g.Name == name; });
    };
    for (qsizetype i = 1; i < records.size(); ++i) {
        if (groupOf(records.at(i).Group) == tree.end())
            tree.append(Group{records.at(i).Group, {}});
    }
    // Stable, so groups that differ only in letter case keep the order of their first member.
    std::stable_sort(tree.begin(), tree.end(), [](const Group& a, const Group& b) {
        return SjisText::compareBytes(SjisText::upperCase(a.Name), SjisText::upperCase(b.Name)) < 0;
    });
    for (qsizetype i = 1; i < records.size(); ++i) {
        const TVurnaDataRec& record = records.at(i);
        // FileName already lacks the extension; a dot left in it belongs to the key.
        const QByteArray key = SjisText::fileNamePart(record.FileName);
        groupOf(record.Group)
            ->Members.append(
                Member{key, record.Name + " (" + record.Furigana + ")", MemberList::Contains(members, key)});
    }
    return tree;
}

void ClickGroup(Group& group)
{
    if (group.Members.isEmpty())
        return;
    const bool in = !group.Members.first().In;
    for (Member& member : group.Members)
        member.In = in;
}

QByteArray TakeTree(const Tree& tree)
{
    QByteArray list;
    for (const Group& group : tree) {
        for (const Member& member : group.Members) {
            if (member.In)
                list += member.Key + ',';
        }
    }
    return list;
}

} // namespace CustomGroupLists

CustomGroupSession::CustomGroupSession(const ParmRecList& boards)
{
    m_lists.reserve(boards.size());
    for (const ParmRec& board : boards)
        m_lists.append(board.Filter.CustomGroup);
}

void CustomGroupSession::Show(int board, const std::optional<TVurnaDataArray>& records)
{
    TakeShown();
    m_shown = board;
    m_readable = records.has_value() && board >= 0 && board < m_lists.size();
    m_tree = m_readable ? CustomGroupLists::BuildTree(*records, m_lists.at(board)) : CustomGroupLists::Tree{};
}

void CustomGroupSession::TakeShown()
{
    if (m_readable)
        m_lists[m_shown] = CustomGroupLists::TakeTree(m_tree);
}

void CustomGroupSession::ApplyTo(ParmRecList& boards) const
{
    for (qsizetype i = 0; i < boards.size() && i < m_lists.size(); ++i)
        boards[i].Filter.CustomGroup = m_lists.at(i);
}
