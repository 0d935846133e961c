#pragma once

#include <QByteArray>
#include <QString>

// Conversion between the CP932 (Shift-JIS) bytes that files and datagrams carry and the
// Unicode text that widgets show and take. The core keeps text as CP932 bytes; these are
// the only two doors between the two worlds.
namespace Cp932 {

// Decodes CP932 bytes for display. Bytes that are not valid CP932 show as U+FFFD; the
// bytes themselves are never altered by this call, so callers keep the original array.
QString toUnicode(const QByteArray& bytes);

struct Encoded
{
    QByteArray bytes;   // the CP932 text; empty when ok is false
    bool ok = true;     // false when some character has no CP932 form
    QString unmappable; // the characters that have no CP932 form, in order of appearance
};

// Encodes typed text. Characters that an input method on Linux produces where Windows
// would produce another code point (U+301C WAVE DASH, U+2212 MINUS SIGN, ...) take their
// usual CP932 form. A character with no CP932 form makes the whole result fail: callers
// refuse the input with a message instead of writing a substitute byte pair.
Encoded fromUnicode(const QString& text);

// Encodes text that is known to be representable (program texts, file names read from a
// CP932 source). Unmappable characters become '?'; use only where input cannot be refused.
QByteArray fromUnicodeLossy(const QString& text);

// True when every byte sequence in `bytes` is valid CP932.
bool isValid(const QByteArray& bytes);

} // namespace Cp932
