#include "store/SiteConfigLine.h"

#include "platform/SjisText.h"

namespace SiteConfigLine {
namespace {

// Value text that starts at `start`: a quoted run, or a run up to the first separator.
QByteArray valueAt(const QByteArray& line, qsizetype start)
{
    if (start >= line.size())
        return {};
    if (line.at(start) == '"') {
        const qsizetype close = SjisText::indexOf(line, "\"", start + 1);
        return close < 0 ? QByteArray() : line.mid(start + 1, close - start - 1);
    }
    // Control characters end a value as a blank does, so a stray carriage return (a file
    // saved with bare CR line ends reads as one line) never runs one directive's value into
    // the next directive.
    qsizetype end = start;
    while (end < line.size()) {
        const auto c = static_cast<unsigned char>(line.at(end));
        if (c == ',' || c <= 0x20)
            break;
        end = SjisText::nextCharIndex(line, end);
    }
    return line.mid(start, end - start);
}

bool allDigits(const QByteArray& text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

QList<QByteArray> SplitLines(const QByteArray& text)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype lf = text.indexOf('\n', start);
        const qsizetype next = lf < 0 ? text.size() : lf + 1;
        qsizetype end = lf < 0 ? text.size() : lf;
        if (end > start && text.at(end - 1) == '\r')
            --end;
        lines.append(text.mid(start, end - start));
        start = next;
    }
    return lines;
}

QByteArray PrepareLine(const QByteArray& line)
{
    const qsizetype quote = SjisText::indexOf(line, "'");
    return SjisText::trim(quote < 0 ? line : line.left(quote));
}

QByteArray TakeValue(const QByteArray& line, const QByteArray& key)
{
    // Upper-casing keeps every byte where it was, so a position in the upper-cased line is
    // the same position in the line as written.
    const qsizetype at = SjisText::indexOf(SjisText::upperCase(line), SjisText::upperCase(key));
    if (at < 0)
        return {};
    return valueAt(line, at + key.size());
}

QByteArray ValueAfterFirstComma(const QByteArray& line)
{
    const qsizetype comma = SjisText::indexOf(line, ",");
    if (comma < 0)
        return {};
    // "2004/05/01, 出勤日" is written often enough that a blank after the comma is allowed.
    qsizetype start = comma + 1;
    while (start < line.size() && (line.at(start) == ' ' || line.at(start) == '\t'))
        ++start;
    return valueAt(line, start);
}

bool Contains(const QByteArray& upperLine, const QByteArray& word)
{
    return SjisText::indexOf(upperLine, word) >= 0;
}

std::optional<qint32> ParseInteger(const QByteArray& text)
{
    QByteArray digits = text;
    bool negative = false;
    if (!digits.isEmpty() && (digits.at(0) == '+' || digits.at(0) == '-')) {
        negative = digits.at(0) == '-';
        digits = digits.mid(1);
    }
    if (!allDigits(digits) || digits.size() > 10)
        return std::nullopt;
    const qint64 magnitude = digits.toLongLong();
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return qint32(value);
}

} // namespace SiteConfigLine
