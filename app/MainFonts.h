#pragma once

#include <QFont>

// The window's Japanese fonts: the proportional "ＭＳ Ｐゴシック" and the fixed-pitch
// "ＭＳ ゴシック", with the IPA fonts standing in where those are not installed. Sizes are
// pixels at 96 dpi, scaled by `scale`.
namespace MainFonts {

QFont Proportional(int pixels96, bool bold = false, double scale = 1.0);
QFont Fixed(int pixels96, bool bold = false, double scale = 1.0);

} // namespace MainFonts
