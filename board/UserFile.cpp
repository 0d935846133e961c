#include "board/UserFile.h"

#include "platform/Cp932.h"
#include "platform/KanaWidth.h"
#include "platform/SjisText.h"

#include <array>
#include <limits>

namespace {

constexpr int valueCount = 12;

QByteArray* fieldFor(TVurnaDataRec& r, int n)
{
    switch (n) {
    case 1: return &r.Furigana;
    case 2: return &r.Name;
    case 3: return &r.Group;
    case 4: return &r.InnerLine;
    case 5: return &r.Locate;
    case 6: return &r.Date;
    case 7: return &r.Time;
    case 8: return &r.WarningCall;
    case 9: return &r.IP;
    case 12: return &r.SortPrefix;
    default: return nullptr;
    }
}

void storeValue(TVurnaDataRec& r, int n, const QByteArray& value)
{
    if (n == 10)
        r.StatusIndex = ParseDecimal(value);
    else if (n == 11)
        r.DefaultOnExit = ParseDecimal(value);
    else if (n == 3)
        r.Group = NormaliseGroup(value);
    else if (QByteArray* field = fieldFor(r, n))
        *field = value;
}

// Lines as a text control would split them: CR LF, CR or LF end a line, and a break at the
// very end does not start another line.
QList<QByteArray> splitLines(const QByteArray& text)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

} // namespace

qint32 ParseDecimal(const QByteArray& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == '+' || text.at(i) == '-')) {
        negative = text.at(i) == '-';
        ++i;
    }
    qint64 value = 0;
    bool digits = false;
    for (; i < text.size() && text.at(i) >= '0' && text.at(i) <= '9'; ++i) {
        digits = true;
        value = value * 10 + (text.at(i) - '0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            return 0;
    }
    if (!digits)
        return 0;
    value = negative ? -value : value;
    if (value > std::numeric_limits<qint32>::max() || value < std::numeric_limits<qint32>::min())
        return 0;
    return qint32(value);
}

QByteArray NormaliseGroup(const QByteArray& group)
{
    const QByteArray mapped = KanaWidth::toFullwidthUpper(SjisText::upperCase(SjisText::trim(group)));
    if (mapped.isEmpty()) {
        static const QByteArray unset = Cp932::fromUnicodeLossy(QStringLiteral("未設定"));
        return unset;
    }
    return mapped;
}

void ParseUserFile(const QByteArray& text, TVurnaDataRec& record)
{
    QByteArray buffer;
    bool inside = false;
    int n = 1;
    for (const QByteArray& line : splitLines(text)) {
        if (!buffer.isEmpty())
            buffer += "\r\n";
        buffer += line;
        if (buffer.isEmpty())
            continue;
        const bool complete = (buffer.size() > 1 && buffer.front() == '"' && buffer.back() == '"') ||
                              (inside && buffer.back() == '"');
        if (!complete) {
            if (buffer.front() == '"' && !inside)
                inside = true;
            continue;
        }
        inside = false;
        storeValue(record, n, SjisText::trim(buffer.mid(1, buffer.size() - 2)));
        buffer.clear();
        if (++n > valueCount)
            break;
    }
}

QByteArray BuildUserFileText(const TVurnaDataRec& r)
{
    const std::array<QByteArray, valueCount> values = {
        r.Furigana, r.Name, r.Group, r.InnerLine, r.Locate, r.Date, r.Time, r.WarningCall, r.IP,
        QByteArray::number(r.StatusIndex), QByteArray::number(r.DefaultOnExit), r.SortPrefix};
    QByteArray text;
    for (const QByteArray& v : values) {
        if (!text.isEmpty())
            text += "\r\n";
        text += '"' + v + '"';
    }
    return text;
}
