#pragma once

#include <QByteArray>

// Byte-level helpers for CP932 text. In CP932 the trail byte of a double-byte character
// can be 0x5C ('\\') or an ASCII letter (ソ is 83 5C, 表 is 95 5C), so every scan for a
// separator, every case change and every search walks lead bytes together with their
// trail byte. Everything in the core that looks inside CP932 bytes goes through here.
namespace SjisText {

// 0x81-0x9F and 0xE0-0xFC start a double-byte character.
constexpr bool isLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Index of the character that follows the one starting at i. A lead byte without a byte that
// can follow it (at the very end, or before a control character, a blank or a digit) counts as
// one character.
qsizetype nextCharIndex(const QByteArray& text, qsizetype i);

// ASCII a-z to A-Z outside double-byte characters; everything else unchanged.
QByteArray upperCase(const QByteArray& text);

// Drops bytes <= 0x20 (blanks and control characters) at both ends. A trail byte is never
// <= 0x20, so this never splits a pair.
QByteArray trim(const QByteArray& text);

// Index of the last single-byte `ch` that is not the trail byte of a pair; -1 when none.
qsizetype lastIndexOfChar(const QByteArray& text, char ch);

// Index of the first occurrence of `needle` that starts on a character boundary, from
// `from` (which must itself be a boundary); -1 when none.
qsizetype indexOf(const QByteArray& text, const QByteArray& needle, qsizetype from = 0);

// What follows the last '\\' or '/' (the whole text when there is none).
QByteArray fileNamePart(const QByteArray& text);
// The same without a copy, for look-ups that compare it against many names; valid while
// `text` is.
QByteArrayView fileNamePartView(const QByteArray& text);

// Everything up to and including the last '\\' or '/'; empty when there is none.
QByteArray directoryPart(const QByteArray& text);

// The file-name part without its extension (from the last '.' of the file-name part).
QByteArray baseName(const QByteArray& text);

// Cuts `text` to at most `maxBytes` bytes without leaving half of a double-byte character.
QByteArray leftBytes(const QByteArray& text, qsizetype maxBytes);

// Compares two byte strings as unsigned bytes (CP932 code order); a proper prefix sorts first.
int compareBytes(const QByteArray& a, const QByteArray& b);

} // namespace SjisText
