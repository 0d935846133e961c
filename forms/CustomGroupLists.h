#pragma once

#include "store/ParmRec.h"
#include "store/TVurnaDataRec.h"

#include <QByteArray>
#include <QList>

#include <optional>

// The custom group editor's rules, apart from its widgets: a tree of groups and members built
// from a board's records and its working member list, and the working lists of all boards,
// which reach the boards only when the member confirms.
namespace CustomGroupLists {

struct Member
{
    QByteArray Key;  // the status file's name without directory and extension
    QByteArray Text; // Name + " (" + Furigana + ")"
    bool In = false;

    bool operator==(const Member&) const = default;
};

struct Group
{
    QByteArray Name; // as the records carry it; may be empty
    QList<Member> Members;

    bool operator==(const Group&) const = default;
};

using Tree = QList<Group>;

// The records from index 1 on, grouped by their exact group text: groups in caseless CP932
// order, the members of each in record order, each in when `list` holds its key.
Tree BuildTree(const TVurnaDataArray& records, const QByteArray& list);

// A click on a group: every member takes the opposite of the first member's state.
void ClickGroup(Group& group);

// The keys of the members that are in, each followed by a comma, in tree order.
QByteArray TakeTree(const Tree& tree);

} // namespace CustomGroupLists

// One editing session: the working list of every board and the tree of the board on show.
// A board's list changes only from a tree built on data that was actually read, so a board
// whose share could not be read keeps its list whatever is clicked or confirmed.
class CustomGroupSession
{
public:
    // Copies every board's personal custom group; shows nothing until Show.
    explicit CustomGroupSession(const ParmRecList& boards);

    // Takes the tree on show into its board's list, then shows `board`: `records` are its
    // members (element 0 a placeholder), or nothing when they could not be read.
    void Show(int board, const std::optional<TVurnaDataArray>& records);
    // The tree on show into its board's list (when it came from readable data).
    void TakeShown();
    // Every working list into its board's personal custom group.
    void ApplyTo(ParmRecList& boards) const;

    int Shown() const { return m_shown; }
    bool ShownReadable() const { return m_readable; }
    CustomGroupLists::Tree& ShownTree() { return m_tree; }
    const QList<QByteArray>& Lists() const { return m_lists; }

private:
    QList<QByteArray> m_lists;
    CustomGroupLists::Tree m_tree;
    int m_shown = -1;
    bool m_readable = false;
};
