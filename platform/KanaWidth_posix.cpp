#include "platform/KanaWidth.h"

#include "platform/Cp932.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace KanaWidth {
namespace {

// Building a transliterator parses its rules, which costs far more than applying it; each
// mapping is built once on first use and never changed afterwards.
const icu::Transliterator* transliterator(const char16_t* id)
{
    UErrorCode err = U_ZERO_ERROR;
    icu::Transliterator* t = icu::Transliterator::createInstance(icu::UnicodeString(id), UTRANS_FORWARD, err);
    if (U_FAILURE(err)) {
        delete t;
        return nullptr;
    }
    return t;
}

QString apply(const icu::Transliterator* t, const QString& text)
{
    if (!t || text.isEmpty())
        return text;
    icu::UnicodeString s(reinterpret_cast<const char16_t*>(text.utf16()), int32_t(text.size()));
    t->transliterate(s);
    return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

const icu::Transliterator* halfwidthKatakana()
{
    static const std::unique_ptr<const icu::Transliterator> t(
        transliterator(u"Hiragana-Katakana; Fullwidth-Halfwidth"));
    return t.get();
}

const icu::Transliterator* fullwidthUpper()
{
    static const std::unique_ptr<const icu::Transliterator> t(transliterator(u"Halfwidth-Fullwidth; Any-Upper"));
    return t.get();
}

QByteArray applyToBytes(const icu::Transliterator* t, const QByteArray& cp932)
{
    if (cp932.isEmpty() || !Cp932::isValid(cp932))
        return cp932;
    const Cp932::Encoded mapped = Cp932::fromUnicode(apply(t, Cp932::toUnicode(cp932)));
    return mapped.ok ? mapped.bytes : cp932;
}

} // namespace

QString toHalfwidthKatakana(const QString& text)
{
    return apply(halfwidthKatakana(), text);
}
QString toFullwidthUpper(const QString& text)
{
    return apply(fullwidthUpper(), text);
}
QByteArray toHalfwidthKatakana(const QByteArray& cp932)
{
    return applyToBytes(halfwidthKatakana(), cp932);
}
QByteArray toFullwidthUpper(const QByteArray& cp932)
{
    return applyToBytes(fullwidthUpper(), cp932);
}

} // namespace KanaWidth
