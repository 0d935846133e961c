#pragma once

#include <QWidget>

class FilterList;
class QCheckBox;
class TVurnaGrid;
struct MainState;

// The two drop-down filters of the board page (group and status), each a button carrying its
// on/off box, with their check lists. It fills the lists from the shown board's stored filter
// state, hands ticks and boxes to the grid, and keeps them in that state, which the filter
// file saves at exit.
class FilterPanel final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FilterPanel)

public:
    // The panel sits in `central` over the page control; its lists drop down over the grid.
    FilterPanel(MainState& state, TVurnaGrid& grid, QWidget& central, double scale);

    // The shown board changed or was loaded again: its groups, status marks and stored ticks.
    void ShowBoard();
    // The group ticks handed to the grid again (the custom groups may have changed).
    void ApplyGroupFilter();

private:
    void SetGroupList();
    void SetStatusList();
    void SetStatusFilter();
    void GroupFilterClick();
    void StatusFilterClick();

    MainState& m_state;
    TVurnaGrid& m_grid;
    QCheckBox* m_chkGroupFilter = nullptr;
    QCheckBox* m_chkStatusFilter = nullptr;
    FilterList* m_cmbGroupFilter = nullptr;
    FilterList* m_cmbStatusFilter = nullptr;
};
