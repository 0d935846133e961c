#include "store/DefaultValueFile.h"

#include "platform/FileText.h"
#include "platform/SjisText.h"
#include "store/MemoFiles.h"

namespace DefaultValueFile {

namespace {

QByteArray quoted(const QByteArray& value)
{
    return '"' + value + '"';
}

// A status mark is a whole decimal number or nothing.
qint32 statusMark(const QByteArray& text)
{
    bool ok = false;
    const qint32 value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace

bool WriteDefaultValue(const QByteArray& path, const TVurnaDefaultValue& value)
{
    const QByteArray text = quoted(value.ReturnTime) + "\r\n" + quoted(QByteArray::number(value.StatusMark)) + "\r\n" +
                            quoted(value.Locate);
    return WriteFileText(path, text);
}

TVurnaDefaultValue ParseDefaultValue(const QByteArray& text)
{
    TVurnaDefaultValue result;
    QByteArray value;
    bool open = false;
    int count = 0;
    for (const QByteArray& line : MemoFiles::splitLines(text)) {
        if (!value.isEmpty())
            value += "\r\n";
        value += line;
        bool complete = false;
        if (value.size() > 1 && value.startsWith('"') && value.endsWith('"'))
            complete = true;
        else if (value.startsWith('"') && !open)
            open = true;
        else
            complete = open && value.endsWith('"');
        if (!complete)
            continue;
        open = false;
        const QByteArray inner = SjisText::trim(value.mid(1, value.size() - 2));
        ++count;
        if (count == 1)
            result.ReturnTime = inner;
        else if (count == 2)
            result.StatusMark = statusMark(inner);
        else if (count == 3)
            result.Locate = inner;
        else
            break;
        value.clear();
    }
    return result;
}

TVurnaDefaultValue ReadDefaultValue(const QByteArray& path)
{
    return ParseDefaultValue(ReadFileText(path));
}

} // namespace DefaultValueFile
