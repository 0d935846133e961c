// The board window as drawn: colours of its areas. With VURNA_SCREENSHOT_DIR set the picture
// is also saved there as main-window.png for a person to look at.

#include "MainFixture.h"

#include "app/StatusBarSink.h"
#include "board/ui/TVurnaGrid.h"

#include <QDir>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

namespace {

class Render : public MainFixture
{
protected:
    void SetUp() override
    {
        const auto add = [this](const char* base, const char* furigana, const char* name, const char* group,
                                const char* locate, const QByteArray& date) {
            addMember(QLatin1String(base),
                      userFile(QString::fromUtf8(furigana), QString::fromUtf8(name), QString::fromUtf8(group),
                               "192.168.10.30", QString::fromUtf8(locate), date));
        };
        add("yamada", "ﾔﾏﾀﾞ", "山田　太郎", "営業", "", "");
        add("suzuki", "ｽｽﾞｷ", "鈴木", "総務", "会議", "2024/04/01");
        add("sato", "ｻﾄｳ", "佐藤", "営業", "出張（大阪）", "2024/04/03");
        add("kato", "ｶﾄｳ", "加藤", "開発", "", "");
        add("ito", "ｲﾄｳ", "伊藤", "開発", "", "");
        share.writeBytes(QStringLiteral("kato.off"), {});
        writeSettings(QStringLiteral("yamada"), QString::fromUtf8("山田　太郎"), false);
    }

    QImage shoot(const QString& name = QStringLiteral("main-window.png"))
    {
        window->ShowAtStart();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        const QImage image = window->grab().toImage();
        const QString dir = qEnvironmentVariable("VURNA_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            image.save(dir + QLatin1Char('/') + name);
        }
        return image;
    }

    QColor colourAt(const QImage& image, QWidget* widget, QPoint inside) const
    {
        return image.pixelColor(widget->mapTo(window.get(), inside));
    }
};

TEST_F(Render, AreasCarryTheirColours)
{
    ASSERT_TRUE(start());
    const QImage image = shoot();
    EXPECT_EQ(image.width(), window->width());

    auto* header = window->findChild<QLabel*>(QStringLiteral("lblHeaderLeft"));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(colourAt(image, header, QPoint(header->width() - 3, header->height() / 2)), QColor(Qt::black));
    // Somewhere in the title there is white text.
    bool white = false;
    for (int x = 0; x < header->width() && !white; ++x) {
        for (int y = 0; y < header->height() && !white; ++y)
            white = colourAt(image, header, QPoint(x, y)) == QColor(Qt::white);
    }
    EXPECT_TRUE(white);

    QStatusBar* bar = window->statusBar();
    EXPECT_EQ(colourAt(image, bar, QPoint(bar->width() / 2, bar->height() / 2)), QColor(64, 64, 64));

    // Five members fill two rows and the left cell of the third; the right one is plain white.
    TVurnaGrid& grid = child<TVurnaGrid>("Keiziban");
    ASSERT_EQ(grid.RowCount(), 3);
    const QRect empty = grid.CellRect(1, 2);
    EXPECT_EQ(colourAt(image, &grid, empty.center()), QColor(Qt::white));
}

TEST_F(Render, MemoPageShowsTheOwnBoardAndItsCaption)
{
    share.writeBytes(QStringLiteral("yamada.mil"),
                     cp932(QStringLiteral("○鈴木さんより 4月1日 9時10分\r\n会議室の予約をお願いします。")) +
                         "\r\n\r\n\r\n");
    ASSERT_TRUE(start());
    window->ShowAtStart();
    child<QTabWidget>("pgcMain").setCurrentWidget(&child<QWidget>("tabDengon"));
    settle();
    child<StatusBarSink>("stsMain").ShowProgress(QStringLiteral("伝言を運んでいます。"), 40);
    const QImage image = shoot(QStringLiteral("memo-page.png"));
    auto* caption = window->findChild<QLabel*>(QStringLiteral("Label2"));
    auto* shadow = window->findChild<QLabel*>(QStringLiteral("Label4"));
    ASSERT_NE(caption, nullptr);
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->pos(), caption->pos() + QPoint(1, 1));
    // Navy text is drawn somewhere in the caption.
    bool navy = false;
    for (int x = 0; x < caption->width() && !navy; ++x) {
        for (int y = 0; y < caption->height() && !navy; ++y)
            navy = colourAt(image, caption, QPoint(x, y)) == QColor(0, 0, 128);
    }
    EXPECT_TRUE(navy);
}

TEST_F(Render, GridKeepsItsDesignedPlaceAtNinetySixDpi)
{
    ASSERT_TRUE(start());
    window->ShowAtStart();
    TVurnaGrid& grid = child<TVurnaGrid>("Keiziban");
    EXPECT_EQ(grid.x(), 8);
    EXPECT_EQ(grid.y(), 24);
    EXPECT_GE(grid.width(), 564);
    QWidget* bar = window->findChild<QWidget*>(QStringLiteral("vbarKeiziban"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->x(), grid.x() + grid.width() - 1);
    EXPECT_EQ(bar->width(), 33);
    EXPECT_EQ(window->width(), 640);
    EXPECT_GE(window->height(), 460);
}

} // namespace
