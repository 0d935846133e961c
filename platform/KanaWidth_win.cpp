#include "platform/KanaWidth.h"

#include "platform/Cp932.h"

#include <windows.h>

#include <algorithm>
#include <span>

namespace KanaWidth {
namespace {

// The board is a Japanese office's: its mappings are Japanese ones whatever the PC's own locale.
constexpr wchar_t Locale[] = L"ja-JP";

// Characters that Windows maps otherwise than copies on Linux do. They take the form given here
// and never reach Windows, so a reading or group typed on either PC is stored alike.
struct Fixed
{
    char16_t from;
    char16_t to;
};

struct Mapping
{
    DWORD flags;
    std::span<const Fixed> fixed;
};

// Windows narrows the quotation marks to ASCII, the lone sound marks ゛゜ to ﾞﾟ and ゞヾ to ヽﾞ,
// and leaves ＼ wide.
constexpr Fixed HalfwidthFixed[] = {
    {0x2018, 0x2018}, {0x2019, 0x2019}, {0x201C, 0x201C}, {0x201D, 0x201D}, {0x309B, 0x309B},
    {0x309C, 0x309C}, {0x309E, 0x30FE}, {0x30FE, 0x30FE}, {0xFF3C, 0x005C},
};
// Windows leaves the backslash narrow (Japanese fonts draw it as the yen sign) and turns the lone
// sound marks into combining ones, which CP932 cannot hold.
constexpr Fixed FullwidthFixed[] = {{0x005C, 0xFF3C}, {0x309B, 0x309B}, {0x309C, 0x309C}};

constexpr Mapping Halfwidth{LCMAP_KATAKANA | LCMAP_HALFWIDTH, HalfwidthFixed};
constexpr Mapping FullwidthUpper{LCMAP_FULLWIDTH | LCMAP_UPPERCASE, FullwidthFixed};

bool mapRun(DWORD flags, const QChar* text, qsizetype length, QString& out)
{
    if (length == 0)
        return true;
    const auto* source = reinterpret_cast<const wchar_t*>(text);
    const int needed = LCMapStringEx(Locale, flags, source, int(length), nullptr, 0, nullptr, nullptr, 0);
    if (needed <= 0)
        return false;
    const qsizetype at = out.size();
    out.resize(at + needed);
    return LCMapStringEx(Locale, flags, source, int(length), reinterpret_cast<wchar_t*>(out.data() + at), needed,
                         nullptr, nullptr, 0) == needed;
}

// A mapping that fails keeps the text: a reading or group typed by hand is better kept than lost.
QString map(const Mapping& mapping, const QString& text)
{
    QString out;
    out.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto fixed = std::find_if(mapping.fixed.begin(), mapping.fixed.end(),
                                        [c = text.at(i).unicode()](const Fixed& f) { return f.from == c; });
        if (fixed == mapping.fixed.end())
            continue;
        if (!mapRun(mapping.flags, text.constData() + runStart, i - runStart, out))
            return text;
        out += QChar(fixed->to);
        runStart = i + 1;
    }
    if (!mapRun(mapping.flags, text.constData() + runStart, text.size() - runStart, out))
        return text;
    return out;
}

QByteArray mapBytes(const Mapping& mapping, const QByteArray& cp932)
{
    if (cp932.isEmpty() || !Cp932::isValid(cp932))
        return cp932;
    const Cp932::Encoded mapped = Cp932::fromUnicode(map(mapping, Cp932::toUnicode(cp932)));
    return mapped.ok ? mapped.bytes : cp932;
}

} // namespace

QString toHalfwidthKatakana(const QString& text)
{
    return map(Halfwidth, text);
}
QString toFullwidthUpper(const QString& text)
{
    return map(FullwidthUpper, text);
}
QByteArray toHalfwidthKatakana(const QByteArray& cp932)
{
    return mapBytes(Halfwidth, cp932);
}
QByteArray toFullwidthUpper(const QByteArray& cp932)
{
    return mapBytes(FullwidthUpper, cp932);
}

} // namespace KanaWidth
