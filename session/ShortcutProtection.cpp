#include "session/ShortcutProtection.h"

#include "platform/SjisText.h"

namespace {

QByteArray comparable(const QByteArray& folder)
{
    QByteArray result = SjisText::upperCase(SjisText::trim(folder));
    // Separators: '\' only where it is not the trail byte of a double-byte character.
    QByteArray unified;
    for (qsizetype i = 0; i < result.size();) {
        const qsizetype next = SjisText::nextCharIndex(result, i);
        if (next - i == 1 && result.at(i) == '\\')
            unified += '/';
        else
            unified += result.mid(i, next - i);
        i = next;
    }
    while (unified.endsWith('/'))
        unified.chop(1);
    return unified + '/';
}

} // namespace

bool IsRunFromShare(const QByteArray& programFolder, const QByteArray& shareDir)
{
    if (SjisText::trim(shareDir).isEmpty() || SjisText::trim(programFolder).isEmpty())
        return false;
    return comparable(programFolder) == comparable(shareDir);
}
