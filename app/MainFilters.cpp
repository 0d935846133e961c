// The group and status filter lists of the board page: filled from the board's stored filter
// state, their ticks and on/off boxes handed to the grid and kept in the board's filter state,
// which the filter file saves at exit.

#include "app/FilterList.h"
#include "app/GroupFilterChoice.h"
#include "app/Pictures.h"
#include "app/TfrmMain.h"
#include "board/ui/TVurnaGrid.h"
#include "forms/TfrmCustomGroup.h"
#include "platform/Cp932.h"
#include "platform/SjisText.h"

#include <QCheckBox>

namespace {

QPixmap kindPicture(char kind, int size)
{
    switch (kind) {
    case GroupFilterChoice::OwnCustomGroup:
        return Pictures::Load(QStringLiteral(":/menu/customgroup.png"), QSize(size, size));
    case GroupFilterChoice::ShareCustomGroup:
        return Pictures::Load(QStringLiteral(":/menu/sitegroup.png"), QSize(size, size));
    default:
        return Pictures::Load(QStringLiteral(":/menu/group.png"), QSize(size, size));
    }
}

// The prefixed group items in list order, as the list holds them.
QList<QByteArray> groupItems(const TVurnaBoardModel& model, const ParmRec& board)
{
    QList<QByteArray> groups;
    model.GetGroupList(groups);
    return GroupFilterChoice::GroupItems(groups, board.ShareCustomGroups);
}

} // namespace

void TfrmMain::SetGroupList()
{
    const ParmRec& board = m_state.ShownBoard();
    QList<FilterList::Choice> choices;
    for (const QByteArray& item : groupItems(m_state.BoardModel, board)) {
        const QByteArray name = item.mid(1);
        FilterList::Choice choice;
        choice.text = Cp932::toUnicode(name);
        choice.picture = kindPicture(item.at(0), m_cmbGroupFilter->iconSize().width());
        choice.ticked = GroupFilterChoice::IsGroupTicked(item, board.Filter.CheckedGroups);
        // The stored choice is a comma-separated list: a name with a comma would come back as two.
        choice.tickable = !name.contains(',');
        choices.append(choice);
    }
    m_cmbGroupFilter->SetChoices(choices);
    SetGroupFilter();
}

void TfrmMain::SetStatusList()
{
    const ParmRec& board = m_state.ShownBoard();
    const QList<QPixmap>& pictures = m_keiziban->ImageList();
    QList<FilterList::Choice> choices;
    for (int code = 0; code < board.StatusTable.size(); ++code) {
        FilterList::Choice choice;
        choice.text = Cp932::toUnicode(board.StatusTable.at(code).Name);
        choice.picture = pictures.value(code);
        choice.ticked = GroupFilterChoice::IsStatusTicked(code, board.Filter.CheckedStatus);
        choices.append(choice);
    }
    m_cmbStatusFilter->SetChoices(choices);
}

void TfrmMain::SetGroupFilter()
{
    const ParmRec& board = m_state.ShownBoard();
    const QList<QByteArray> items = groupItems(m_state.BoardModel, board);
    QList<QByteArray> ticked;
    for (int row : m_cmbGroupFilter->TickedRows())
        ticked.append(items.value(row));
    const GroupFilterChoice::TGroupSelection selection =
        GroupFilterChoice::SelectGroups(ticked, board.Filter.CustomGroup, board.ShareCustomGroups);
    m_keiziban->SetGroupFilter(selection.Groups);
    m_keiziban->SetCustomGrpMember(selection.CustomGrpMember);
    m_keiziban->SetGroupFilterOn(m_chkGroupFilter->isChecked());
}

void TfrmMain::SetStatusFilter()
{
    QList<QByteArray> items;
    for (int row : m_cmbStatusFilter->TickedRows())
        items.append(',' + QByteArray::number(row) + ',');
    m_keiziban->SetStatusFilter(items);
    m_keiziban->SetStatusFilterOn(m_chkStatusFilter->isChecked());
}

void TfrmMain::GroupFilterClick()
{
    ParmRec& board = m_state.ShownBoard();
    const QList<QByteArray> items = groupItems(m_state.BoardModel, board);
    QByteArray checked = ",";
    for (int row : m_cmbGroupFilter->TickedRows())
        checked += items.value(row).mid(1) + ',';
    board.Filter.CheckedGroups = checked;
    SetGroupFilter();
    board.Filter.GroupFilterOn = m_chkGroupFilter->isChecked();
}

void TfrmMain::StatusFilterClick()
{
    ParmRec& board = m_state.ShownBoard();
    QByteArray checked = ",";
    for (int row : m_cmbStatusFilter->TickedRows())
        checked += QByteArray::number(row) + ',';
    board.Filter.CheckedStatus = checked;
    SetStatusFilter();
    board.Filter.StatusFilterOn = m_chkStatusFilter->isChecked();
}

void TfrmMain::mnuCustomGroupClick()
{
    TfrmCustomGroup editor(m_state.Boards, m_state.CurrentBoard, m_state.BoardModel, {}, this);
    if (m_customGroupRunner)
        m_customGroupRunner(editor);
    else
        editor.exec();
    SetGroupFilter();
}
