#pragma once

#include <QString>

// The tray icon's tip holds at most 63 characters; longer texts are cut there (never inside
// a surrogate pair).
QString TrayTipText(const QString& text);

constexpr int TrayTipMaxCharacters = 63;
