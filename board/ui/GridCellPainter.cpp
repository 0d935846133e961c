#include "board/ui/GridCellPainter.h"

#include "board/StatusText.h"
#include "platform/Cp932.h"
#include "platform/SjisText.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace GridLook {

int NameFontSize(qsizetype nameBytes, bool smallFont)
{
    const int base = smallFont ? SmallNameFontSize : CanvasFontSize;
    if (nameBytes > LongNameBytes)
        return base - (smallFont ? 2 : 4);
    if (nameBytes >= 9)
        return base - 2;
    return base;
}

QColor NameColor(int code, bool whiteBackground)
{
    if (code == 0)
        return whiteBackground ? Grey : DarkGrey;
    if (code == 1)
        return whiteBackground ? Black : DarkGrey;
    if (code % 2 == 0)
        return whiteBackground ? Red : LightRed;
    return whiteBackground ? Olive : LightYellow;
}

QColor Background(const CellState& state)
{
    QColor colour = state.Highlighted ? White : Grey;
    if (state.MouseSelecting && (state.InRange || state.Current))
        colour = Cyan;
    if (state.InSelection)
        // A selected member inside the range of a held button is about to be deselected.
        colour = (state.MouseSelecting && state.InRange) ? White : Cyan;
    return colour;
}

int PixelSize(int points, int dpi)
{
    return int(std::lround(double(points) * dpi / 72.0));
}

QFont GridFont(int points, int dpi)
{
    // Windows names the font in the system's language: Japanese first, then English; the IPA
    // font has the same metrics where neither is installed.
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(PixelSize(points, dpi));
    return font;
}

} // namespace GridLook

namespace {

// Received text is data: control characters (line breaks of a multi-line destination among
// them) are shown as blanks, so everything stays on one line.
QString shownText(const QByteArray& bytes)
{
    QByteArray oneLine = bytes;
    oneLine.replace("\r\n", " ");
    QString text = Cp932::toUnicode(oneLine);
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    }
    return text;
}

// Centres a text of the measured size in `area` in each direction where it is smaller, else
// starts it at the area's edge; clips to `area` and, when given, to the measured box.
void drawText(QPainter& painter, const QRect& area, const QString& text, const QFont& font, const QColor& colour,
              int measuredWidth = -1, bool clipToMeasured = false)
{
    if (area.isEmpty())
        return;
    const QFontMetrics metrics(font);
    const int width = measuredWidth >= 0 ? measuredWidth : metrics.horizontalAdvance(text);
    const int height = metrics.height();
    const int x = width < area.width() ? area.left() + (area.width() - width) / 2 : area.left();
    const int y = height < area.height() ? area.top() + (area.height() - height) / 2 : area.top();
    const QRect clip = clipToMeasured ? QRect(x, y, width, height) & area : area;
    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
    painter.restore();
}

// A line of the given width through coordinate `at`: it covers the pixels just before and at `at`.
void vLine(QPainter& painter, int x, int top, int bottom, int width, const QColor& colour)
{
    painter.fillRect(QRect(x - width / 2, top, width, bottom - top), colour);
}

void hLine(QPainter& painter, int y, int left, int right, int width, const QColor& colour)
{
    painter.fillRect(QRect(left, y - width / 2, right - left, width), colour);
}

} // namespace

GridCellPainter::GridCellPainter(int dpi) : m_dpi(dpi > 0 ? dpi : 96) {}

const QFont& GridCellPainter::font(int points)
{
    auto it = m_fonts.find(points);
    if (it == m_fonts.end())
        it = m_fonts.insert(points, GridLook::GridFont(points, m_dpi));
    return it.value();
}

int GridCellPainter::NameAreaWidth() const
{
    return QFontMetrics(GridLook::GridFont(GridLook::CanvasFontSize, m_dpi))
        .horizontalAdvance(QStringLiteral("使用者名　"));
}

