#include "board/ui/TVurnaGrid.h"
#include "board/UserLoader.h"
#include "board/ui/GridCellPainter.h"
#include "board/ui/GridFixture.h"
#include "support/BoardFixtures.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

using Cell = std::pair<int, int>;

class Grid : public GridFixture
{
};

// ---- colours ----

struct ColourCase
{
    const char* label;
    Cell cell;
    const char16_t* highlight;
    QColor background;
    QColor name;
};

class GridColours : public GridFixture, public ::testing::WithParamInterface<ColourCase>
{
};

TEST_P(GridColours, NameAndBackgroundFollowStatusAndHighlight)
{
    const ColourCase& c = GetParam();
    grid->SetScrDBEnabled(cp932(QString::fromUtf16(c.highlight)));
    const QImage image = render();
    const GridCellPainter::Areas areas = areasOf(c.cell);
    EXPECT_EQ(image.pixelColor(areas.Name.topLeft() + QPoint(1, 1)), c.background) << c.label;
    EXPECT_GT(countColour(image, areas.Name, c.name), 20) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, GridColours,
    ::testing::Values(ColourCase{"running", {0, 0}, u"*", GridLook::White, GridLook::Black},
                      ColourCase{"stopped", {1, 0}, u"*", GridLook::White, GridLook::Grey},
                      ColourCase{"back today", {0, 1}, u"*", GridLook::White, GridLook::Olive},
                      ColourCase{"away tomorrow", {1, 1}, u"*", GridLook::White, GridLook::Red},
                      ColourCase{"overdue", {0, 2}, u"*", GridLook::White, GridLook::Red},
                      ColourCase{"custom mark back today", {1, 2}, u"*", GridLook::White, GridLook::Olive},
                      ColourCase{
                          "custom mark highlighted out", {1, 2}, u"ｱｲｳｴｵ", GridLook::Grey, GridLook::LightYellow},
                      ColourCase{"running highlighted out", {0, 0}, u"ｶｷｸｹｺ", GridLook::Grey, GridLook::DarkGrey},
                      ColourCase{"stopped highlighted out", {1, 0}, u"ｶｷｸｹｺ", GridLook::Grey, GridLook::DarkGrey},
                      ColourCase{"away highlighted out", {1, 1}, u"ｶｷｸｹｺ", GridLook::Grey, GridLook::LightRed},
                      ColourCase{"in the highlighted row", {1, 2}, u"ｶｷｸｹｺ", GridLook::White, GridLook::Olive},
                      ColourCase{"voiced reading in the row", {0, 3}, u"ｶｷｸｹｺ", GridLook::White, GridLook::Black}));

TEST_F(Grid, SelectedMembersAreCyanWithOtherBackgroundColours)
{
    grid->SelectAll();
    const QImage image = render();
    for (const Cell& cell : {Cell{0, 0}, Cell{1, 1}}) {
        const GridCellPainter::Areas areas = areasOf(cell);
        EXPECT_EQ(image.pixelColor(areas.Name.topLeft() + QPoint(1, 1)), GridLook::Cyan);
    }
    EXPECT_GT(countColour(image, areasOf({0, 0}).Name, GridLook::DarkGrey), 20);
    EXPECT_GT(countColour(image, areasOf({1, 1}).Name, GridLook::LightRed), 20);
}

TEST_F(Grid, EmptyCellIsPlainWhite)
{
    const QImage image = render();
    const QRect empty = grid->CellRect(1, 4);
    ASSERT_TRUE(grid->Cells().IsEmptyCell(1, 4));
    EXPECT_EQ(countColour(image, empty, GridLook::White), empty.width() * empty.height());
    // A member's cell has its silver lines and a black or coloured name.
    EXPECT_GT(countColour(image, grid->CellRect(0, 4), GridLook::Silver), 100);
}

