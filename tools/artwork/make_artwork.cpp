// Draws every picture the board program ships, so none is taken from elsewhere:
//   status/0.png .. 4.png   status marks, 32x32 on white, indexed by display status code
//   tray/*.png              tray icons (normal, starting, new memo, absence), 32x32, transparent
//   menu/*.png              menu and group-list pictures 16x16, button glyphs 32x32, transparent
//   custom/*.png            the demo board's custom marks, 32x32 on white
//   icons/hicolor/NxN/apps/vurnaboard.png   the desktop icon (the tray's board) for menus and launchers
// Usage: make_artwork <resources folder>
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextStream>

#include <cmath>
#include <functional>

namespace {

const QColor white(255, 255, 255);

using Draw = std::function<void(QPainter&)>;

// One picture, drawn in a coordinate system `units` wide on an image `size` pixels wide.
bool render(const QString& path, int size, bool onWhite, const Draw& draw, qreal units = 32)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(onWhite ? white : QColor(Qt::transparent));
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / units, size / units);
        draw(p);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    return true;
}

QPen pen(const QColor& color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A head and shoulders filling a 32-unit square.
void person(QPainter& p, const QColor& fill, const QColor& outline)
{
    QPainterPath body;
    body.moveTo(4, 31);
    body.lineTo(4, 27);
    body.cubicTo(4, 19.5, 10, 17.5, 16, 17.5);
    body.cubicTo(22, 17.5, 28, 19.5, 28, 27);
    body.lineTo(28, 31);
    body.closeSubpath();
    p.setPen(pen(outline, 1.4));
    p.setBrush(fill);
    p.drawPath(body);
    p.drawEllipse(QPointF(16, 10), 6.2, 6.2);
}

// An arrow head whose tip lies `length` beyond `at` in direction `dir`.
void arrowHead(QPainter& p, QPointF at, QPointF dir, qreal length, qreal halfWidth, const QColor& color)
{
    const qreal n = std::hypot(dir.x(), dir.y());
    dir /= n;
    const QPointF side(-dir.y(), dir.x());
    const QPointF base = at - dir * 0.8;
    p.setPen(pen(color, 0.8));
    p.setBrush(color);
    p.drawPolygon(QPolygonF{at + dir * length, base + side * halfWidth, base - side * halfWidth});
}

// The power-off symbol: an open ring with a bar through its gap.
void powerMark(QPainter& p, QPointF c, qreal r, const QColor& color, qreal width)
{
    p.setPen(pen(color, width));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 125 * 16, 290 * 16);
    p.drawLine(c, QPointF(c.x(), c.y() - r - width * 0.3));
}

void disc(QPainter& p, QPointF c, qreal r, const QColor& fill, const QColor& outline, qreal width = 1.5)
{
    p.setPen(pen(outline, width));
    p.setBrush(fill);
    p.drawEllipse(c, r, r);
}

// A white curved arrow that comes round over the top and points back down on the left.
void returnArrow(QPainter& p, QPointF c, qreal r, const QColor& color, qreal width)
{
    p.setPen(pen(color, width));
    p.setBrush(Qt::NoBrush);
    const qreal start = -55, span = 235;
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), int(start * 16), int(span * 16));
    const qreal end = (start + span) * M_PI / 180;
    const QPointF at(c.x() + r * std::cos(end), c.y() - r * std::sin(end));
    arrowHead(p, at, QPointF(-std::sin(end), -std::cos(end)), width * 1.6, width * 1.45, color);
}

// A post on the left and an arrow leaving it to the right.
void awayArrow(QPainter& p, qreal x0, qreal x1, qreal y, const QColor& color, qreal width)
{
    p.setPen(pen(color, width));
    p.drawLine(QPointF(x0, y - 7), QPointF(x0, y + 7));
    p.drawLine(QPointF(x0 + 4.5, y), QPointF(x1 - 4, y));
    arrowHead(p, QPointF(x1 - 4.5, y), QPointF(1, 0), 5.5, 5, color);
}

void exclamation(QPainter& p, qreal x, qreal top, qreal bottom, const QColor& color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF{{x - 2.1, top}, {x + 2.1, top}, {x + 1.2, bottom}, {x - 1.2, bottom}});
    p.drawEllipse(QPointF(x, bottom + 3.6), 1.9, 1.9);
}

