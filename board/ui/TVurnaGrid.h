#pragma once

#include "board/Arrangement.h"
#include "board/BoardSelection.h"
#include "board/ui/GridCellPainter.h"

#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QScrollBar>
#include <QStringList>
#include <QWidget>

class Clock;
class BoardModel;

// The board: members two to a row, each cell drawn here (status picture, name, destination,
// return time), a selection of members for the absence, memo and delivery commands, the
// destination as a hover hint, double-click and files dropped from the shell.
//
// The grid is handed the board model and draws it: it builds its cells from the members with
// the filters in force and rebuilds them when the model says what changed. The vertical scroll bar is a separate
// control that the window places beside the grid (vbarKeiziban); the grid creates it with the grid's parent and keeps
// it in step.
//
// Texts are CP932 bytes, as the model holds them; they become Unicode only when drawn.
class TVurnaGrid final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TVurnaGrid)

public:
    // `clock` decides the display status of every painted cell and of the status filter. The
    // model and the clock must outlive the grid.
    TVurnaGrid(const BoardModel& model, Clock& clock, QWidget* parent = nullptr);
    ~TVurnaGrid() override;

    // Group filter: group names (kept sorted) and the custom group's members. Fill both, then
    // switch the filter, which rearranges.
    const QList<QByteArray>& GroupFilter() const { return m_filter.GroupFilter; }
    void SetGroupFilter(const QList<QByteArray>& groups);
    bool GroupFilterOn() const { return m_filter.GroupFilterOn; }
    void SetGroupFilterOn(bool on);
    QByteArray CustomGrpMember() const { return m_filter.CustomGrpMember; }
    // Stores the list with a comma at each end ("," alone becomes empty); does not rearrange.
    void SetCustomGrpMember(const QByteArray& names);

    // Status filter: ",code," items (kept sorted); switching it rearranges.
    const QList<QByteArray>& StatusFilter() const { return m_filter.StatusFilter; }
    void SetStatusFilter(const QList<QByteArray>& items);
    bool StatusFilterOn() const { return m_filter.StatusFilterOn; }
    void SetStatusFilterOn(bool on);

    // Kana-row highlighting: the half-width katakana whose readings stay white, or "*" for
    // none. Setting a row makes its first member the current cell.
    QByteArray ScrDBEnabled() const { return m_scrDBEnabled; }
    void SetScrDBEnabled(const QByteArray& chars);

    bool SmallFont() const { return m_smallFont; }
    void SetSmallFont(bool small);

    // Status pictures (32 x 32 on white), indexed by display status code. White is drawn in
    // the cell's background colour.
    const QList<QPixmap>& ImageList() const { return m_imageList; }
    void SetImageList(const QList<QPixmap>& pictures);

    // The selection: FileNames of the selected members, sorted.
    const QList<QByteArray>& ScrDBSelection() const { return m_selection.FileNames(); }
    // Element 0 a placeholder, then the members of the non-empty cells in cell order (only the
    // selected ones with `onlySelected`). True when at least one member was taken.
    bool GetSelection(TVurnaDataArray& members, bool onlySelected) const;
    bool HasSelection() const;
    void SelectAll();
    void ClearSelection();

    // Selection emptied, highlighting off, fonts and sizes for the screen. Run at creation and
    // after every full reload.
    void ResetLook();
    // Redraws the cells of one member, first refreshing them from the model with `reload`.
    void InvalidateMember(const QByteArray& fileName, bool reload);
    // Rebuilds the cells from the model with the filters in force.
    void Arrange();

    int ColCount() const { return m_cells.ColCount(); }
    int RowCount() const { return m_cells.RowCount(); }
    int Col() const { return m_col; }
    int Row() const { return m_row; }
    // Moves the current cell (clamped to the grid) and scrolls it into view.
    void SetCurrent(int col, int row);
    void SetCol(int col) { SetCurrent(col, m_row); }
    void SetRow(int row) { SetCurrent(m_col, row); }
    const TVurnaData2Array& Cells() const { return m_cells; }

    // The first row on screen and how many whole rows fit.
    int TopRow() const { return m_topRow; }
    void SetTopRow(int row);
    int VisibleRowCount() const;
    // The wheel rule: one row per wheel event, whatever the delta; negative is toward the
    // user (down). Moves the top row and the current row together; true when it moved.
    bool WheelRow(int delta);

    // Geometry in pixels for the screen's dpi.
    int DefaultRowHeight() const { return m_rowHeight; }
    int DefaultColWidth() const { return m_colWidth; }
    int GridLineWidth() const { return m_lineWidth; }
    int GridX() const { return m_gridX; }
    QRect CellRect(int col, int row) const;
    // The cell under a point of the widget; invalid outside the cells.
    Arrangement::CellPos CellAt(const QPoint& pos) const;

    // Full paths of the files of the last drop, in the drop's order.
    const QStringList& DropFiles() const { return m_dropFiles; }
    // The detail window has handed the dropped items over (or the user cancelled).
    void ClearDropFiles() { m_dropFiles.clear(); }

    // The separate vertical scroll bar (vbarKeiziban); the grid deletes it if nobody else has.
    QScrollBar* ScrollBar() const { return m_scrollBar; }

    QSize sizeHint() const override;

signals:
    // A double-click on a member (now in the selection).
    void OnDblClick();
    // Files were dropped on the member at (col, row), now the current cell; see DropFiles.
    void OnShellDrop(int col, int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool inRange(int col, int row) const;
    void redrawCell(int col, int row);
    void scrollIntoView(int row);
    void syncScrollBar();
    void scrollBarMoved(int value);

    const BoardModel& m_model;
    Clock& m_clock;
    TVurnaData2Array m_cells;
    ArrangeFilter m_filter;
    QByteArray m_scrDBEnabled = "*";
    bool m_smallFont = false;
    QList<QPixmap> m_imageList;
    BoardSelection m_selection;
    QStringList m_dropFiles;
    QPointer<QScrollBar> m_scrollBar;
    GridCellPainter m_painter;

    int m_col = 0;
    int m_row = 0;
    int m_topRow = 0;
    // The range selection of a press held down: from the anchor to the current cell.
    Arrangement::CellPos m_anchor{0, 0};
    bool m_mouseSelecting = false;
    bool m_syncingScrollBar = false;
    // The release that ends a double-click is not a selection of its own.
    bool m_ignoreRelease = false;

    int m_rowHeight = 38;
    int m_colWidth = 279;
    int m_lineWidth = 2;
    int m_gridX = 0;
};
