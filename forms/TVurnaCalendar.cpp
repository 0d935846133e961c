#include "forms/TVurnaCalendar.h"

#include "platform/Clock.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopeGuard>

#include <algorithm>

TVurnaCalendar::TVurnaCalendar(Clock& clock, QWidget* parent)
    : QWidget(parent), m_clock(clock), m_date(clock.now().date()), m_layout(m_date.year(), m_date.month(), 0)
{
    // "ＭＳ Ｐゴシック" where installed, as the rest of the program draws Japanese.
    QFont japanese;
    japanese.setFamilies(
        {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAGothic")});
    japanese.setPointSize(10);
    setFont(japanese);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    updateLayout();
}

// ---- date ----

void TVurnaCalendar::SetDate(const QDate& date)
{
    if (!date.isValid())
        return;
    m_date = date;
    updateLayout();
}

void TVurnaCalendar::SetYear(int year)
{
    setPart(Part::Year, year);
}

void TVurnaCalendar::SetMonth(int month)
{
    setPart(Part::Month, month);
}

void TVurnaCalendar::SetDay(int day)
{
    setPart(Part::Day, day);
}

void TVurnaCalendar::setPart(Part part, int value)
{
    if (value < 1)
        return;
    int year = Year();
    int month = Month();
    int day = Day();
    int& target = part == Part::Year ? year : part == Part::Month ? month : day;
    if (value == target || (part == Part::Month && value > 12) ||
        (part == Part::Day && value > CalendarMonth::DaysInMonth(year, month)))
        return;
    target = value;
    // 31 January moved to February shows the end of February rather than refusing the move.
    day = std::min(day, CalendarMonth::DaysInMonth(year, month));
    const QDate date(year, month, day);
    if (!date.isValid())
        return;
    m_date = date;
    m_useCurrentDate = false;
    updateLayout();
    emit OnChange();
}

void TVurnaCalendar::SetStartOfWeek(int weekday)
{
    if (weekday < 0 || weekday > 6 || weekday == m_startOfWeek)
        return;
    m_startOfWeek = weekday;
    updateLayout();
}

void TVurnaCalendar::SetUseCurrentDate(bool use)
{
    m_useCurrentDate = use;
    if (!use)
        return;
    m_date = m_clock.now().date();
    updateLayout();
}

void TVurnaCalendar::updateLayout()
{
    m_updating = true;
    const auto done = qScopeGuard([this] { m_updating = false; });
    m_layout = CalendarMonth(Year(), Month(), m_startOfWeek);
    const CalendarMonth::Cell cell = m_layout.CellOf(Day());
    selectCell(cell.Col, cell.Row);
    update();
}

// ---- marks and look ----

void TVurnaCalendar::SetWorkDay(const QList<QByteArray>& lines)
{
    m_marks.WorkDay = lines;
    update();
}

void TVurnaCalendar::SetHoliDay(const QList<QByteArray>& lines)
{
    m_marks.HoliDay = lines;
    update();
}

void TVurnaCalendar::SetWeekend(const QByteArray& weekdays)
{
    m_marks.Weekend = weekdays;
    update();
}

void TVurnaCalendar::SetGridLineWidth(int width)
{
    if (width < 0 || width == m_gridLineWidth)
        return;
    m_gridLineWidth = width;
    update();
}

// ---- cells ----

int TVurnaCalendar::colWidth() const
{
    return std::max(0, (width() - 6 * m_gridLineWidth) / CalendarMonth::ColCount);
}

int TVurnaCalendar::rowHeight() const
{
    return std::max(0, (height() - 6 * m_gridLineWidth) / CalendarMonth::RowCount);
}

QRect TVurnaCalendar::CellRect(int col, int row) const
{
    return {col * (colWidth() + m_gridLineWidth), row * (rowHeight() + m_gridLineWidth), colWidth(), rowHeight()};
}

bool TVurnaCalendar::CellAt(const QPoint& pos, int& col, int& row) const
{
    const int colPitch = colWidth() + m_gridLineWidth;
    const int rowPitch = rowHeight() + m_gridLineWidth;
    if (colWidth() == 0 || rowHeight() == 0 || pos.x() < 0 || pos.y() < 0)
        return false;
    // A grid line belongs to the cell before it.
    col = pos.x() / colPitch;
    row = pos.y() / rowPitch;
    return col < CalendarMonth::ColCount && row < CalendarMonth::RowCount;
}

bool TVurnaCalendar::selectCell(int col, int row)
{
    if ((m_readOnly && !m_updating) || m_layout.DayAt(col, row) == 0)
        return false;
    m_col = col;
    m_row = row;
    update();
    return true;
}

void TVurnaCalendar::chooseCell(int col, int row)
{
    // A cell that cannot be selected (the weekday row, a cell without a day, any cell while
    // read-only) is no choice: the selection stays and nothing is picked.
    if (!selectCell(col, row))
        return;
    if (const int day = m_layout.DayAt(m_col, m_row))
        SetDay(day);
    emit OnClick();
}

QSize TVurnaCalendar::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int cellWidth = metrics.horizontalAdvance(QStringLiteral("00")) + 16;
    const int cellHeight = metrics.height() + 8;
    return {7 * cellWidth + 6 * m_gridLineWidth, 7 * cellHeight + 6 * m_gridLineWidth};
}

// ---- painting ----

void TVurnaCalendar::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(event->rect(), colours.color(QPalette::Window));
    const QRect lastCell = CellRect(CalendarMonth::ColCount - 1, CalendarMonth::RowCount - 1);
    painter.fillRect(QRect(QPoint(0, 0), lastCell.bottomRight()), colours.color(QPalette::Mid));

    const QDate today = m_clock.now().date();
    for (int row = 0; row < CalendarMonth::RowCount; ++row) {
        for (int col = 0; col < CalendarMonth::ColCount; ++col) {
            const QRect cell = CellRect(col, row);
            if (!cell.intersects(event->rect()))
                continue;
            QColor background = colours.color(QPalette::Base);
            QColor text = colours.color(QPalette::Text);
            if (row == 0) {
                background = colours.color(QPalette::Button);
                text = colours.color(QPalette::ButtonText);
            } else if (col == m_col && row == m_row) {
                background = colours.color(QPalette::Highlight);
                text = colours.color(QPalette::HighlightedText);
            }
            QFont cellFont = font();
            const CalendarMonth::Marking marking = m_layout.MarkingAt(col, row, m_marks, today);
            if (marking.Colour.isValid())
                text = marking.Colour;
            cellFont.setBold(marking.Bold);
            painter.fillRect(cell, background);
            painter.setFont(cellFont);
            painter.setPen(text);
            painter.drawText(cell, Qt::AlignCenter, m_layout.CellText(col, row));
        }
    }
}

// ---- mouse and keys ----

void TVurnaCalendar::mousePressEvent(QMouseEvent* event)
{
    int col = 0;
    int row = 0;
    if (event->button() != Qt::LeftButton || !CellAt(event->position().toPoint(), col, row)) {
        QWidget::mousePressEvent(event);
        return;
    }
    chooseCell(col, row);
}

void TVurnaCalendar::mouseMoveEvent(QMouseEvent* event)
{
    int col = 0;
    int row = 0;
    m_whatDay = CellAt(event->position().toPoint(), col, row) ? m_layout.WhatDayAt(col, row, m_marks) : QString();
    emit OnMouseMove();
}

void TVurnaCalendar::keyPressEvent(QKeyEvent* event)
{
    int col = m_col;
    int row = m_row;
    switch (event->key()) {
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    // The weekday row is fixed: the keys move among the day rows only.
    if (col >= 0 && col < CalendarMonth::ColCount && row >= 1 && row < CalendarMonth::RowCount)
        chooseCell(col, row);
}