TEST_F(Grid, DestinationShowsInnerLineWhenLocateIsEmpty)
{
    const QImage image = render();
    EXPECT_GT(countDark(image, areasOf({0, 0}).Destination), 10);             // InnerLine only
    EXPECT_GT(countDark(image, areasOf({0, 1}).Destination), 10);             // Locate
    EXPECT_EQ(countDark(image, areasOf({0, 3}).Destination), 0);              // neither
    EXPECT_GT(countColour(image, areasOf({0, 1}).Return, GridLook::Red), 10); // "本日 17:00"
}

TEST_F(Grid, StatusPictureTakesTheCellBackground)
{
    grid->SetScrDBEnabled(cp932(QStringLiteral("ｱｲｳｴｵ")));
    const QImage image = render();
    const QRect picture = areasOf({1, 2}).Picture; // grey, code 5
    EXPECT_EQ(image.pixelColor(picture.center() + QPoint(-6, 0)), pictureColour(5));
    EXPECT_EQ(image.pixelColor(picture.center() + QPoint(13, 0)), GridLook::Grey); // the white around the mark
    EXPECT_EQ(image.pixelColor(picture.center()), GridLook::White);                // the white inside it
}

TEST_F(Grid, ShownMemberTurnsOverdueWithTheClockUntilTheNextArrange)
{
    grid->SetStatusFilter({",3,"});
    grid->SetStatusFilterOn(true);
    ASSERT_EQ(grid->Cells().At(0, 0).FileName, path("UEDA"));
    clock.set(QDateTime(kToday, QTime(18, 0)));
    const QImage image = render();
    EXPECT_GT(countColour(image, areasOf({0, 0}).Name, GridLook::Red), 20);
    grid->Arrange();
    EXPECT_TRUE(grid->Cells().IsEmptyCell(0, 0));
}

// ---- name sizes ----

struct SizeCase
{
    int bytes;
    bool small;
    int points;
};

class NameFontSize : public ::testing::TestWithParam<SizeCase>
{
};

TEST_P(NameFontSize, ShrinksLongNames)
{
    EXPECT_EQ(GridLook::NameFontSize(GetParam().bytes, GetParam().small), GetParam().points)
        << GetParam().bytes << (GetParam().small ? " small" : "");
}

INSTANTIATE_TEST_SUITE_P(Lengths, NameFontSize,
                         ::testing::Values(SizeCase{8, false, 20}, SizeCase{9, false, 18}, SizeCase{10, false, 18},
                                           SizeCase{11, false, 16}, SizeCase{14, false, 16}, SizeCase{8, true, 16},
                                           SizeCase{10, true, 14}, SizeCase{14, true, 14}));

