#include "board/ui/TVurnaGrid.h"

#include "board/BoardModel.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/SjisText.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

int scaled(int pixelsAt96, int dpi)
{
    return int(std::lround(double(pixelsAt96) * dpi / 96.0));
}

// Status pictures come opaque on a white background (with or without an alpha channel). The
// white around the mark, reached from the picture's edge, shows the cell's background instead;
// white inside the mark (an arrow, a face) stays white.
QPixmap masked(const QPixmap& picture)
{
    if (picture.isNull())
        return picture;
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    const auto white = [&](int x, int y) { return image.pixel(x, y) == 0xFFFFFFFFu; };
    QList<QPoint> pending;
    for (int x = 0; x < w; ++x)
        pending << QPoint(x, 0) << QPoint(x, h - 1);
    for (int y = 0; y < h; ++y)
        pending << QPoint(0, y) << QPoint(w - 1, y);
    while (!pending.isEmpty()) {
        const QPoint p = pending.takeLast();
        if (p.x() < 0 || p.y() < 0 || p.x() >= w || p.y() >= h || !white(p.x(), p.y()))
            continue;
        image.setPixel(p, 0);
        pending << QPoint(p.x() + 1, p.y()) << QPoint(p.x() - 1, p.y()) << QPoint(p.x(), p.y() + 1)
                << QPoint(p.x(), p.y() - 1);
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(picture.devicePixelRatio());
    return result;
}

} // namespace

TVurnaGrid::TVurnaGrid(const BoardModel& model, Clock& clock, QWidget* parent)
    : QWidget(parent), m_model(model), m_clock(clock), m_scrollBar(new QScrollBar(Qt::Vertical, parent))
{
    setFocusPolicy(Qt::WheelFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_scrollBar->setRange(0, 0);
    m_scrollBar->setTracking(true);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &TVurnaGrid::scrollBarMoved);

    connect(&m_model, &BoardModel::MembersReset, this, [this] {
        Arrange();
        ResetLook();
    });
    connect(&m_model, &BoardModel::MemberChanged, this,
            [this](const QByteArray& fileName) { InvalidateMember(fileName, true); });
    connect(&m_model, &BoardModel::OrderChanged, this, &TVurnaGrid::Arrange);
    ResetLook();
}

TVurnaGrid::~TVurnaGrid()
{
    delete m_scrollBar.data();
}

// ---- filters and highlighting ----

void TVurnaGrid::SetGroupFilter(const QList<QByteArray>& groups)
{
    m_filter.GroupFilter = groups;
    std::sort(m_filter.GroupFilter.begin(), m_filter.GroupFilter.end());
}

void TVurnaGrid::SetGroupFilterOn(bool on)
{
    m_filter.GroupFilterOn = on;
    Arrange();
}

void TVurnaGrid::SetCustomGrpMember(const QByteArray& names)
{
    m_filter.CustomGrpMember = Arrangement::NormaliseCustomGrpMember(names);
}

void TVurnaGrid::SetStatusFilter(const QList<QByteArray>& items)
{
    m_filter.StatusFilter = items;
    std::sort(m_filter.StatusFilter.begin(), m_filter.StatusFilter.end());
}

void TVurnaGrid::SetStatusFilterOn(bool on)
{
    m_filter.StatusFilterOn = on;
    Arrange();
}

void TVurnaGrid::SetScrDBEnabled(const QByteArray& chars)
{
    m_scrDBEnabled = chars;
    const Arrangement::CellPos found = Arrangement::FindFirstHighlighted(m_cells, m_scrDBEnabled);
    if (found.IsValid()) {
        // Through the last cell first, so that the found row comes into view from below.
        SetCurrent(ColCount() - 1, RowCount() - 1);
        SetCurrent(found.Col, found.Row);
    }
    update();
}

void TVurnaGrid::SetSmallFont(bool small)
{
    m_smallFont = small;
    update();
}

void TVurnaGrid::SetImageList(const QList<QPixmap>& pictures)
{
    m_imageList.clear();
    for (const QPixmap& picture : pictures)
        m_imageList.append(masked(picture));
    update();
}

// ---- selection ----

bool TVurnaGrid::GetSelection(TVurnaDataArray& members, bool onlySelected) const
{
    members.clear();
    members.append(TVurnaDataRec{});
    for (int row = 0; row < RowCount(); ++row) {
        for (int col = 0; col < ColCount(); ++col) {
            const TVurnaDataRec& member = m_cells.At(col, row);
            if (!member.FileName.isEmpty() && (!onlySelected || m_selection.IsSelected(member.FileName)))
                members.append(member);
        }
    }
    return members.size() > 1;
}

