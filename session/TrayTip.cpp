#include "session/TrayTip.h"

QString TrayTipText(const QString& text)
{
    int units = 0;
    int characters = 0;
    while (units < text.size() && characters < TrayTipMaxCharacters) {
        units += (text.at(units).isHighSurrogate() && units + 1 < text.size()) ? 2 : 1;
        ++characters;
    }
    return text.left(units);
}
