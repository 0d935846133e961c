#include "platform/SjisText.h"

#include <algorithm>
#include <cstring>

namespace SjisText {
namespace {

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Index just past the last path separator, lead-byte aware; 0 when there is none.
qsizetype afterLastSeparator(const QByteArray& text)
{
    qsizetype after = 0;
    for (qsizetype i = 0; i < text.size(); i = nextCharIndex(text, i)) {
        if (isSeparator(text.at(i)))
            after = i + 1;
    }
    return after;
}

} // namespace

qsizetype nextCharIndex(const QByteArray& text, qsizetype i)
{
    // A lead byte pairs only with a byte that can follow it: a stray lead byte before a line
    // break or a blank must not swallow it, or a reader would run two lines or values into one
    // and a rewrite would change bytes it never understood.
    if (isLeadByte(static_cast<unsigned char>(text.at(i))) && i + 1 < text.size()) {
        const auto trail = static_cast<unsigned char>(text.at(i + 1));
        if ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC))
            return i + 2;
    }
    return i + 1;
}

QByteArray upperCase(const QByteArray& text)
{
    QByteArray out = text;
    for (qsizetype i = 0; i < out.size();) {
        const char c = out.at(i);
        if (c >= 'a' && c <= 'z')
            out[i] = char(c - 'a' + 'A');
        i = nextCharIndex(out, i);
    }
    return out;
}

QByteArray trim(const QByteArray& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && static_cast<unsigned char>(text.at(begin)) <= 0x20)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text.at(end - 1)) <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

qsizetype lastIndexOfChar(const QByteArray& text, char ch)
{
    qsizetype found = -1;
    for (qsizetype i = 0; i < text.size(); i = nextCharIndex(text, i)) {
        if (text.at(i) == ch)
            found = i;
    }
    return found;
}

qsizetype indexOf(const QByteArray& text, const QByteArray& needle, qsizetype from)
{
    if (needle.isEmpty())
        return from <= text.size() ? from : -1;
    for (qsizetype i = std::max<qsizetype>(from, 0); i + needle.size() <= text.size(); i = nextCharIndex(text, i)) {
        if (std::memcmp(text.constData() + i, needle.constData(), size_t(needle.size())) == 0)
            return i;
    }
    return -1;
}

QByteArray fileNamePart(const QByteArray& text)
{
    return text.mid(afterLastSeparator(text));
}

QByteArrayView fileNamePartView(const QByteArray& text)
{
    return QByteArrayView(text).sliced(afterLastSeparator(text));
}

QByteArray directoryPart(const QByteArray& text)
{
    return text.left(afterLastSeparator(text));
}

QByteArray baseName(const QByteArray& text)
{
    const QByteArray name = fileNamePart(text);
    const qsizetype dot = lastIndexOfChar(name, '.');
    return dot < 0 ? name : name.left(dot);
}

QByteArray leftBytes(const QByteArray& text, qsizetype maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    qsizetype cut = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype next = nextCharIndex(text, i);
        if (next > maxBytes)
            break;
        cut = next;
        i = next;
    }
    return text.left(cut);
}

int compareBytes(const QByteArray& a, const QByteArray& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const int c = n > 0 ? std::memcmp(a.constData(), b.constData(), size_t(n)) : 0;
    if (c != 0)
        return c < 0 ? -1 : 1;
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace SjisText
