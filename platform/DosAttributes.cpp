#include "platform/DosAttributes.h"

namespace DosAttributes {

namespace {

// Samba's "valid" flag for the attribute field of versions 3 to 5.
constexpr quint32 validAttrib = 0x1;

quint32 readLe32(const QByteArray& bytes, qsizetype at)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | quint8(bytes.at(at + i));
    return v;
}

quint16 readLe16(const QByteArray& bytes, qsizetype at)
{
    return quint16(quint8(bytes.at(at)) | (quint8(bytes.at(at + 1)) << 8));
}

void putLe32(QByteArray& bytes, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((v >> (8 * i)) & 0xFF);
}

void appendLe16(QByteArray& bytes, quint16 v)
{
    bytes.append(char(v & 0xFF));
    bytes.append(char(v >> 8));
}

void padTo(QByteArray& bytes, int alignment)
{
    while (bytes.size() % alignment != 0)
        bytes.append('\0');
}

std::optional<quint32> parseHex(const QByteArray& text)
{
    QByteArray digits = text;
    if (digits.startsWith("0x") || digits.startsWith("0X"))
        digits = digits.mid(2);
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    bool ok = false;
    const quint32 v = digits.toUInt(&ok, 16);
    return ok ? std::optional<quint32>(v) : std::nullopt;
}

// One decoded value: the version and the bytes of its info structure, where the attribute
// bits sit at `attribAt`. Version 0xFFFF stands for the bare hex text of old Samba.
struct SambaValue
{
    quint16 version = 0xFFFF;
    QByteArray info;
    qsizetype attribAt = 0;
    quint32 attrib = 0;
};

// NDR lays the info out after the hex text and its NUL, the version (aligned to two bytes),
// the union's switch value (a repeat of the version) and an alignment to four bytes.
std::optional<SambaValue> decode(const QByteArray& value)
{
    const qsizetype nul = value.indexOf('\0');
    if (nul < 0 || nul + 1 >= value.size()) {
        const std::optional<quint32> attrib = parseHex(value.left(nul < 0 ? value.size() : nul));
        if (!attrib)
            return std::nullopt;
        return SambaValue{0xFFFF, {}, 0, *attrib};
    }
    qsizetype at = nul + 1;
    at += at % 2;
    if (at + 4 > value.size())
        return std::nullopt;
    const quint16 version = readLe16(value, at);
    if (readLe16(value, at + 2) != version)
        return std::nullopt;
    at = (at + 4 + 3) / 4 * 4;
    const QByteArray info = value.mid(at);

    qsizetype size = 0;
    qsizetype attribAt = 4;
    switch (version) {
    case 1: // attrib, ea_size, size, alloc_size, create_time, change_time
        size = 40;
        attribAt = 0;
        break;
    case 2: { // flags, attrib, ea_size, size, alloc_size, three times, then a NUL-terminated name
        const qsizetype end = info.indexOf('\0', 52);
        if (end < 0)
            return std::nullopt;
        size = end + 1;
        break;
    }
    case 3: // valid_flags, attrib, ea_size, size, alloc_size, create_time, change_time
        size = 44;
        break;
    case 4: // valid_flags, attrib, itime, create_time
        size = 24;
        break;
    case 5: // valid_flags, attrib, create_time
        size = 16;
        break;
    default:
        return std::nullopt;
    }
    if (info.size() < size)
        return std::nullopt;
    return SambaValue{version, info.left(size), attribAt, readLe32(info, attribAt)};
}

QByteArray encode(const SambaValue& v)
{
    // Versions 1 to 3 repeat the bits as hex text for readers older than the NDR form.
    QByteArray out = v.version <= 3 ? "0x" + QByteArray::number(v.attrib, 16) : QByteArray();
    out.append('\0');
    padTo(out, 2);
    appendLe16(out, v.version);
    appendLe16(out, v.version);
    padTo(out, 4);
    out.append(v.info);
    return out;
}

} // namespace

std::optional<quint32> ParseSambaDosAttrib(const QByteArray& value)
{
    const std::optional<SambaValue> v = decode(value);
    return v ? std::optional<quint32>(v->attrib) : std::nullopt;
}

QByteArray FormatSambaDosAttrib(quint32 attrib, const QByteArray& previous)
{
    std::optional<SambaValue> v = previous.isEmpty() ? std::nullopt : decode(previous);
    if (!v || v->version == 0xFFFF) {
        v = SambaValue{3, QByteArray(44, '\0'), 4, 0};
        putLe32(v->info, 0, validAttrib);
    }
    v->attrib = attrib;
    putLe32(v->info, v->attribAt, attrib);
    if (v->version >= 3)
        putLe32(v->info, 0, readLe32(v->info, 0) | validAttrib);
    return encode(*v);
}

} // namespace DosAttributes
