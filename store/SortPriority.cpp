#include "store/SortPriority.h"

#include "platform/SjisText.h"
#include "store/SiteConfigLine.h"

void ApplySortPriorityLine(const QByteArray& line, qint32& length)
{
    using namespace SiteConfigLine;
    if (SjisText::upperCase(TakeValue(line, "SORTPRIORITY=")) != "USE")
        return;
    length = 1;
    if (!Contains(SjisText::upperCase(line), "LENGTH"))
        return;
    const qint32 value = ParseInteger(TakeValue(line, "LENGTH=")).value_or(1);
    length = (value < 1 || value > 10) ? 1 : value;
}
