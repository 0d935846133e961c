#include "forms/DialogFont.h"

#include <QStringList>

QFont DialogFont(int pixels, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic")});
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
