#include "store/MemberList.h"

#include "platform/SjisText.h"

namespace MemberList {

QByteArray Normalise(const QByteArray& list)
{
    QByteArray text = SjisText::trim(list);
    if (text.isEmpty())
        return {};
    if (!text.startsWith(','))
        text.prepend(',');
    if (!text.endsWith(','))
        text.append(',');
    if (text == "," || text == ",,")
        return {};
    return text;
}

bool Contains(const QByteArray& list, const QByteArray& key)
{
    if (key.isEmpty())
        return false;
    return SjisText::indexOf(',' + list, ',' + key + ',') >= 0;
}

QByteArray StripOuterCommas(const QByteArray& text)
{
    // A comma is never the trail byte of a pair, so the ends can be checked byte-wise.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == ',')
        ++begin;
    while (end > begin && text.at(end - 1) == ',')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace MemberList
