#include "store/ParcelPost.h"

#include "platform/Cp932.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

namespace ParcelPost {

namespace {

bool startsWithTag(const QByteArray& line, const char* tag)
{
    return line.startsWith(tag);
}

// Index of the last occurrence of `needle` on a character boundary; -1 when none.
qsizetype lastIndexOf(const QByteArray& text, const QByteArray& needle)
{
    qsizetype found = -1;
    for (qsizetype at = SjisText::indexOf(text, needle); at >= 0;
         at = SjisText::indexOf(text, needle, SjisText::nextCharIndex(text, at)))
        found = at;
    return found;
}

bool unsafeInFolderName(unsigned char c)
{
    return c < 0x20 || c == 0x7F || QByteArrayView("\\/:*?\"<>|").contains(char(c));
}

} // namespace

LineKind KindOf(const QByteArray& line)
{
    if (startsWithTag(line, fileTag))
        return LineKind::File;
    if (startsWithTag(line, memoTag))
        return LineKind::Memo;
    return LineKind::Other;
}

QByteArray FileLine(const QByteArray& source, const QByteArray& destination)
{
    return fileTag + source + toTag + destination;
}

QByteArray MemoLine(const QByteArray& recipient, const QByteArray& memo)
{
    return memoTag + recipient + textTag + memo;
}

std::optional<FileLineParts> ParseFileLine(const QByteArray& line)
{
    if (KindOf(line) != LineKind::File)
        return std::nullopt;
    const QByteArray rest = line.mid(3);
    const qsizetype to = lastIndexOf(rest, toTag);
    if (to < 0)
        return std::nullopt;
    return FileLineParts{rest.left(to), rest.mid(to + 3)};
}

std::optional<MemoLineParts> ParseMemoLine(const QByteArray& line)
{
    if (KindOf(line) != LineKind::Memo)
        return std::nullopt;
    const QByteArray rest = line.mid(3);
    const qsizetype text = SjisText::indexOf(rest, textTag);
    if (text < 0)
        return std::nullopt;
    return MemoLineParts{rest.left(text), SjisText::trim(rest.mid(text + 3))};
}

QByteArray SafeFolderName(const QByteArray& name)
{
    QByteArray safe = name;
    for (qsizetype i = 0; i < safe.size(); i = SjisText::nextCharIndex(safe, i)) {
        const auto c = static_cast<unsigned char>(safe.at(i));
        if (!SjisText::isLeadByte(c) && unsafeInFolderName(c))
            safe[i] = '_';
    }
    // Windows drops trailing dots and blanks, so "a." and "a" would be one folder there. Neither
    // byte can be the trail byte of a pair.
    for (qsizetype i = safe.size() - 1; i >= 0 && (safe.at(i) == '.' || safe.at(i) == ' '); --i)
        safe[i] = '_';
    return safe;
}

QByteArray BatchLabel(const QByteArray& senderName, const QDateTime& sentAt)
{
    static const QByteArray from = Cp932::fromUnicodeLossy(QStringLiteral("さんからのVurna便 "));
    const QString time = sentAt.toString(QStringLiteral("M'月'd'日' H'時'm'分's'秒'"));
    return SafeFolderName(senderName) + from + Cp932::fromUnicodeLossy(time);
}

QList<QByteArray> BuildSendList(const QByteArray& batchLabel, const QList<QByteArray>& recipients,
                                const QList<QByteArray>& droppedItems, const QByteArray& memo)
{
    QList<QByteArray> lines;
    const QByteArray trimmed = SjisText::trim(memo);
    for (const QByteArray& recipient : recipients) {
        const QByteArray destination = SharePath::withSeparator(SharePath::join(InboxPath(recipient), batchLabel));
        for (const QByteArray& item : droppedItems)
            lines.append(FileLine(item, destination));
        lines.append(MemoLine(recipient, trimmed));
    }
    return lines;
}

QByteArray InboxPath(const QByteArray& recipient)
{
    return SharePath::withSeparator(recipient);
}

} // namespace ParcelPost