// --- status marks -------------------------------------------------------------------------

void statusStopped(QPainter& p)
{
    p.save();
    p.translate(-1.5, -1);
    p.scale(0.88, 0.92);
    person(p, QColor(190, 190, 190), QColor(135, 135, 135));
    p.restore();
    disc(p, QPointF(24, 24), 7.2, white, QColor(100, 100, 100), 1.3);
    powerMark(p, QPointF(24, 24.6), 3.6, QColor(90, 90, 90), 1.7);
}

void statusRunning(QPainter& p)
{
    person(p, QColor(40, 175, 70), QColor(0, 105, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawEllipse(QPointF(14, 8), 2.2, 1.6);
}

void statusOverdue(QPainter& p)
{
    const QPolygonF triangle{{16, 2.2}, {30.6, 28.8}, {1.4, 28.8}};
    p.setPen(pen(QColor(150, 0, 0), 1.6));
    p.setBrush(QColor(225, 30, 30));
    p.drawPolygon(triangle);
    exclamation(p, 16, 10, 20.5, white);
}

void statusBackToday(QPainter& p)
{
    disc(p, QPointF(16, 16), 14.4, QColor(232, 170, 20), QColor(128, 128, 0), 1.6);
    returnArrow(p, QPointF(16.5, 17.5), 7.2, white, 3.2);
}

void statusAbsent(QPainter& p)
{
    disc(p, QPointF(16, 16), 14.4, QColor(220, 20, 70), QColor(140, 0, 40), 1.6);
    awayArrow(p, 8.5, 26, 16, white, 3.2);
}

// --- the demo board's custom marks ---------------------------------------------------------

// Two people at a table.
void meeting(QPainter& p, const QColor& fill, const QColor& outline)
{
    for (const qreal x : {9.5, 22.5}) {
        p.save();
        p.translate(x - 16 * 0.55, 3);
        p.scale(0.55, 0.62);
        person(p, fill, outline);
        p.restore();
    }
    p.setPen(pen(QColor(90, 60, 30), 1.2));
    p.setBrush(QColor(150, 105, 60));
    p.drawRoundedRect(QRectF(2, 20.5, 28, 5), 1.5, 1.5);
    p.drawLine(QPointF(6, 25.5), QPointF(6, 30));
    p.drawLine(QPointF(26, 25.5), QPointF(26, 30));
}

// A suitcase.
void suitcase(QPainter& p, const QColor& fill, const QColor& outline)
{
    p.setPen(pen(outline, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(11, 4.5, 10, 7), 2, 2);
    p.setPen(pen(outline, 1.4));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(3, 10, 26, 18.5), 3, 3);
    p.setPen(pen(outline, 2));
    p.drawLine(QPointF(9.5, 10.5), QPointF(9.5, 28));
    p.drawLine(QPointF(22.5, 10.5), QPointF(22.5, 28));
}

// --- tray ---------------------------------------------------------------------------------

// The board itself: a framed sheet with three rows of marks and names.
void board(QPainter& p, const QColor (&marks)[3], const QColor& frame, const QColor& lines)
{
    p.setPen(pen(frame, 2));
    p.setBrush(white);
    p.drawRoundedRect(QRectF(2, 3, 28, 26), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(frame);
    p.drawRect(QRectF(2.5, 3.5, 27, 5));
    for (int i = 0; i < 3; ++i) {
        const qreal y = 13 + i * 6;
        p.setPen(Qt::NoPen);
        p.setBrush(marks[i]);
        p.drawEllipse(QPointF(8, y), 2.6, 2.6);
        p.setPen(pen(lines, 2.4));
        p.drawLine(QPointF(13, y), QPointF(25.5, y));
    }
}

const QColor navy(25, 50, 125);

void trayNormal(QPainter& p)
{
    board(p, {QColor(40, 175, 70), QColor(220, 20, 70), QColor(40, 175, 70)}, navy, QColor(90, 90, 90));
}

void hourglass(QPainter& p, QPointF c)
{
    disc(p, c, 7.8, QColor(40, 110, 210), QColor(10, 50, 130), 1.2);
    const qreal w = 3.6, h = 4.6;
    p.setPen(pen(white, 1.3));
    p.setBrush(white);
    p.drawPolygon(QPolygonF{{c.x() - w, c.y() - h}, {c.x() + w, c.y() - h}, {c.x(), c.y()}});
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygonF{{c.x() - w, c.y() + h}, {c.x() + w, c.y() + h}, {c.x(), c.y()}});
}

void trayStarting(QPainter& p)
{
    const QColor grey(170, 170, 170);
    board(p, {grey, grey, grey}, QColor(120, 120, 120), QColor(190, 190, 190));
    hourglass(p, QPointF(23, 23));
}

void envelope(QPainter& p, const QRectF& r, const QColor& paper, const QColor& outline, qreal width)
{
    p.setPen(pen(outline, width));
    p.setBrush(paper);
    p.drawRect(r);
    p.drawPolyline(QPolygonF{r.topLeft(), QPointF(r.center().x(), r.top() + r.height() * 0.58), r.topRight()});
}

void trayMemo(QPainter& p)
{
    envelope(p, QRectF(2, 8, 28, 19), QColor(255, 248, 200), QColor(20, 70, 170), 1.8);
    disc(p, QPointF(26, 7), 5, QColor(230, 25, 25), white, 1.2);
}

void trayAbsent(QPainter& p)
{
    board(p, {QColor(220, 20, 70), QColor(220, 20, 70), QColor(220, 20, 70)}, navy, QColor(90, 90, 90));
    disc(p, QPointF(22.5, 22.5), 8.8, QColor(220, 20, 70), white, 1.4);
    p.save();
    p.translate(22.5 - 16 * 0.55, 22.5 - 16 * 0.55);
    p.scale(0.55, 0.55);
    awayArrow(p, 8.5, 26, 16, white, 4);
    p.restore();
}

// --- menu pictures (16 units) and button glyphs (32 units) ----------------------------------

void smallPerson(QPainter& p, qreal x, qreal y, qreal s, const QColor& fill, const QColor& outline)
{
    p.save();
    p.translate(x, y);
    p.scale(s / 32, s / 32);
    person(p, fill, outline);
    p.restore();
}

void menuGroup(QPainter& p)
{
    smallPerson(p, 4.5, 0, 11.5, QColor(120, 160, 230), QColor(30, 70, 150));
    smallPerson(p, 0, 4, 12, QColor(40, 100, 210), QColor(20, 50, 130));
}

void star(QPainter& p, QPointF c, qreal r, const QColor& fill, const QColor& outline)
{
    QPolygonF points;
    for (int i = 0; i < 10; ++i) {
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        const qreal rr = i % 2 ? r * 0.45 : r;
        points << QPointF(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
    }
    p.setPen(pen(outline, 0.8));
    p.setBrush(fill);
    p.drawPolygon(points);
}

void menuCustomGroup(QPainter& p)
{
    smallPerson(p, 0, 3, 13, QColor(240, 150, 30), QColor(150, 80, 0));
    star(p, QPointF(11.8, 4.5), 4.2, QColor(255, 215, 0), QColor(170, 110, 0));
}

void menuSiteGroup(QPainter& p)
{
    p.setPen(pen(QColor(20, 100, 60), 1));
    p.setBrush(QColor(200, 235, 210));
    p.drawRect(QRectF(1, 1.5, 14, 13));
    smallPerson(p, 0.5, 4.5, 9.5, QColor(20, 140, 70), QColor(0, 80, 30));
    smallPerson(p, 6, 4.5, 9.5, QColor(20, 140, 70), QColor(0, 80, 30));
}

void menuQuit(QPainter& p)
{
    powerMark(p, QPointF(8, 8.8), 5.4, QColor(200, 20, 20), 2);
}

void menuReload(QPainter& p)
{
    const QColor green(20, 140, 60);
    for (const qreal start : {20.0, 200.0}) {
        p.setPen(pen(green, 1.9));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2.5, 2.5, 11, 11), int(start * 16), 130 * 16);
        const qreal end = (start + 130) * M_PI / 180;
        const QPointF at(8 + 5.5 * std::cos(end), 8 - 5.5 * std::sin(end));
        arrowHead(p, at, QPointF(-std::sin(end), -std::cos(end)), 3, 2.8, green);
    }
}

void menuPreference(QPainter& p)
{
    QPainterPath gear;
    const QPointF c(8, 8);
    for (int i = 0; i < 6; ++i) {
        const qreal a = i * M_PI / 3;
        QPainterPath tooth;
        tooth.addRect(QRectF(-1.7, -7.6, 3.4, 4));
        gear.addPath(QTransform().translate(c.x(), c.y()).rotateRadians(a).map(tooth));
    }
    gear.addEllipse(c, 5, 5);
    gear = gear.simplified();
    QPainterPath hole;
    hole.addEllipse(c, 2, 2);
    gear = gear.subtracted(hole);
    p.setPen(pen(QColor(45, 45, 55), 0.9));
    p.setBrush(QColor(120, 125, 140));
    p.drawPath(gear);
}

void glyphDisc(QPainter& p, const QString& glyph)
{
    disc(p, QPointF(8, 8), 7, QColor(30, 100, 210), QColor(10, 50, 130), 1);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(white);
    p.drawText(QRectF(0, 0.5, 16, 16), Qt::AlignCenter, glyph);
}

void menuMemo(QPainter& p)
{
    envelope(p, QRectF(1, 3.5, 14, 10), QColor(255, 248, 200), QColor(20, 70, 170), 1.1);
}

void glyphOwnerSet(QPainter& p)
{
    person(p, QColor(40, 175, 70), QColor(0, 105, 40));
    disc(p, QPointF(23, 22), 8.4, QColor(220, 20, 70), white, 1.4);
    p.save();
    p.translate(23 - 16 * 0.52, 22 - 16 * 0.52);
    p.scale(0.52, 0.52);
    awayArrow(p, 8.5, 26, 16, white, 4.2);
    p.restore();
}

void glyphOwnerReset(QPainter& p)
{
    person(p, QColor(40, 175, 70), QColor(0, 105, 40));
    disc(p, QPointF(23, 22), 8.4, QColor(30, 100, 210), white, 1.4);
    p.setPen(pen(white, 2.6));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{{18.8, 22.2}, {21.8, 25.2}, {27.2, 18.8}});
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: make_artwork <resources folder>\n";
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + u'/';

    struct Picture
    {
        QString path;
        int size;
        bool onWhite;
        Draw draw;
        qreal units = 32;
    };
    const QList<Picture> pictures = {
        {"status/0.png", 32, true, statusStopped},
        {"status/1.png", 32, true, statusRunning},
        {"status/2.png", 32, true, statusOverdue},
        {"status/3.png", 32, true, statusBackToday},
        {"status/4.png", 32, true, statusAbsent},
        {"tray/normal.png", 32, false, trayNormal},
        {"tray/starting.png", 32, false, trayStarting},
        {"tray/memo.png", 32, false, trayMemo},
        {"tray/absent.png", 32, false, trayAbsent},
        {"menu/group.png", 16, false, menuGroup, 16},
        {"menu/customgroup.png", 16, false, menuCustomGroup, 16},
        {"menu/sitegroup.png", 16, false, menuSiteGroup, 16},
        {"menu/quit.png", 16, false, menuQuit, 16},
        {"menu/reload.png", 16, false, menuReload, 16},
        {"menu/preference.png", 16, false, menuPreference, 16},
        {"menu/help.png", 16, false, [](QPainter& p) { glyphDisc(p, QStringLiteral("?")); }, 16},
        {"menu/version.png", 16, false, [](QPainter& p) { glyphDisc(p, QStringLiteral("i")); }, 16},
        {"menu/memo.png", 16, false, menuMemo, 16},
        {"menu/owner_set.png", 32, false, glyphOwnerSet},
        {"menu/owner_reset.png", 32, false, glyphOwnerReset},
        {"custom/meeting_today.png", 32, true,
         [](QPainter& p) { meeting(p, QColor(232, 170, 20), QColor(128, 128, 0)); }},
        {"custom/meeting_away.png", 32, true, [](QPainter& p) { meeting(p, QColor(225, 30, 60), QColor(140, 0, 30)); }},
        {"custom/trip_today.png", 32, true,
         [](QPainter& p) { suitcase(p, QColor(232, 170, 20), QColor(110, 100, 0)); }},
    };
    bool ok = true;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("icons/hicolor/%1x%1/apps/vurnaboard.png").arg(size);
        ok = render(out + folder, size, false, trayNormal) && ok;
    }
    for (const Picture& picture : pictures)
        ok = render(out + picture.path, picture.size, picture.onWhite, picture.draw, picture.units) && ok;
    return ok ? 0 : 1;
}
