#include "store/VurnaLog.h"

#include "platform/LogCategories.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QFile>

namespace VurnaLog {
namespace {

// A column of exactly `width` bytes. Cutting by bytes could leave the lead byte of a pair
// at the end, which would swallow the separating blank when the file is shown; the column
// is padded instead so the message keeps its place.
QByteArray column(const QByteArray& text, qsizetype width)
{
    return SjisText::leftBytes(text, width).leftJustified(width, ' ');
}

void append(const QByteArray& logPath, const QByteArray& line)
{
    // Appending (rather than rewriting the whole file) keeps entries that other PCs add at
    // the same moment.
    QFile file(SharePath::resolve(logPath));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qCDebug(lcFiles) << "log entry dropped" << file.fileName() << file.errorString();
        return;
    }
    if (file.write(line) != line.size())
        qCDebug(lcFiles) << "log entry incomplete" << file.fileName() << file.errorString();
}

} // namespace

QByteArray FormatLine(const QDateTime& at, const QByteArray& kind, const QByteArray& member, const QByteArray& message)
{
    const QByteArray stamp = at.toString(QStringLiteral("yy/MM/dd HH:mm:ss")).toLatin1();
    return stamp + ' ' + column(kind, 8) + ' ' + column(member, 10) + ' ' + message;
}

void WriteLogEntry(const QByteArray& logPath, const QByteArray& member, const QByteArray& message,
                   const QByteArray& kind, const QDateTime& at, const Appender& appender)
{
    QByteArray line = FormatLine(at, kind, member, message) + "\r\n";
    if (!appender)
        return append(logPath, line);
    appender([logPath, line = std::move(line)] { append(logPath, line); });
}

} // namespace VurnaLog
