#include "platform/Cp932.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

namespace Cp932 {
namespace {

constexpr UINT CodePage = 932;

// A character typed or pasted in another form than the one CP932 holds: Linux input methods give
// U+301C and U+2212 where Windows gives U+FF5E and U+FF0D, newer fonts and input methods give the
// JIS 2004 shapes of a few kanji (剝 U+525D) where CP932 has the older one (剥 U+5265). Each takes
// the CP932 form of the character it stands in for, as copies on Linux write it.
struct StandIn
{
    char16_t typed;
    char16_t written;
};

constexpr StandIn StandIns[] = {
    {0x00A5, 0x005C}, {0x00A6, 0xFFE4}, {0x2014, 0x2015}, {0x2016, 0x2225}, {0x203E, 0x007E}, {0x2212, 0xFF0D},
    {0x301C, 0xFF5E}, {0x4FE0, 0x4FA0}, {0x525D, 0x5265}, {0x555E, 0x5516}, {0x5699, 0x565B}, {0x56CA, 0x56A2},
    {0x5861, 0x586B}, {0x5C5B, 0x5C4F}, {0x5C62, 0x5C61}, {0x6414, 0x63BB}, {0x6451, 0x63B4}, {0x6522, 0x6505},
    {0x6805, 0x67F5}, {0x688E, 0x688D}, {0x6F51, 0x6E8C}, {0x7006, 0x6D9C}, {0x7130, 0x7114}, {0x7626, 0x75E9},
    {0x79B1, 0x7977}, {0x7C1E, 0x7BAA}, {0x7E48, 0x7E66}, {0x7E61, 0x7E4D}, {0x7E6B, 0x7E4B}, {0x8141, 0x80FC},
    {0x8346, 0x834A}, {0x840A, 0x83B1}, {0x8523, 0x848B}, {0x87EC, 0x8749}, {0x881F, 0x874B}, {0x8EC0, 0x8EAF},
    {0x91AC, 0x91A4}, {0x91B1, 0x9197}, {0x9830, 0x982C}, {0x9839, 0x983D}, {0x985A, 0x985B}, {0x9A52, 0x9A28},
    {0x9DD7, 0x9D0E}, {0x9E7C, 0x9E78}, {0x9EB4, 0x9EB9}, {0x9EB5, 0x9EBA}, {0xF86F, 0x2116},
};

// Invisible format characters (zero-width spaces, joiners, direction marks, variation
// selectors, the byte order mark) have no CP932 form and change nothing a reader sees: they are
// left out rather than make a whole name unwritable.
struct Range
{
    char32_t first;
    char32_t last;
};

constexpr Range Invisible[] = {
    {0x00AD, 0x00AD}, {0x034F, 0x034F}, {0x061C, 0x061C},   {0x115F, 0x1160},   {0x17B4, 0x17B5},   {0x180B, 0x180F},
    {0x200B, 0x200F}, {0x202A, 0x202E}, {0x2060, 0x206F},   {0x3164, 0x3164},   {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},
    {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};

char16_t standInFor(char16_t c)
{
    const auto it = std::lower_bound(std::begin(StandIns), std::end(StandIns), c,
                                     [](const StandIn& s, char16_t v) { return s.typed < v; });
    return it != std::end(StandIns) && it->typed == c ? it->written : c;
}

bool isInvisible(char32_t c)
{
    return std::any_of(std::begin(Invisible), std::end(Invisible),
                       [c](const Range& r) { return c >= r.first && c <= r.last; });
}

bool isLead(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool isTrail(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// The length of the byte sequence at `i`: 1 for ASCII and half-width katakana, 2 for a lead and
// trail byte, 0 for a byte that starts nothing. Windows gives 0x80, 0xA0 and 0xFD-0xFF meanings of
// its own that no other reader shares, so they are invalid here as on Linux; a lead byte whose
// next byte cannot be a trail byte is invalid alone, and that next byte starts afresh.
int sequenceLength(const QByteArray& bytes, qsizetype i)
{
    const auto b = static_cast<unsigned char>(bytes.at(i));
    if (b < 0x80 || (b >= 0xA1 && b <= 0xDF))
        return 1;
    if (isLead(b) && i + 1 < bytes.size() && isTrail(static_cast<unsigned char>(bytes.at(i + 1))))
        return 2;
    return 0;
}

// Decodes well-formed sequences; false when Windows has no character for one of them. Every
// sequence gives one UTF-16 unit, so the bytes' count is room enough.
bool decode(const char* bytes, int length, QString& out)
{
    const qsizetype at = out.size();
    out.resize(at + length);
    const int written = MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, bytes, length,
                                            reinterpret_cast<wchar_t*>(out.data() + at), length);
    out.truncate(at + qMax(written, 0));
    return written > 0;
}

// Decodes bytes[from, to), all well-formed sequences; a pair without a character shows as U+FFFD.
void decodeRun(const QByteArray& bytes, qsizetype from, qsizetype to, QString& out)
{
    if (from == to)
        return;
    const qsizetype before = out.size();
    if (decode(bytes.constData() + from, int(to - from), out))
        return;
    out.truncate(before);
    for (qsizetype i = from; i < to;) {
        const int length = sequenceLength(bytes, i);
        if (!decode(bytes.constData() + i, length, out))
            out += QChar::ReplacementCharacter;
        i += length;
    }
}

bool isAscii(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Whether `bytes` are well-formed sequences only: what Windows writes for U+0080 and the private
// code points it keeps for 0xA0 and 0xFD-0xFF would not read back anywhere else.
bool isWellFormed(const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = sequenceLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// Encodes without best fit: a character without a CP932 form of its own (Windows would write
// 'A' for 'Ā') fails the whole call instead. No character takes more than two bytes.
bool encode(const wchar_t* text, int length, QByteArray& out)
{
    if (length == 0)
        return true;
    QByteArray bytes(qsizetype(length) * 2, Qt::Uninitialized);
    BOOL usedDefault = FALSE;
    const int written = WideCharToMultiByte(CodePage, WC_NO_BEST_FIT_CHARS, text, length, bytes.data(),
                                            int(bytes.size()), nullptr, &usedDefault);
    if (written <= 0 || usedDefault)
        return false;
    bytes.truncate(written);
    if (!isWellFormed(bytes))
        return false;
    out += bytes;
    return true;
}

// The text with every stand-in replaced and every invisible character left out.
QString prepared(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            if (!isInvisible(QChar::surrogateToUcs4(c, text.at(i + 1))))
                result.append(c).append(text.at(i + 1));
            ++i;
        } else if (!isInvisible(c.unicode())) {
            result.append(QChar(standInFor(c.unicode())));
        }
    }
    return result;
}

// Encodes character by character: what has no CP932 form becomes `substitute` (when given) and is
// listed in `unmappable`, each character once.
QByteArray encodeEach(const QString& text, const char* substitute, QString& unmappable)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QString original = text.mid(i, length);
        const QString one = prepared(original);
        if (!encode(reinterpret_cast<const wchar_t*>(one.utf16()), int(one.size()), out)) {
            if (substitute)
                out += substitute;
            if (!unmappable.contains(original))
                unmappable += original;
        }
        i += length;
    }
    return out;
}

} // namespace

QString toUnicode(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QString out;
    out.reserve(bytes.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = sequenceLength(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        decodeRun(bytes, runStart, i, out);
        out += QChar::ReplacementCharacter;
        runStart = ++i;
    }
    decodeRun(bytes, runStart, bytes.size(), out);
    return out;
}

Encoded fromUnicode(const QString& text)
{
    Encoded result;
    if (isAscii(text)) {
        result.bytes = text.toLatin1();
        return result;
    }
    const QString ready = prepared(text);
    if (encode(reinterpret_cast<const wchar_t*>(ready.utf16()), int(ready.size()), result.bytes))
        return result;
    // Find every offending character so the message can name them.
    result.ok = false;
    result.bytes.clear();
    encodeEach(text, nullptr, result.unmappable);
    return result;
}

QByteArray fromUnicodeLossy(const QString& text)
{
    if (isAscii(text))
        return text.toLatin1();
    const QString ready = prepared(text);
    QByteArray out;
    if (encode(reinterpret_cast<const wchar_t*>(ready.utf16()), int(ready.size()), out))
        return out;
    QString unmappable;
    return encodeEach(text, "?", unmappable);
}

bool isValid(const QByteArray& bytes)
{
    if (isAscii(bytes))
        return true;
    if (!isWellFormed(bytes))
        return false;
    QString ignored;
    return decode(bytes.constData(), int(bytes.size()), ignored);
}

} // namespace Cp932