bool TVurnaGrid::HasSelection() const
{
    for (int row = 0; row < RowCount(); ++row) {
        for (int col = 0; col < ColCount(); ++col) {
            const QByteArray& fileName = m_cells.At(col, row).FileName;
            if (!fileName.isEmpty() && m_selection.IsSelected(fileName))
                return true;
        }
    }
    return false;
}

void TVurnaGrid::SelectAll()
{
    for (int row = 0; row < RowCount(); ++row) {
        for (int col = 0; col < ColCount(); ++col)
            m_selection.SetSelected(m_cells.At(col, row).FileName);
    }
    update();
}

void TVurnaGrid::ClearSelection()
{
    m_selection.Clear();
    update();
}

// ---- look, cells, rows ----

void TVurnaGrid::ResetLook()
{
    m_selection.Clear();
    m_scrDBEnabled = "*";
    m_mouseSelecting = false;
    const int dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    m_lineWidth = 2;
    m_rowHeight = scaled(38, dpi);
    m_colWidth = scaled(279, dpi);
    if (m_painter.Dpi() != dpi)
        m_painter = GridCellPainter(dpi);
    m_gridX = m_painter.NameAreaWidth();
    if (m_scrollBar)
        m_scrollBar->setPageStep(6);
    SetTopRow(m_topRow);
    update();
}

void TVurnaGrid::InvalidateMember(const QByteArray& fileName, bool reload)
{
    for (int row = 0; row < RowCount(); ++row) {
        for (int col = 0; col < ColCount(); ++col) {
            if (m_cells.At(col, row).FileName != fileName)
                continue;
            TVurnaDataRec fresh;
            if (reload && m_model.FindMember(fileName, fresh) >= 0)
                m_cells.Set(col, row, fresh);
            redrawCell(col, row);
            break;
        }
    }
}

void TVurnaGrid::Arrange()
{
    const int rememberedRow = m_row;
    Arrangement::Arrange(m_model.Members(), m_filter, m_clock.now(), m_cells);
    m_col = 0;
    m_row = std::min(rememberedRow, RowCount() - 1);
    m_anchor = {m_col, m_row};
    m_topRow = 0;
    scrollIntoView(m_row);
    syncScrollBar();
    update();
}

void TVurnaGrid::SetCurrent(int col, int row)
{
    m_col = std::clamp(col, 0, ColCount() - 1);
    m_row = std::clamp(row, 0, RowCount() - 1);
    if (!m_mouseSelecting)
        m_anchor = {m_col, m_row};
    scrollIntoView(m_row);
    syncScrollBar();
    update();
}

int TVurnaGrid::VisibleRowCount() const
{
    return std::max(1, height() / (m_rowHeight + m_lineWidth));
}

void TVurnaGrid::SetTopRow(int row)
{
    const int top = std::clamp(row, 0, std::max(0, RowCount() - VisibleRowCount()));
    if (top != m_topRow) {
        m_topRow = top;
        update();
    }
}

void TVurnaGrid::scrollIntoView(int row)
{
    if (row < m_topRow)
        SetTopRow(row);
    else if (row >= m_topRow + VisibleRowCount())
        SetTopRow(row - VisibleRowCount() + 1);
}

bool TVurnaGrid::WheelRow(int delta)
{
    if (delta < 0 && m_topRow < RowCount() - VisibleRowCount()) {
        SetTopRow(m_topRow + 1);
        SetCurrent(m_col, m_row + 1);
        return true;
    }
    if (delta > 0 && m_topRow >= 1) {
        SetTopRow(m_topRow - 1);
        SetCurrent(m_col, m_row - 1);
        return true;
    }
    return false;
}

void TVurnaGrid::syncScrollBar()
{
    if (!m_scrollBar)
        return;
    // The grid moved: the bar follows without moving the grid again.
    m_syncingScrollBar = true;
    m_scrollBar->setRange(0, RowCount() - 1);
    m_scrollBar->setValue(m_row);
    m_syncingScrollBar = false;
}

void TVurnaGrid::scrollBarMoved(int value)
{
    if (!m_syncingScrollBar)
        SetRow(value);
}

QRect TVurnaGrid::CellRect(int col, int row) const
{
    return QRect(col * (m_colWidth + m_lineWidth), (row - m_topRow) * (m_rowHeight + m_lineWidth), m_colWidth,
                 m_rowHeight);
}

