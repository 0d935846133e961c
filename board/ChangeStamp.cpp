#include "board/ChangeStamp.h"

#include "board/UserFile.h"
#include "platform/FileText.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <limits>

namespace ChangeStamp {

Content parse(const QByteArray& text)
{
    Content c;
    c.counter = ParseDecimal(text);
    const qsizetype lineEnd = text.indexOf("\r\n");
    if (lineEnd >= 0)
        c.name = SjisText::trim(text.mid(lineEnd + 2));
    return c;
}

QByteArray build(qint32 counter, const QByteArray& name)
{
    return QByteArray::number(counter) + "\r\n" + name + "\r\n";
}

qint32 Commit(const QByteArray& fileName)
{
    const QByteArray name = SjisText::trim(SjisText::fileNamePart(fileName));
    if (name.isEmpty())
        return 0;
    const QByteArray stampPath = SharePath::join(SjisText::directoryPart(fileName), ChangeStamp::fileName);
    const qint32 counter = parse(ReadFileText(stampPath)).counter;
    // Other copies only compare counters for equality, so wrapping round stays visible.
    const qint32 next = counter == std::numeric_limits<qint32>::max() || counter < 0 ? 1 : counter + 1;
    return WriteFileText(stampPath, build(next, name)) ? next : -1;
}

} // namespace ChangeStamp
