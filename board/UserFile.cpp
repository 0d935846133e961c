#include "board/UserFile.h"

#include "platform/Cp932.h"
#include "platform/KanaWidth.h"
#include "platform/SjisText.h"

#include <QByteArrayView>
#include <QHash>
#include <QMutex>

#include <array>
#include <limits>

namespace {

constexpr int valueCount = 12;

QByteArray* fieldFor(TVurnaDataRec& r, int n)
{
    switch (n) {
    case 1:
        return &r.Furigana;
    case 2:
        return &r.Name;
    case 3:
        return &r.Group;
    case 4:
        return &r.InnerLine;
    case 5:
        return &r.Locate;
    case 6:
        return &r.Date;
    case 7:
        return &r.Time;
    case 8:
        return &r.WarningCall;
    case 9:
        return &r.IP;
    case 12:
        return &r.SortPrefix;
    default:
        return nullptr;
    }
}

void storeValue(TVurnaDataRec& r, int n, const QByteArray& value)
{
    if (n == 10)
        r.StatusIndex = ParseWholeNumber(value);
    else if (n == 11)
        r.DefaultOnExit = ParseWholeNumber(value);
    else if (n == 3)
        r.Group = NormaliseGroup(value);
    else if (QByteArray* field = fieldFor(r, n))
        *field = value;
}

// The next line of `text` from `pos` as a text control splits lines: CR LF, CR or LF end a
// line, and a break at the very end does not start another line. Moves `pos` past the break.
QByteArrayView nextLine(const QByteArray& text, qsizetype& pos)
{
    const qsizetype start = pos;
    qsizetype i = start;
    while (i < text.size() && text.at(i) != '\r' && text.at(i) != '\n')
        ++i;
    const QByteArrayView line(text.constData() + start, i - start);
    if (i < text.size()) {
        if (text.at(i) == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n')
            ++i;
        ++i;
    }
    pos = i;
    return line;
}

QByteArray mapGroup(const QByteArray& group)
{
    const QByteArray mapped = KanaWidth::toFullwidthUpper(SjisText::upperCase(SjisText::trim(group)));
    if (mapped.isEmpty()) {
        static const QByteArray unset = Cp932::fromUnicodeLossy(QStringLiteral("未設定"));
        return unset;
    }
    return mapped;
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

qint32 ParseWholeNumber(const QByteArray& text)
{
    const QByteArray t = SjisText::trim(text);
    qsizetype i = (!t.isEmpty() && (t.front() == '+' || t.front() == '-')) ? 1 : 0;
    if (i >= t.size())
        return 0;
    for (; i < t.size(); ++i) {
        if (t.at(i) < '0' || t.at(i) > '9')
            return 0;
    }
    return ParseDecimal(t);
}

QByteArray NormaliseGroup(const QByteArray& group)
{
    // A board has a handful of groups and thousands of members; the locale mapping is far
    // dearer than a lookup, so what was mapped is remembered. The readers of a full load share
    // it: a per-thread cache (thread_local with a destructor) corrupts the heap when a thread
    // ends on Windows builds made with mingw-w64.
    static QMutex mutex;
    static QHash<QByteArray, QByteArray> known;
    {
        const QMutexLocker lock(&mutex);
        const auto found = known.constFind(group);
        if (found != known.constEnd())
            return *found;
    }
    const QByteArray mapped = mapGroup(group);
    const QMutexLocker lock(&mutex);
    if (known.size() > 4096)
        known.clear();
    known.insert(group, mapped);
    return mapped;
}

void ParseUserFile(const QByteArray& text, TVurnaDataRec& record)
{
    // The buffer gathers the lines of a value that spans several; a value on one line (the
    // usual case) is taken straight from the text without gathering.
    QByteArray buffer;
    bool inside = false;
    int n = 1;
    qsizetype pos = 0;
    while (pos < text.size() && n <= valueCount) {
        const QByteArrayView line = nextLine(text, pos);
        QByteArrayView value;
        if (buffer.isEmpty()) {
            if (line.isEmpty())
                continue;
            value = line;
        } else {
            buffer += "\r\n";
            buffer += line;
            value = buffer;
        }
        const bool complete =
            (value.size() > 1 && value.front() == '"' && value.back() == '"') || (inside && value.back() == '"');
        if (!complete) {
            if (value.front() == '"' && !inside)
                inside = true;
            if (buffer.isEmpty())
                buffer = line.toByteArray();
            continue;
        }
        inside = false;
        storeValue(record, n, SjisText::trim(value.sliced(1, value.size() - 2).toByteArray()));
        buffer.clear();
        ++n;
    }
}

QByteArray BuildUserFileText(const TVurnaDataRec& r)
{
    const std::array<QByteArray, valueCount> values = {r.Furigana,
                                                       r.Name,
                                                       r.Group,
                                                       r.InnerLine,
                                                       r.Locate,
                                                       r.Date,
                                                       r.Time,
                                                       r.WarningCall,
                                                       r.IP,
                                                       QByteArray::number(r.StatusIndex),
                                                       QByteArray::number(r.DefaultOnExit),
                                                       r.SortPrefix};
    QByteArray text;
    for (const QByteArray& v : values) {
        if (!text.isEmpty())
            text += "\r\n";
        text += '"' + v + '"';
    }
    return text;
}