TEST_F(Grid, LongNameIsCutToTheWidthOfItsFirstTwelveBytes)
{
    const QImage image = render();
    const QRect name = areasOf({1, 3}).Name; // 木村左衛門太郎, 14 bytes
    int first = name.right(), last = name.left();
    for (int y = name.top(); y <= name.bottom(); ++y) {
        for (int x = name.left(); x <= name.right(); ++x) {
            if (image.pixelColor(x, y) == GridLook::Black) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    const int twelveBytes =
        QFontMetrics(GridLook::GridFont(16, grid->logicalDpiY())).horizontalAdvance(QStringLiteral("木村左衛門太"));
    ASSERT_LT(twelveBytes, name.width());
    EXPECT_LE(last - first + 1, twelveBytes);
    EXPECT_GE(first, name.left() + (name.width() - twelveBytes) / 2);
}

// ---- mouse ----

TEST_F(Grid, PlainClickSelectsOnlyThatMember)
{
    click({0, 0});
    click({1, 1}, Qt::ControlModifier);
    EXPECT_EQ(grid->ScrDBSelection(), (QList<QByteArray>{path("ABE"), path("EDA")}));
    click({1, 1});
    EXPECT_EQ(grid->ScrDBSelection(), QList<QByteArray>{path("EDA")});
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(Grid, CtrlClickOnASelectedMemberRemovesIt)
{
    click({0, 0});
    click({1, 1}, Qt::ControlModifier);
    click({0, 0}, Qt::ControlModifier);
    EXPECT_EQ(grid->ScrDBSelection(), QList<QByteArray>{path("EDA")});
}

TEST_F(Grid, MiddleClickKeepsTheSelectionOfASelectedMember)
{
    click({0, 0});
    click({1, 1}, Qt::ControlModifier);
    click({1, 1}, Qt::NoModifier, Qt::MiddleButton);
    EXPECT_EQ(grid->ScrDBSelection(), (QList<QByteArray>{path("ABE"), path("EDA")}));
    click({0, 1}, Qt::NoModifier, Qt::MiddleButton); // not selected yet: starts afresh
    EXPECT_EQ(grid->ScrDBSelection(), QList<QByteArray>{path("UEDA")});
}

TEST_F(Grid, RightButtonLeavesCurrentCellAndSelection)
{
    click({0, 0});
    click({1, 1}, Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(grid->ScrDBSelection(), QList<QByteArray>{path("ABE")});
    EXPECT_EQ(grid->Row(), 0);
}

TEST_F(Grid, DraggingSelectsTheRangeAndReleaseOutsideEmptiesIt)
{
    QTest::mousePress(grid.get(), Qt::LeftButton, Qt::NoModifier, centre({0, 0}));
    QTest::mouseMove(grid.get(), centre({1, 1}));
    QTest::mouseRelease(grid.get(), Qt::LeftButton, Qt::NoModifier, centre({1, 1}));
    EXPECT_EQ(grid->ScrDBSelection().size(), 4);
    TVurnaDataArray selected;
    ASSERT_TRUE(grid->GetSelection(selected, true));
    ASSERT_EQ(selected.size(), 5);
    EXPECT_TRUE(selected.at(0).FileName.isEmpty());
    EXPECT_EQ(selected.at(2).FileName, path("ITO")); // cell order: row by row, left first

    grid->resize(grid->width(), grid->height() + 100); // room below the last row
    QTest::mousePress(grid.get(), Qt::LeftButton, Qt::NoModifier, centre({0, 0}));
    QTest::mouseRelease(grid.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, grid->height() - 20));
    EXPECT_TRUE(grid->ScrDBSelection().isEmpty());
    EXPECT_FALSE(grid->HasSelection());
}

TEST_F(Grid, DoubleClickAddsTheMemberAndRaisesOnDblClick)
{
    QSignalSpy spy(grid.get(), &TVurnaGrid::OnDblClick);
    click({0, 0});
    QTest::mouseDClick(grid.get(), Qt::LeftButton, Qt::ControlModifier, centre({1, 1}));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(grid->ScrDBSelection(), (QList<QByteArray>{path("ABE"), path("EDA")}));
    // The release that ends the double-click does not take the member out again.
    QTest::mouseRelease(grid.get(), Qt::LeftButton, Qt::ControlModifier, centre({1, 1}));
    EXPECT_EQ(grid->ScrDBSelection(), (QList<QByteArray>{path("ABE"), path("EDA")}));

    QTest::mouseDClick(grid.get(), Qt::LeftButton, Qt::NoModifier, centre({1, 4})); // empty cell
    EXPECT_EQ(spy.count(), 1);
}

// ---- drops ----

struct DropCase
{
    const char* label;
    Qt::KeyboardModifiers modifiers;
    QList<QByteArray> expected;
};

class GridDrop : public GridFixture, public ::testing::WithParamInterface<DropCase>
{
};

TEST_P(GridDrop, SelectsTheMemberBeforeTheEvent)
{
    const DropCase& c = GetParam();
    click({0, 0});
    QSignalSpy spy(grid.get(), &TVurnaGrid::OnShellDrop);
    QList<QByteArray> selectionAtEvent;
    QObject::connect(grid.get(), &TVurnaGrid::OnShellDrop, [&] { selectionAtEvent = grid->ScrDBSelection(); });
    drop({1, 1}, c.modifiers);
    ASSERT_EQ(spy.count(), 1) << c.label;
    EXPECT_EQ(spy.at(0).at(0).toInt(), 1);
    EXPECT_EQ(spy.at(0).at(1).toInt(), 1);
    QList<QByteArray> expected;
    for (const QByteArray& key : c.expected)
        expected.append(path(key));
    EXPECT_EQ(selectionAtEvent, expected) << c.label;
    EXPECT_EQ(grid->DropFiles(), (QStringList{QStringLiteral("/tmp/見積書.xls"), QStringLiteral("/tmp/b.txt")}));
}

INSTANTIATE_TEST_SUITE_P(Modifiers, GridDrop,
                         ::testing::Values(DropCase{"without Ctrl", Qt::NoModifier, {"EDA"}},
                                           DropCase{"with Ctrl", Qt::ControlModifier, {"ABE", "EDA"}}));

TEST_F(Grid, DropOutsideMembersRaisesNothing)
{
    QSignalSpy spy(grid.get(), &TVurnaGrid::OnShellDrop);
    drop({1, 4}, Qt::NoModifier);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_TRUE(grid->DropFiles().isEmpty());
}

// ---- rows, wheel, scroll bar, model signals ----

TEST_F(Grid, WheelMovesOneRowPerEvent)
{
    grid->resize(grid->width(), 2 * (grid->DefaultRowHeight() + grid->GridLineWidth()));
    ASSERT_EQ(grid->VisibleRowCount(), 2);
    for (int expected : {1, 2, 3, 3}) {
        wheel(-720); // far more than one notch
        EXPECT_EQ(grid->TopRow(), expected);
    }
    EXPECT_EQ(grid->Row(), 3);
    wheel(120);
    EXPECT_EQ(grid->TopRow(), 2);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(Grid, ScrollBarFollowsTheRows)
{
    QScrollBar* bar = grid->ScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), grid->RowCount() - 1);
    EXPECT_EQ(bar->pageStep(), 6);
    bar->setValue(3);
    EXPECT_EQ(grid->Row(), 3);
    grid->SetCurrent(0, 1);
    EXPECT_EQ(bar->value(), 1);
    // Arrange keeps the row, or the last row when the layout shrank.
    grid->SetCurrent(0, 4);
    grid->SetGroupFilter({cp932(QStringLiteral("営業"))});
    grid->SetGroupFilterOn(true);
    EXPECT_EQ(grid->Row(), grid->RowCount() - 1);
    EXPECT_EQ(bar->maximum(), grid->RowCount() - 1);
}

struct KeyCase
{
    const char* label;
    QList<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
    Cell expected;
};

class GridKeys : public GridFixture, public ::testing::WithParamInterface<KeyCase>
{
};

TEST_P(GridKeys, MoveTheCurrentCell)
{
    const KeyCase& c = GetParam();
    for (const auto& [key, modifiers] : c.keys)
        QTest::keyClick(grid.get(), key, modifiers);
    EXPECT_EQ((Cell{grid->Col(), grid->Row()}), c.expected) << c.label;
    EXPECT_EQ(grid->ScrollBar()->value(), c.expected.second) << c.label;
    EXPECT_TRUE(grid->ScrDBSelection().isEmpty()) << c.label; // keys move, they do not select
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridKeys,
    ::testing::Values(
        KeyCase{"down", {{Qt::Key_Down, Qt::NoModifier}}, {0, 1}},
        KeyCase{"right", {{Qt::Key_Right, Qt::NoModifier}}, {1, 0}},
        KeyCase{"left stops at the first column", {{Qt::Key_Left, Qt::NoModifier}}, {0, 0}},
        KeyCase{"up stops at the first row", {{Qt::Key_Up, Qt::NoModifier}}, {0, 0}},
        KeyCase{"end of the row", {{Qt::Key_Down, Qt::NoModifier}, {Qt::Key_End, Qt::NoModifier}}, {1, 1}},
        KeyCase{"last cell", {{Qt::Key_End, Qt::ControlModifier}}, {1, 4}},
        KeyCase{"first cell", {{Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Home, Qt::ControlModifier}}, {0, 0}},
        KeyCase{"a page down", {{Qt::Key_PageDown, Qt::NoModifier}}, {0, 4}}));

TEST_F(Grid, HighlightMakesTheFirstMatchingMemberCurrent)
{
    grid->SetScrDBEnabled(cp932(QStringLiteral("ｶｷｸｹｺ")));
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 2);
    model.Reload(AllMembers); // a full reload ends highlighting and the selection
    EXPECT_EQ(grid->ScrDBEnabled(), QByteArray("*"));
}

TEST_F(Grid, ModelChangesReachTheCells)
{
    TVurnaDataRec abe = grid->Cells().At(0, 0);
    abe.Locate = cp932(QStringLiteral("外出"));
    ASSERT_TRUE(model.UpdateMember(abe));
    EXPECT_EQ(grid->Cells().At(0, 0).Locate, abe.Locate);
}

TEST_F(Grid, LookIsSizedForTheScreen)
{
    const int dpi = grid->logicalDpiY();
    EXPECT_EQ(grid->DefaultRowHeight(), qRound(38.0 * dpi / 96));
    EXPECT_EQ(grid->DefaultColWidth(), qRound(279.0 * dpi / 96));
    EXPECT_EQ(grid->GridX(), QFontMetrics(GridLook::GridFont(20, dpi)).horizontalAdvance(QStringLiteral("使用者名　")));
}

} // namespace

