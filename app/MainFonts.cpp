#include "app/MainFonts.h"

#include <QStringList>

#include <cmath>

namespace MainFonts {

namespace {

QFont make(const QStringList& families, int pixels96, bool bold, double scale)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(qMax(1, int(std::lround(pixels96 * scale))));
    font.setBold(bold);
    return font;
}

} // namespace

QFont Proportional(int pixels96, bool bold, double scale)
{
    return make({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                 QStringLiteral("IPAGothic")},
                pixels96, bold, scale);
}

QFont Fixed(int pixels96, bool bold, double scale)
{
    return make({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic")}, pixels96,
                bold, scale);
}

} // namespace MainFonts
