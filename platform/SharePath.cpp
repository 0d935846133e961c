#include "platform/SharePath.h"

#include "platform/Cp932.h"
#include "platform/SjisText.h"

#include <QDir>

namespace SharePath {

bool endsWithSeparator(const QByteArray& path)
{
    if (path.endsWith('/'))
        return true;
    return !path.isEmpty() && SjisText::lastIndexOfChar(path, '\\') == path.size() - 1;
}

QByteArray withSeparator(const QByteArray& dir)
{
    if (dir.isEmpty() || endsWithSeparator(dir))
        return dir;
    return dir + nativeSeparator;
}

QByteArray join(const QByteArray& dir, const QByteArray& name)
{
    return withSeparator(dir) + name;
}

QByteArray fromNative(const QString& path)
{
    return Cp932::fromUnicodeLossy(QDir::toNativeSeparators(path));
}

QByteArray fromNativeName(const char* name, bool* hasCp932Form)
{
    if (hasCp932Form)
        *hasCp932Form = true;
    const char* p = name;
    while (*p && static_cast<unsigned char>(*p) < 0x80)
        ++p;
    if (*p == '\0')
        return QByteArray(name, p - name); // ASCII reads the same in UTF-8 and CP932
    // Bytes that are not UTF-8 decode to U+FFFD, which has no CP932 form either.
    const QString unicode = QString::fromUtf8(name);
    Cp932::Encoded encoded = Cp932::fromUnicode(unicode);
    if (hasCp932Form)
        *hasCp932Form = encoded.ok;
    return encoded.ok ? std::move(encoded.bytes) : fromNative(unicode);
}

} // namespace SharePath
