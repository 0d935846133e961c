#pragma once

#include <QByteArray>
#include <QString>

// The locale's kana and width mappings: readings are kept in half-width katakana, and
// groups are compared in full-width upper case.
namespace KanaWidth {

// Hiragana to katakana, then full-width to half-width ("やまだ" -> "ﾔﾏﾀﾞ", "ＡＢ" -> "AB").
QString toHalfwidthKatakana(const QString& text);

// Half-width to full-width, then upper case ("sales ｴｲｷﾞｮｳ" -> "ＳＡＬＥＳ　エイギョウ").
QString toFullwidthUpper(const QString& text);

// The same mappings on CP932 bytes. Text that is not valid CP932, or whose mapping cannot
// be written back as CP932, is returned unchanged.
QByteArray toHalfwidthKatakana(const QByteArray& cp932);
QByteArray toFullwidthUpper(const QByteArray& cp932);

} // namespace KanaWidth
