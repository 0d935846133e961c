#include "board/ui/GridFixture.h"

#include "board/UserLoader.h"
#include "support/BoardFixtures.h"

#include <QApplication>
#include <QMimeData>
#include <QPainter>
#include <QTest>
#include <QUrl>

namespace {

QByteArray vrn(const QString& furigana, const QString& name, const QString& innerLine, const QString& locate,
               const QByteArray& date, const QByteArray& time, int statusIndex)
{
    return userFileText({cp932(furigana), cp932(name), cp932(QStringLiteral("営業")), cp932(innerLine), cp932(locate),
                         date, time, "", "", QByteArray::number(statusIndex), "0", ""});
}

QByteArray day(int offset)
{
    return kToday.addDays(offset).toString(QStringLiteral("yyyy/MM/dd")).toLatin1();
}

} // namespace

GridFixture::GridFixture()
{
    share.writeBytes(QStringLiteral("abe.vrn"), vrn(u"ｱﾍﾞ"_qs, u"阿部"_qs, u"内線123"_qs, {}, {}, {}, 0));
    share.writeBytes(QStringLiteral("ito.vrn"), vrn(u"ｲﾄｳ"_qs, u"伊藤"_qs, {}, {}, {}, {}, 0));
    share.writeBytes(QStringLiteral("ito.off"), {});
    share.writeBytes(QStringLiteral("ueda.vrn"),
                     vrn(u"ｳｴﾀﾞ"_qs, u"上田"_qs, u"201"_qs, u"会議室"_qs, day(0), "17:00", 0));
    share.writeBytes(QStringLiteral("eda.vrn"), vrn(u"ｴﾀﾞ"_qs, u"江田"_qs, {}, u"大阪出張"_qs, day(1), "", 0));
    share.writeBytes(QStringLiteral("ota.vrn"), vrn(u"ｵｵﾀ"_qs, u"太田"_qs, {}, u"銀行"_qs, day(-1), "15:00", 0));
    share.writeBytes(QStringLiteral("kato.vrn"), vrn(u"ｶﾄｳ"_qs, u"加藤"_qs, {}, u"研修"_qs, day(0), "16:30", 1));
    share.writeBytes(QStringLiteral("gamou.vrn"), vrn(u"ｶﾞﾓｳ"_qs, u"蒲生"_qs, {}, {}, {}, {}, 0));
    share.writeBytes(QStringLiteral("kimura.vrn"), vrn(u"ｷﾑﾗ"_qs, u"木村左衛門太郎"_qs, {}, {}, {}, {}, 0));
    share.writeBytes(QStringLiteral("kubo.vrn"), vrn(u"ｸﾎﾞ"_qs, u"久保"_qs, {}, {}, {}, {}, 0));

    grid = std::make_unique<TVurnaGrid>(model, clock);
    grid->SetImageList(pictures());
    grid->setAcceptDrops(true); // as the window does once it is ready
    grid->resize(2 * (grid->DefaultColWidth() + grid->GridLineWidth()) + grid->GridLineWidth(),
                 5 * (grid->DefaultRowHeight() + grid->GridLineWidth()));
    model.SetDataSource(share.dataSource());
    model.Reload(AllMembers);
}

QImage GridFixture::render() const
{
    return grid->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

GridCellPainter::Areas GridFixture::areasOf(std::pair<int, int> cell) const
{
    return GridCellPainter::CellAreas(grid->CellRect(cell.first, cell.second), grid->GridLineWidth(), grid->GridX());
}

QPoint GridFixture::centre(std::pair<int, int> cell) const
{
    return grid->CellRect(cell.first, cell.second).center();
}

int GridFixture::countColour(const QImage& image, const QRect& rect, const QColor& colour)
{
    int n = 0;
    const QRect r = rect & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    }
    return n;
}

int GridFixture::countDark(const QImage& image, const QRect& rect)
{
    // Small antialiased text has few pixels of the exact pen colour.
    int n = 0;
    const QRect r = rect & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() < 64 && c.green() < 64 && c.blue() < 64;
        }
    }
    return n;
}

QColor GridFixture::pictureColour(int code)
{
    return QColor(QColor::fromHsv((code * 47) % 360, 255, 200).rgb());
}

QList<QPixmap> GridFixture::pictures()
{
    QList<QPixmap> list;
    for (int code = 0; code < 9; ++code) {
        QImage image(32, 32, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.fillRect(QRect(6, 6, 20, 20), pictureColour(code));
        painter.fillRect(QRect(14, 14, 4, 4), Qt::white); // white inside the mark
        painter.end();
        list.append(QPixmap::fromImage(image));
    }
    return list;
}

void GridFixture::click(std::pair<int, int> cell, Qt::KeyboardModifiers modifiers, Qt::MouseButton button)
{
    QTest::mouseClick(grid.get(), button, modifiers, centre(cell));
}

void GridFixture::drop(std::pair<int, int> cell, Qt::KeyboardModifiers modifiers)
{
    QMimeData mime;
    mime.setUrls(
        {QUrl::fromLocalFile(QStringLiteral("/tmp/見積書.xls")), QUrl::fromLocalFile(QStringLiteral("/tmp/b.txt"))});
    QDropEvent event(QPointF(centre(cell)), Qt::CopyAction, &mime, Qt::NoButton, modifiers);
    // The application drops a drop that no drag started; hand it to the widget as the drag
    // manager would.
    static_cast<QObject*>(grid.get())->event(&event);
}

void GridFixture::wheel(int delta)
{
    const QPointF at(centre({0, grid->TopRow()}));
    QWheelEvent event(at, grid->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid.get(), &event);
}
