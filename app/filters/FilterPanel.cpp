// The group and status filter lists of the board page: filled from the board's stored filter
// state, their ticks and on/off boxes handed to the grid and kept in the board's filter state,
// which the filter file saves at exit.

#include "app/filters/FilterPanel.h"

#include "app/Pictures.h"
#include "app/filters/FilterList.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Cp932.h"
#include "platform/SjisText.h"
#include "session/GroupFilterChoice.h"
#include "session/MainState.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalBlocker>

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
QList<QByteArray> groupItems(const BoardModel& model, const ParmRec& board)
{
    QList<QByteArray> groups;
    model.GetGroupList(groups);
    return GroupFilterChoice::GroupItems(groups, board.ShareCustomGroups);
}

} // namespace

FilterPanel::FilterPanel(MainState& state, TVurnaGrid& grid, QWidget& central, double scale)
    : QWidget(&central), m_state(state), m_grid(grid)
{
    setObjectName(QStringLiteral("pnlFilters"));
    setGeometry(QRect(int(400 * scale), 0, int(225 * scale), int(28 * scale)));

    // Each button carries its on/off box at its left; the leading blanks of the caption make
    // room for it.
    const struct
    {
        const char* button;
        const char* box;
        QString caption;
        QString hint;
        QString boxHint;
        int left;
    } filters[] = {
        {"btnGroupFilter", "chkGroupFilter", QStringLiteral("    グループ "),
         QStringLiteral("選択されたグループメンバだけを表示します。"),
         QStringLiteral("グループフィルタのＯＮ／ＯＦＦを選択します。"), 0},
        {"btnStatusFilter", "chkStatusFilter", QStringLiteral("    状　態 "),
         QStringLiteral("選択された状態マークのメンバだけを表示します。"),
         QStringLiteral("状態フィルタのＯＮ／ＯＦＦを選択します。"), 113},
    };
    QPushButton* buttons[2] = {};
    for (const auto& f : filters) {
        auto* button = new QPushButton(f.caption, this);
        button->setObjectName(QLatin1String(f.button));
        button->setToolTip(f.hint);
        button->setGeometry(QRect(int(f.left * scale), int(2 * scale), int(110 * scale), int(25 * scale)));
        auto* box = new QCheckBox(button);
        box->setObjectName(QLatin1String(f.box));
        box->setToolTip(f.boxHint);
        box->setGeometry(QRect(int(6 * scale), int(5 * scale), int(16 * scale), int(16 * scale)));
        (f.left == 0 ? m_chkGroupFilter : m_chkStatusFilter) = box;
        buttons[f.left == 0 ? 0 : 1] = button;
    }
    // The lists drop down from the buttons over the grid, the status list a little to the right.
    m_cmbGroupFilter = new FilterList(int(22 * scale), int(15 * scale), &central);
    m_cmbGroupFilter->setObjectName(QStringLiteral("cmbGroupFilter"));
    m_cmbGroupFilter->setToolTip(QStringLiteral("チェックしたグループのメンバだけを表示します。"));
    m_cmbGroupFilter->setGeometry(QRect(int(400 * scale), int(27 * scale), int(220 * scale), int(22 * scale)));
    m_cmbStatusFilter = new FilterList(int(32 * scale), int(32 * scale), &central);
    m_cmbStatusFilter->setObjectName(QStringLiteral("cmbStatusFilter"));
    m_cmbStatusFilter->setToolTip(QStringLiteral("チェックした状態マークのメンバだけを表示します。"));
    m_cmbStatusFilter->setGeometry(QRect(int(416 * scale), int(27 * scale), int(209 * scale), int(32 * scale)));
    raise();

    connect(buttons[0], &QPushButton::clicked, this, [this] { m_cmbGroupFilter->Toggle(m_grid.height()); });
    connect(buttons[1], &QPushButton::clicked, this, [this] { m_cmbStatusFilter->Toggle(m_grid.height()); });
    connect(m_cmbGroupFilter, &FilterList::TickToggled, this, &FilterPanel::GroupFilterClick);
    connect(m_cmbStatusFilter, &FilterList::TickToggled, this, &FilterPanel::StatusFilterClick);
    connect(m_chkGroupFilter, &QCheckBox::toggled, this, &FilterPanel::GroupFilterClick);
    connect(m_chkStatusFilter, &QCheckBox::toggled, this, &FilterPanel::StatusFilterClick);
}

void FilterPanel::ShowBoard()
{
    const ParmRec& board = m_state.ShownBoard();
    {
        // The boxes show the stored state; the grid takes it with the lists below, once.
        const QSignalBlocker groupBlock(m_chkGroupFilter);
        const QSignalBlocker statusBlock(m_chkStatusFilter);
        m_chkGroupFilter->setChecked(board.Filter.GroupFilterOn);
        m_chkStatusFilter->setChecked(board.Filter.StatusFilterOn);
    }
    SetGroupList();
    SetStatusList();
    SetStatusFilter();
}

void FilterPanel::SetGroupList()
{
    const ParmRec& board = m_state.ShownBoard();
    QList<FilterList::Choice> choices;
    for (const QByteArray& item : groupItems(m_state.Model, board)) {
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
    ApplyGroupFilter();
}

void FilterPanel::SetStatusList()
{
    const ParmRec& board = m_state.ShownBoard();
    const QList<QPixmap>& pictures = m_grid.ImageList();
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

void FilterPanel::ApplyGroupFilter()
{
    const ParmRec& board = m_state.ShownBoard();
    const QList<QByteArray> items = groupItems(m_state.Model, board);
    QList<QByteArray> ticked;
    for (int row : m_cmbGroupFilter->TickedRows())
        ticked.append(items.value(row));
    const GroupFilterChoice::GroupSelection selection =
        GroupFilterChoice::SelectGroups(ticked, board.Filter.CustomGroup, board.ShareCustomGroups);
    m_grid.SetGroupFilter(selection.Groups);
    m_grid.SetCustomGrpMember(selection.CustomGrpMember);
    m_grid.SetGroupFilterOn(m_chkGroupFilter->isChecked());
}

void FilterPanel::SetStatusFilter()
{
    QList<QByteArray> items;
    for (int row : m_cmbStatusFilter->TickedRows())
        items.append(',' + QByteArray::number(row) + ',');
    m_grid.SetStatusFilter(items);
    m_grid.SetStatusFilterOn(m_chkStatusFilter->isChecked());
}

void FilterPanel::GroupFilterClick()
{
    ParmRec& board = m_state.ShownBoard();
    const QList<QByteArray> items = groupItems(m_state.Model, board);
    QByteArray checked = ",";
    for (int row : m_cmbGroupFilter->TickedRows())
        checked += items.value(row).mid(1) + ',';
    board.Filter.CheckedGroups = checked;
    ApplyGroupFilter();
    board.Filter.GroupFilterOn = m_chkGroupFilter->isChecked();
}

void FilterPanel::StatusFilterClick()
{
    ParmRec& board = m_state.ShownBoard();
    QByteArray checked = ",";
    for (int row : m_cmbStatusFilter->TickedRows())
        checked += QByteArray::number(row) + ',';
    board.Filter.CheckedStatus = checked;
    SetStatusFilter();
    board.Filter.StatusFilterOn = m_chkStatusFilter->isChecked();
}
