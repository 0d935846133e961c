#include "board/Datagram.h"

#include "platform/SharePath.h"
#include "platform/SjisText.h"

namespace Datagram {
namespace {

// Every path separator at a character start replaced; a trail byte 5C stays.
QByteArray replaceSeparator(const QByteArray& path, char from, char to)
{
    QByteArray out = path;
    for (qsizetype i = 0; i < out.size(); i = SjisText::nextCharIndex(out, i)) {
        if (out.at(i) == from)
            out[i] = to;
    }
    return out;
}

// Where the value that starts at `from` ends. A key begins with 01, which is never the trail
// byte of a double-byte character, so every 01 starts a key: even a lone lead byte that a
// broken sender left at the end of a value cannot swallow the key that follows it.
qsizetype valueEnd(const QByteArray& text, qsizetype from)
{
    const qsizetype next = text.indexOf('\001', from);
    return next < 0 ? text.size() : next;
}

} // namespace

const char* KindName(Kind kind)
{
    switch (kind) {
    case Kind::Started:
        return "started";
    case Kind::Stopped:
        return "stopped";
    case Kind::Memo:
        return "memo";
    case Kind::Status:
        return "status";
    case Kind::Reload:
        return "reload";
    case Kind::Share:
        return "share";
    case Kind::End:
        return "end";
    case Kind::Unknown:
        break;
    }
    return "unknown";
}

Kind KindOf(const QByteArray& text)
{
    // The order matters only for keys that begin alike; it is the order other copies use.
    struct Rule
    {
        const char* key;
        Kind kind;
    };
    static constexpr Rule rules[] = {
        {KeyOn, Kind::Started}, {KeyOff, Kind::Stopped}, {KeyMsg, Kind::Memo}, {KeyDat, Kind::Status},
        {KeyRel, Kind::Reload}, {KeyShr, Kind::Share},   {KeyEnd, Kind::End},
    };
    for (const Rule& rule : rules) {
        if (text.startsWith(rule.key))
            return rule.kind;
    }
    return Kind::Unknown;
}

QByteArray Value(const QByteArray& text, const QByteArray& key)
{
    if (key.isEmpty())
        return {};
    // A match starts with 01 and so always on a character boundary (see valueEnd).
    const qsizetype at = text.indexOf(key);
    if (at < 0)
        return {};
    const qsizetype from = at + key.size();
    return text.mid(from, valueEnd(text, from) - from);
}

QByteArray WirePath(const QByteArray& path)
{
    return replaceSeparator(path, '/', '\\');
}

QByteArray NativePath(const QByteArray& path)
{
    return replaceSeparator(path, '\\', SharePath::nativeSeparator);
}

QByteArray StatusText(const QByteArray& path, const QByteArray& date, const QByteArray& time, qint32 statusIndex,
                      const QByteArray& locate)
{
    // Locate goes last: it is the only value that may hold line breaks.
    return KeyDat + WirePath(path) + KeyDate + date + KeyTime + time + KeyIcon + QByteArray::number(statusIndex) +
           KeyLocate + locate;
}

QByteArray StartedText(const QByteArray& path, const QByteArray& ownAddress)
{
    return KeyOn + WirePath(path) + KeyIP + ownAddress;
}

QByteArray StoppedText(const QByteArray& path)
{
    return KeyOff + WirePath(path);
}

QByteArray MemoDatagram(const QByteArray& path)
{
    return KeyMsg + WirePath(path) + KeyEod;
}

QByteArray ShareValue(const QByteArray& text)
{
    // The key, then one character of any kind, then the directory.
    const qsizetype from = qsizetype(sizeof(KeyShr) - 1) + 1;
    if (!text.startsWith(KeyShr) || text.size() <= from)
        return {};
    return SjisText::trim(text.mid(from, valueEnd(text, from) - from));
}

QByteArray BroadcastAddress(const QByteArray& address)
{
    const qsizetype dot = SjisText::lastIndexOfChar(address, '.');
    if (dot < 0)
        return address;
    return address.left(dot + 1) + "255";
}

} // namespace Datagram