GridCellPainter::Areas GridCellPainter::CellAreas(const QRect& cell, int lineWidth, int gridX)
{
    // Edges as the cell's left, top, right and bottom (right and bottom exclusive).
    const int left = cell.left();
    const int top = cell.top();
    const int right = cell.left() + cell.width();
    const int bottom = cell.top() + cell.height();
    const int h = bottom - top;
    const int nameLeft = left + h + lineWidth + 1;
    const int rightLeft = nameLeft + gridX;
    const int middle = top + h / 2;

    Areas areas;
    areas.Picture = QRect(QPoint(left, top), QPoint(left + h - 1, bottom - 1));
    areas.Name = QRect(QPoint(nameLeft, top), QPoint(rightLeft - 1, bottom - 1));
    areas.Right = QRect(QPoint(rightLeft, top), QPoint(right - 1, bottom - 1));
    areas.Destination = QRect(QPoint(rightLeft + 4, top), QPoint(right - 1 - 2, middle - 1));
    areas.Return = QRect(QPoint(rightLeft + 4, middle), QPoint(right - 1 - 2, bottom - 1));
    return areas;
}

void GridCellPainter::Paint(QPainter& painter, const Cell& cell, const TVurnaDataRec& member, const QDateTime& now,
                            const QList<QPixmap>& pictures)
{
    if (member.FileName.isEmpty()) {
        painter.fillRect(cell.Rect, GridLook::White);
        return;
    }
    painter.save();
    painter.setClipRect(cell.Rect, Qt::IntersectClip);
    painter.fillRect(cell.Rect, cell.Background);
    const Areas areas = CellAreas(cell.Rect, cell.LineWidth, cell.GridX);

    QByteArray returnText;
    int code = 0;
    GetStatusText(member, now, returnText, code);
    drawText(painter, areas.Return, shownText(returnText), font(GridLook::ReturnFontSize), GridLook::Red);

    const QFont& nameFont = font(GridLook::NameFontSize(member.Name.size(), cell.SmallFont));
    const QString name = shownText(member.Name);
    int nameWidth = -1;
    if (member.Name.size() > GridLook::LongNameBytes) {
        // A long name is centred on the width of its first bytes and cut there.
        nameWidth = QFontMetrics(nameFont).horizontalAdvance(
            shownText(SjisText::leftBytes(member.Name, GridLook::LongNameShownBytes)));
    }
    const bool white = cell.Background == GridLook::White;
    drawText(painter, areas.Name, name, nameFont, GridLook::NameColor(code, white), nameWidth, true);

    const QByteArray& destination = member.Locate.isEmpty() ? member.InnerLine : member.Locate;
    drawText(painter, areas.Destination, shownText(destination), font(GridLook::DestinationFontSize), GridLook::Black);

    if (code >= 0 && code < pictures.size() && !pictures.at(code).isNull()) {
        const QPixmap& picture = pictures.at(code);
        const QSize size = picture.deviceIndependentSize().toSize();
        const QPoint at(areas.Picture.left() + (areas.Picture.width() - size.width()) / 2,
                        areas.Picture.top() + (areas.Picture.height() - size.height()) / 2);
        painter.save();
        painter.setClipRect(areas.Picture, Qt::IntersectClip);
        painter.drawPixmap(at, picture);
        painter.restore();
    }

    const int w = cell.LineWidth;
    const int bottom = cell.Rect.top() + cell.Rect.height();
    const int right = cell.Rect.left() + cell.Rect.width();
    const int middle = areas.Right.top() + cell.Rect.height() / 2;
    hLine(painter, bottom, areas.Right.left(), right, w, GridLook::Silver);
    vLine(painter, areas.Right.left(), cell.Rect.top(), bottom, w, GridLook::Silver);
    hLine(painter, middle, areas.Right.left(), right, w, GridLook::Silver);
    vLine(painter, areas.Picture.left() + areas.Picture.width(), cell.Rect.top(), bottom, w, GridLook::Silver);

    if (cell.Focused) {
        QPen pen(GridLook::Black, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cell.Rect.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}
