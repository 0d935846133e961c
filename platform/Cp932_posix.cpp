#include "platform/Cp932.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <memory>

namespace Cp932 {
namespace {

struct ConverterCloser
{
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr openConverter(bool stopOnError)
{
    UErrorCode err = U_ZERO_ERROR;
    ConverterPtr conv(ucnv_open("windows-31j", &err));
    if (U_FAILURE(err) || !conv)
        return nullptr;
    // Fallbacks map U+301C, U+2212 and friends to the pairs Windows uses for them.
    ucnv_setFallback(conv.get(), true);
    if (stopOnError) {
        err = U_ZERO_ERROR;
        ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
        err = U_ZERO_ERROR;
        ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    } else {
        err = U_ZERO_ERROR;
        ucnv_setSubstChars(conv.get(), "?", 1, &err);
    }
    return conv;
}

// Opening a converter looks its name up in ICU's alias tables, which costs more than most
// conversions; each thread keeps one of each kind and resets it before use, so no state
// carries over from one call to the next.
UConverter* converter(bool stopOnError)
{
    thread_local ConverterPtr strict = openConverter(true);
    thread_local ConverterPtr lenient = openConverter(false);
    UConverter* conv = stopOnError ? strict.get() : lenient.get();
    if (conv)
        ucnv_reset(conv);
    return conv;
}

bool isAscii(const QByteArray& bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

QByteArray encodeOne(UConverter* conv, const char16_t* text, int length, UErrorCode& err)
{
    QByteArray out(length * 2 + 2, Qt::Uninitialized);
    err = U_ZERO_ERROR;
    const int n =
        ucnv_fromUChars(conv, out.data(), int(out.size()), reinterpret_cast<const UChar*>(text), length, &err);
    if (U_FAILURE(err))
        return {};
    out.truncate(n);
    return out;
}

} // namespace

QString toUnicode(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    UConverter* conv = converter(false);
    if (!conv)
        return QString::fromLatin1(bytes);
    QString out(bytes.size() + 1, Qt::Uninitialized);
    UErrorCode err = U_ZERO_ERROR;
    const int n = ucnv_toUChars(conv, reinterpret_cast<UChar*>(out.data()), int(out.size()), bytes.constData(),
                                int(bytes.size()), &err);
    if (U_FAILURE(err))
        return QString::fromLatin1(bytes);
    out.truncate(n);
    return out;
}

Encoded fromUnicode(const QString& text)
{
    Encoded result;
    if (text.isEmpty())
        return result;
    if (isAscii(text)) {
        result.bytes = text.toLatin1();
        return result;
    }
    UConverter* conv = converter(true);
    if (!conv) {
        result.ok = false;
        return result;
    }
    UErrorCode err = U_ZERO_ERROR;
    result.bytes = encodeOne(conv, reinterpret_cast<const char16_t*>(text.utf16()), int(text.size()), err);
    if (U_SUCCESS(err))
        return result;

    // Find every offending character so the message can name them.
    result.ok = false;
    result.bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        ucnv_reset(conv);
        encodeOne(conv, reinterpret_cast<const char16_t*>(text.utf16()) + i, int(len), err);
        if (U_FAILURE(err) && !result.unmappable.contains(text.mid(i, len)))
            result.unmappable += text.mid(i, len);
        i += len;
    }
    return result;
}

QByteArray fromUnicodeLossy(const QString& text)
{
    if (text.isEmpty())
        return {};
    if (isAscii(text))
        return text.toLatin1();
    UConverter* conv = converter(false);
    if (!conv)
        return text.toLatin1();
    UErrorCode err = U_ZERO_ERROR;
    QByteArray out = encodeOne(conv, reinterpret_cast<const char16_t*>(text.utf16()), int(text.size()), err);
    return U_SUCCESS(err) ? out : text.toLatin1();
}

bool isValid(const QByteArray& bytes)
{
    if (bytes.isEmpty() || isAscii(bytes))
        return true;
    UConverter* conv = converter(true);
    if (!conv)
        return false;
    QString out(bytes.size() + 1, Qt::Uninitialized);
    UErrorCode err = U_ZERO_ERROR;
    ucnv_toUChars(conv, reinterpret_cast<UChar*>(out.data()), int(out.size()), bytes.constData(), int(bytes.size()),
                  &err);
    return U_SUCCESS(err);
}

} // namespace Cp932
