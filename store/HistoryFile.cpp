#include "store/HistoryFile.h"

#include "platform/LogCategories.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"
#include "store/MemoFiles.h"

namespace HistoryFile {
namespace {

// The line with its letters in upper case, full-width ones too: "mtg", "MTG" and "ＭＴＧ" typed with the input
// method on or off are the same reason, so the history does not fill with spellings of one word.
QByteArray caseKey(const QByteArray& line)
{
    QByteArray key = line;
    for (qsizetype i = 0; i < key.size(); i = SjisText::nextCharIndex(key, i)) {
        const auto c = static_cast<unsigned char>(key.at(i));
        if (c >= 'a' && c <= 'z') {
            key[i] = char(c - 'a' + 'A');
        } else if (c == 0x82 && i + 1 < key.size()) {
            const auto trail = static_cast<unsigned char>(key.at(i + 1));
            if (trail >= 0x81 && trail <= 0x9A) // ａ-ｚ; Ａ-Ｚ are 82 60-82 79
                key[i + 1] = char(trail - 0x21);
        }
    }
    return key;
}

} // namespace

QByteArray Path(const QByteArray& memberPath)
{
    return memberPath + ".lst";
}

Lines Read(const QByteArray& memberPath, const RetryPolicy& policy)
{
    bool ok = true;
    const QByteArray text = ReadFileTextChecked(Path(memberPath), policy, &ok);
    return {MemoFiles::splitLines(text), ok};
}

bool Write(const QByteArray& memberPath, const QByteArray& text, const RetryPolicy& policy)
{
    return WriteFileText(Path(memberPath), text, policy);
}

QByteArray MergeHistory(const QByteArray& oldText, const QByteArray& newText, int limit)
{
    const QList<QByteArray> newLines = MemoFiles::splitLines(newText);
    QList<QByteArray> oldLines = MemoFiles::splitLines(oldText);
    QList<QByteArray> oldKeys;
    for (const QByteArray& line : std::as_const(oldLines))
        oldKeys.append(caseKey(line));
    for (const QByteArray& line : newLines) {
        const qsizetype at = oldKeys.indexOf(caseKey(line));
        if (at >= 0) {
            oldLines.removeAt(at);
            oldKeys.removeAt(at);
        }
    }

    const QList<QByteArray> merged = newLines + oldLines;
    QByteArray result;
    for (qsizetype p = 0; p < merged.size(); ++p) {
        if (SjisText::trim(merged.at(p)).isEmpty())
            continue;
        if (!result.isEmpty())
            result += "\r\n";
        result += merged.at(p);
        if (p >= limit)
            break;
    }
    return result;
}

int AddToMembers(const QList<QByteArray>& memberPaths, const QByteArray& newText, const RetryPolicy& policy)
{
    int failures = 0;
    for (const QByteArray& member : memberPaths) {
        bool ok = true;
        const QByteArray old = ReadFileTextChecked(Path(member), policy, &ok);
        if (!ok) {
            qCWarning(lcFiles) << "absence history could not be read; left as it is"
                               << SharePath::resolve(Path(member));
            ++failures;
            continue;
        }
        if (!Write(member, MergeHistory(old, newText, MaxLines - 1), policy))
            ++failures;
    }
    return failures;
}

} // namespace HistoryFile
