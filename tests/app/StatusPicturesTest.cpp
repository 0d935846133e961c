// The pictures compiled into the program: the status marks the grid draws by display status
// code, the tray icons and the menu pictures.
#include <QColor>
#include <QImage>
#include <QMap>
#include <QStringList>
#include <gtest/gtest.h>

// Resources of a static library are registered by name, outside any namespace.
static void registerPictures()
{
    Q_INIT_RESOURCE(vurna);
}

namespace {

QImage picture(const QString& path)
{
    registerPictures();
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

// Hue (degrees) of the strongly coloured pixels, in buckets of 30 degrees; the most common one.
int dominantHue(const QImage& image, int* colouredPixels)
{
    QMap<int, int> buckets;
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            if (c.alpha() < 128 || c.hsvSaturationF() < 0.45 || c.valueF() < 0.3)
                continue;
            ++coloured;
            ++buckets[(c.hsvHue() + 15) % 360 / 30];
        }
    *colouredPixels = coloured;
    int best = -1, count = 0;
    for (auto it = buckets.cbegin(); it != buckets.cend(); ++it)
        if (it.value() > count) {
            best = it.key() * 30;
            count = it.value();
        }
    return best;
}

struct StatusPicture
{
    int code;
    QList<int> hues; // acceptable dominant hues (bucket centres); empty: a grey picture
};

class StatusPictures : public ::testing::TestWithParam<StatusPicture>
{
};

INSTANTIATE_TEST_SUITE_P(ByCode, StatusPictures,
                         ::testing::Values(StatusPicture{0, {}},                       // stopped: grey
                                           StatusPicture{1, {90, 120, 150, 210, 240}}, // running: green or blue
                                           StatusPicture{2, {0}},                      // overdue: red
                                           StatusPicture{3, {30, 60}},                 // back today: amber or olive
                                           StatusPicture{4, {0, 330}}));               // absent: red or magenta

TEST_P(StatusPictures, AreThirtyTwoSquareOnWhiteInTheirColour)
{
    const QImage image = picture(QStringLiteral(":/status/%1.png").arg(GetParam().code));
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), QSize(32, 32));
    for (const QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
        EXPECT_EQ(image.pixel(corner), qRgba(255, 255, 255, 255)) << corner.x() << "," << corner.y();
    int coloured = 0;
    const int hue = dominantHue(image, &coloured);
    if (GetParam().hues.isEmpty()) {
        EXPECT_EQ(coloured, 0);
    } else {
        EXPECT_GT(coloured, 100) << "too little colour to tell the mark at 32x32";
        EXPECT_TRUE(GetParam().hues.contains(hue)) << "dominant hue " << hue;
    }
}

TEST(Pictures, EveryStatusAndTrayPictureDiffersFromTheOthers)
{
    QStringList paths;
    for (int code = 0; code < 5; ++code)
        paths << QStringLiteral(":/status/%1.png").arg(code);
    for (const char* name : {"normal", "starting", "memo", "absent"})
        paths << QStringLiteral(":/tray/%1.png").arg(QLatin1String(name));
    QList<QImage> images;
    for (const QString& path : paths) {
        images << picture(path);
        ASSERT_FALSE(images.constLast().isNull()) << path.toStdString();
    }
    for (int i = 0; i < images.size(); ++i)
        for (int j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images.at(i), images.at(j)) << paths.at(i).toStdString() << " " << paths.at(j).toStdString();
}

TEST(Pictures, TrayIconsLeaveTheirBackgroundToTheTray)
{
    for (const char* name : {"normal", "starting", "memo", "absent"}) {
        const QImage image = picture(QStringLiteral(":/tray/%1.png").arg(QLatin1String(name)));
        ASSERT_EQ(image.size(), QSize(32, 32)) << name;
        EXPECT_EQ(qAlpha(image.pixel(0, 31)), 0) << name;
    }
}

TEST(Pictures, MenuPicturesAndButtonGlyphsAreThere)
{
    const QMap<QString, int> sizes = {
        {"group", 16},  {"customgroup", 16}, {"sitegroup", 16},   {"quit", 16},
        {"reload", 16}, {"preference", 16},  {"help", 16},        {"version", 16},
        {"memo", 16},   {"owner_set", 32},   {"owner_reset", 32},
    };
    for (auto it = sizes.cbegin(); it != sizes.cend(); ++it) {
        const QImage image = picture(QStringLiteral(":/menu/%1.png").arg(it.key()));
        EXPECT_EQ(image.size(), QSize(it.value(), it.value())) << it.key().toStdString();
    }
}

} // namespace
