#pragma once

#include "store/TVurnaDataRec.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QRect>

class QPainter;

// The look of one board cell: its colours, fonts and areas, and the drawing itself.
namespace GridLook {

inline const QColor White{255, 255, 255};
inline const QColor Grey{128, 128, 128}; // highlighted-out background; stopped name
inline const QColor DarkGrey{112, 112, 112};
inline const QColor Red{255, 0, 0};
inline const QColor LightRed{255, 112, 112};
inline const QColor Olive{128, 128, 0};
inline const QColor LightYellow{240, 240, 112};
inline const QColor Cyan{0, 255, 255};
inline const QColor Silver{192, 192, 192}; // grid and cell lines
inline const QColor Black{0, 0, 0};

// Sizes in points of the "ＭＳ ゴシック" stand-in.
constexpr int CanvasFontSize = 20;
constexpr int SmallNameFontSize = 16;
constexpr int DestinationFontSize = 10;
constexpr int ReturnFontSize = 11;
// Names longer than this many bytes are centred on the width of this many bytes.
constexpr int LongNameBytes = 10;
constexpr int LongNameShownBytes = 12;

// The name's font size in points for its length in bytes.
int NameFontSize(qsizetype nameBytes, bool smallFont);

// The name's colour by display status code, on a white or any other background.
QColor NameColor(int code, bool whiteBackground);

// What decides a cell's background.
struct CellState
{
    bool Highlighted = true; // kana-row highlighting off, or the reading is in the row
    bool InRange = false;    // inside the range the held button spans
    bool Current = false;
    bool MouseSelecting = false;
    bool InSelection = false; // the member is in ScrDBSelection
};
QColor Background(const CellState& state);

// A font size in points as pixels at `dpi`, rounded as the system rounds it.
int PixelSize(int points, int dpi);
// The Japanese fixed-pitch font at `points` for `dpi`.
QFont GridFont(int points, int dpi);

} // namespace GridLook

// Draws member cells with fonts prepared for one dpi.
class GridCellPainter
{
public:
    explicit GridCellPainter(int dpi = 96);

    int Dpi() const { return m_dpi; }
    // Width of "使用者名　" in the canvas font: the width of the name area.
    int NameAreaWidth() const;

    struct Areas
    {
        QRect Picture;
        QRect Name;
        QRect Destination; // upper half of the right area, inset for text
        QRect Return;      // lower half of the right area, inset for text
        QRect Right;       // the whole right area
    };
    static Areas CellAreas(const QRect& cell, int lineWidth, int gridX);

    struct Cell
    {
        QRect Rect;
        QColor Background;
        bool Focused = false;
        int LineWidth = 2;
        int GridX = 0;
        bool SmallFont = false;
    };
    // Draws `member` (an empty record: the cell is filled white) with its status at `now`.
    // `pictures` is indexed by display status code; a missing picture is left out.
    void Paint(QPainter& painter, const Cell& cell, const TVurnaDataRec& member, const QDateTime& now,
               const QList<QPixmap>& pictures);

private:
    const QFont& font(int points);

    int m_dpi;
    QHash<int, QFont> m_fonts;
};
