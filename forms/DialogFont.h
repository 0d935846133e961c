#pragma once

#include <QFont>

// The proportional Japanese font of the program's windows: "ＭＳ Ｐゴシック" where installed, the IPA
// fonts standing in elsewhere. Sizes are pixels at 96 dpi.
QFont DialogFont(int pixels = 12, bool bold = false);