namespace {

// A look at the whole board for review: VURNA_GRID_PNG names the file to write.
TEST_F(Grid, RendersTheBoardForReview)
{
    const QString file = qEnvironmentVariable("VURNA_GRID_PNG");
    // A tenth member: away without a return date, with a destination of two lines.
    share.writeBytes(QStringLiteral("gondou.vrn"),
                     userFileText({cp932(u"ｺﾞﾝﾄﾞｳ"_qs), cp932(u"権藤"_qs), cp932(u"営業"_qs), "",
                                   cp932(u"東京\r\n大阪"_qs), cp932(u"長期休暇"_qs), "", "", "", "0", "0", ""}));
    model.Reload(AllMembers);
    // The program's own pictures for the built-in codes where the resources are linked in.
    QList<QPixmap> shown = pictures();
    for (int code = 0; code < 5; ++code) {
        const QPixmap own(QStringLiteral(":/status/%1.png").arg(code));
        if (!own.isNull())
            shown[code] = own;
    }
    grid->SetImageList(shown);
    grid->resize(grid->width(), grid->height() + 40);
    click({0, 1});
    click({1, 1}, Qt::ControlModifier);
    grid->SetScrDBEnabled(cp932(QStringLiteral("ｶｷｸｹｺ")));
    const QImage image = render();
    EXPECT_EQ(image.pixelColor(areasOf({0, 1}).Name.topLeft() + QPoint(1, 1)), GridLook::Cyan);
    if (!file.isEmpty())
        image.save(file);
}

} // namespace

namespace {

TEST_F(Grid, HintIsTheTrimmedDestinationAsPlainText)
{
    TVurnaDataRec ueda = grid->Cells().At(0, 1);
    ueda.Locate = cp932(QStringLiteral("  <b>来客</b>\r\n"));
    ASSERT_TRUE(model.UpdateMember(ueda));
    const QPointF at(centre({0, 1}));
    QMouseEvent move(QEvent::MouseMove, at, grid->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(grid.get(), &move);
    const QString hint = grid->toolTip();
    EXPECT_TRUE(hint.contains(QStringLiteral("&lt;b&gt;来客&lt;/b&gt;"))) << hint.toStdString();
    EXPECT_FALSE(hint.contains(QStringLiteral("<br"))); // trimmed: no trailing line break
}

} // namespace
