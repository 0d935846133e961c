#include "board/ChangeStamp.h"

#include "board/UserFile.h"
#include "platform/SjisText.h"

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

} // namespace ChangeStamp
