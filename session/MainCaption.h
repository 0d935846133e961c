#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

// The board window's caption: the program name, today's date with its weekday and the user's
// name, "ゲスト" standing in for a user without a name.
QString MainCaptionText(const QDate& today, const QByteArray& ownName);