Arrangement::CellPos TVurnaGrid::CellAt(const QPoint& pos) const
{
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= width() || pos.y() >= height())
        return {};
    // A grid line belongs to the cell before it.
    const int col = pos.x() / (m_colWidth + m_lineWidth);
    const int row = m_topRow + pos.y() / (m_rowHeight + m_lineWidth);
    if (col >= ColCount() || row >= RowCount())
        return {};
    return {col, row};
}

bool TVurnaGrid::inRange(int col, int row) const
{
    return col >= std::min(m_anchor.Col, m_col) && col <= std::max(m_anchor.Col, m_col) &&
           row >= std::min(m_anchor.Row, m_row) && row <= std::max(m_anchor.Row, m_row);
}

void TVurnaGrid::redrawCell(int col, int row)
{
    update(CellRect(col, row));
}

QSize TVurnaGrid::sizeHint() const
{
    return {ColCount() * (m_colWidth + m_lineWidth) + m_lineWidth, 6 * (m_rowHeight + m_lineWidth)};
}

// ---- painting ----

void TVurnaGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), GridLook::White);
    const QDateTime now = m_clock.now();
    const int rowPitch = m_rowHeight + m_lineWidth;
    const int lastRow = std::min(RowCount() - 1, m_topRow + height() / rowPitch);
    const bool focused = hasFocus();
    for (int row = m_topRow; row <= lastRow; ++row) {
        for (int col = 0; col < ColCount(); ++col) {
            const QRect rect = CellRect(col, row);
            // The grid lines right of and below the cell.
            painter.fillRect(QRect(rect.right() + 1, rect.top(), m_lineWidth, rowPitch), GridLook::Silver);
            painter.fillRect(QRect(rect.left(), rect.bottom() + 1, rect.width(), m_lineWidth), GridLook::Silver);
            if (!rect.intersects(event->rect()))
                continue;
            const TVurnaDataRec& member = m_cells.At(col, row);
            GridLook::CellState state;
            state.Highlighted = Arrangement::IsHighlighted(member.Furigana, m_scrDBEnabled);
            state.InRange = inRange(col, row);
            state.Current = col == m_col && row == m_row;
            state.MouseSelecting = m_mouseSelecting;
            state.InSelection = !member.FileName.isEmpty() && m_selection.IsSelected(member.FileName);
            GridCellPainter::Cell cell;
            cell.Rect = rect;
            cell.Background = GridLook::Background(state);
            cell.Focused = focused && state.Current;
            cell.LineWidth = m_lineWidth;
            cell.GridX = m_gridX;
            cell.SmallFont = m_smallFont;
            m_painter.Paint(painter, cell, member, now, m_imageList);
        }
    }
}

void TVurnaGrid::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    SetTopRow(m_topRow);
    scrollIntoView(m_row);
}

void TVurnaGrid::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    redrawCell(m_col, m_row);
}

void TVurnaGrid::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    redrawCell(m_col, m_row);
}

// ---- mouse, wheel, keys, drops ----

void TVurnaGrid::mousePressEvent(QMouseEvent* event)
{
    // The right button belongs to the window's context menu: current cell and selection stay.
    if (event->button() != Qt::LeftButton && event->button() != Qt::MiddleButton) {
        event->ignore();
        return;
    }
    m_ignoreRelease = false;
    const Arrangement::CellPos cell = CellAt(event->position().toPoint());
    if (!cell.IsValid()) {
        update();
        return;
    }
    m_mouseSelecting = true;
    m_anchor = cell;
    SetCurrent(cell.Col, cell.Row);
    if (!(event->modifiers() & Qt::ControlModifier)) {
        const QByteArray& fileName = m_cells.At(cell.Col, cell.Row).FileName;
        if (event->button() == Qt::LeftButton || fileName.isEmpty() || !m_selection.IsSelected(fileName))
            ClearSelection();
    }
    update();
}

void TVurnaGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::MiddleButton) {
        event->ignore();
        return;
    }
    if (m_ignoreRelease) {
        m_ignoreRelease = false;
        return;
    }
    const Arrangement::CellPos cell = CellAt(event->position().toPoint());
    m_mouseSelecting = false;
    if (!cell.IsValid()) {
        ClearSelection();
        return;
    }
    const bool leftButton = event->button() == Qt::LeftButton;
    const int left = std::min(m_anchor.Col, cell.Col);
    const int right = std::max(m_anchor.Col, cell.Col);
    const int top = std::min(m_anchor.Row, cell.Row);
    const int bottom = std::max(m_anchor.Row, cell.Row);
    for (int row = top; row <= bottom; ++row) {
        for (int col = left; col <= right; ++col) {
            const QByteArray& fileName = m_cells.At(col, row).FileName;
            if (fileName.isEmpty())
                continue;
            // The left button turns each member of the range over; the middle one only adds.
            using Mode = BoardSelection::Mode;
            m_selection.SetSelected(fileName, leftButton ? Mode::Toggle : Mode::Select);
        }
    }
    SetCurrent(cell.Col, cell.Row);
    if (m_selection.IsEmpty())
        m_selection.SetSelected(m_cells.At(m_col, m_row).FileName);
    update();
}

void TVurnaGrid::mouseMoveEvent(QMouseEvent* event)
{
    m_mouseSelecting = event->buttons() & Qt::LeftButton;
    const Arrangement::CellPos cell = CellAt(event->position().toPoint());
    if (!cell.IsValid())
        return;
    if (m_mouseSelecting && (cell.Col != m_col || cell.Row != m_row))
        SetCurrent(cell.Col, cell.Row);
    // The destination as the hint, shown at once; it is received text, so never markup.
    const QString locate = Cp932::toUnicode(SjisText::trim(m_cells.At(cell.Col, cell.Row).Locate));
    const QString hint = locate.isEmpty() ? QString() : Qt::convertFromPlainText(locate, Qt::WhiteSpaceNormal);
    setToolTip(hint);
    if (hint.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), hint, this);
}

void TVurnaGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_mouseSelecting = false;
    const Arrangement::CellPos cell = CellAt(event->position().toPoint());
    if (!cell.IsValid() || m_cells.IsEmptyCell(cell.Col, cell.Row))
        return;
    // The release that follows belongs to the double-click, not to a new selection.
    m_ignoreRelease = true;
    SetCurrent(cell.Col, cell.Row);
    m_selection.SetSelected(m_cells.At(cell.Col, cell.Row).FileName);
    update();
    emit OnDblClick();
}

void TVurnaGrid::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    if ((focusPolicy() & Qt::WheelFocus) == Qt::WheelFocus && isEnabled())
        setFocus(Qt::MouseFocusReason);
    WheelRow(delta);
    event->accept();
}

void TVurnaGrid::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up:
        SetCurrent(m_col, m_row - 1);
        break;
    case Qt::Key_Down:
        SetCurrent(m_col, m_row + 1);
        break;
    case Qt::Key_Left:
        SetCurrent(m_col - 1, m_row);
        break;
    case Qt::Key_Right:
        SetCurrent(m_col + 1, m_row);
        break;
    case Qt::Key_PageUp:
        SetTopRow(m_topRow - VisibleRowCount());
        SetCurrent(m_col, m_row - VisibleRowCount());
        break;
    case Qt::Key_PageDown:
        SetTopRow(m_topRow + VisibleRowCount());
        SetCurrent(m_col, m_row + VisibleRowCount());
        break;
    case Qt::Key_Home:
        SetCurrent(0, ctrl ? 0 : m_row);
        break;
    case Qt::Key_End:
        SetCurrent(ColCount() - 1, ctrl ? RowCount() - 1 : m_row);
        break;
    default:
        // Letters choose kana rows in the window.
        event->ignore();
        return;
    }
    event->accept();
}

void TVurnaGrid::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TVurnaGrid::dragMoveEvent(QDragMoveEvent* event)
{
    const Arrangement::CellPos cell = CellAt(event->position().toPoint());
    if (event->mimeData()->hasUrls() && cell.IsValid() && !m_cells.IsEmptyCell(cell.Col, cell.Row))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TVurnaGrid::dropEvent(QDropEvent* event)
{
    const Arrangement::CellPos cell = CellAt(event->position().toPoint());
    // Only a member can receive files; anywhere else the drop is just released.
    if (!cell.IsValid() || m_cells.IsEmptyCell(cell.Col, cell.Row)) {
        event->ignore();
        return;
    }
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    SetCurrent(cell.Col, cell.Row);
    const QByteArray& fileName = m_cells.At(cell.Col, cell.Row).FileName;
    if (!m_selection.IsSelected(fileName)) {
        if (!(event->modifiers() & Qt::ControlModifier))
            m_selection.Clear();
        m_selection.SetSelected(fileName);
    }
    repaint();
    m_dropFiles = files;
    event->acceptProposedAction();
    emit OnShellDrop(m_col, m_row);
}
