#pragma once

#include "board/BoardModel.h"
#include "board/ui/GridCellPainter.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Clock.h"
#include "support/TestShare.h"

#include <QImage>
#include <gtest/gtest.h>

#include <memory>

// A board of nine members on a pinned Monday morning, shown in a grid five rows high:
//   row 0: 阿部 (present, extension only)   伊藤 (stopped)
//   row 1: 上田 (back today 17:00)           江田 (away until tomorrow)
//   row 2: 太田 (overdue since yesterday)    加藤 (first custom mark, back today)
//   row 3: 蒲生 (present, nothing to show)   木村左衛門太郎 (present, 14-byte name)
//   row 4: 久保 (present)                    (empty)
inline const QDate kToday(2024, 4, 1);

class GridFixture : public ::testing::Test
{
protected:
    GridFixture();

    QByteArray path(const QByteArray& key) const { return share.dataSource() + key; }
    QImage render() const;
    GridCellPainter::Areas areasOf(std::pair<int, int> cell) const;
    QPoint centre(std::pair<int, int> cell) const;
    static int countColour(const QImage& image, const QRect& rect, const QColor& colour);
    // Pixels close to black: text drawn in black.
    static int countDark(const QImage& image, const QRect& rect);
    // The colour of the mark in the middle of status picture `code`.
    static QColor pictureColour(int code);
    static QList<QPixmap> pictures();

    void click(std::pair<int, int> cell, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               Qt::MouseButton button = Qt::LeftButton);
    void drop(std::pair<int, int> cell, Qt::KeyboardModifiers modifiers);
    void wheel(int delta);

    TestShare share;
    FixedClock clock{QDateTime(kToday, QTime(10, 0))};
    BoardModel model;
    std::unique_ptr<TVurnaGrid> grid;
};
