#include "SoakChecks.h"

#include "app/BoardDump.h"
#include "board/StatusText.h"
#include "board/UserFile.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileText.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace SoakChecks {

namespace {

// Real paths of the share's files by their lower-cased names.
QMap<QString, QString> shareFiles(const QString& shareReal)
{
    QMap<QString, QString> files;
    const QDir dir(shareReal);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        files.insert(info.fileName().toLower(), info.absoluteFilePath());
    return files;
}

QByteArray read(const QMap<QString, QString>& files, const QString& name)
{
    const QString real = files.value(name.toLower());
    return real.isEmpty() ? QByteArray() : ReadNativeFileText(real);
}

QByteArray unhex(const QString& field)
{
    return QByteArray::fromHex(field.chopped(1).toLatin1());
}

// The fields a dump line carries before the return text, from the member's files.
QStringList expectedFields(const QMap<QString, QString>& files, const QString& key, const QDateTime& now)
{
    TVurnaDataRec record;
    ParseUserFile(read(files, key + QStringLiteral(".vrn")), record);
    record.Running = !files.contains(key + QStringLiteral(".off"));
    QByteArray returnText;
    int code = 0;
    GetStatusText(record, now, returnText, code);
    return {key.toUpper(),
            QString::number(code),
            QString::number(record.Running ? 1 : 0),
            QString::number(record.StatusIndex),
            Cp932::toUnicode(record.Date),
            Cp932::toUnicode(record.Time),
            Cp932::toUnicode(record.Name),
            Cp932::toUnicode(record.Locate)};
}

} // namespace

QStringList StatusFilesParse(const QString& shareReal)
{
    QStringList wrong;
    const QMap<QString, QString> files = shareFiles(shareReal);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (!it.key().endsWith(QStringLiteral(".vrn")))
            continue;
        const QByteArray text = ReadNativeFileText(it.value());
        TVurnaDataRec record;
        ParseUserFile(text, record);
        if (text.isEmpty() || BuildUserFileText(record) != text)
            wrong.append(it.key() + QStringLiteral(" does not read back: ") + QString::fromLatin1(text.toHex()));
    }
    return wrong;
}

QStringList MemosStandOnce(const QString& shareReal, const QStringList& journal, const QStringList& tags)
{
    // Where each token stands: the member of every file it is found in, once per finding.
    QMap<QString, QStringList> found;
    QStringList alternatives;
    for (const QString& tag : tags)
        alternatives.append(QRegularExpression::escape(tag));
    const QRegularExpression token(QStringLiteral("(?:%1)-[0-9]+").arg(alternatives.join(QLatin1Char('|'))));
    const QMap<QString, QString> files = shareFiles(shareReal);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (!it.key().endsWith(QStringLiteral(".mil")) && !it.key().endsWith(QStringLiteral(".old")))
            continue;
        // Tokens are ASCII between blanks, so a Latin-1 view of the CP932 bytes finds them whole.
        const QString text = QString::fromLatin1(ReadNativeFileText(it.value()));
        for (auto match = token.globalMatch(text); match.hasNext();)
            found[match.next().captured()].append(it.key().section(QLatin1Char('.'), 0, 0).toUpper());
    }
    QStringList wrong;
    for (const QString& line : journal) {
        const QStringList parts = line.split(QLatin1Char(' '));
        if (parts.size() != 3 || (parts[0] != QStringLiteral("memo") && parts[0] != QStringLiteral("refused")))
            continue;
        const QStringList where = found.take(parts[2]);
        if (parts[0] == QStringLiteral("memo") && where != QStringList{parts[1]})
            wrong.append(QStringLiteral("memo %1 for %2 stands in [%3]").arg(parts[2], parts[1], where.join(u',')));
        if (parts[0] == QStringLiteral("refused") && !where.isEmpty())
            wrong.append(QStringLiteral("refused memo %1 stands in [%2]").arg(parts[2], where.join(u',')));
    }
    for (auto it = found.cbegin(); it != found.cend(); ++it)
        wrong.append(QStringLiteral("memo %1 nobody sent stands in [%2]").arg(it.key(), it.value().join(u',')));
    return wrong;
}

QStringList NoStrayFiles(const QString& shareReal)
{
    static const QRegularExpression own(
        QStringLiteral("^([a-z0-9]+\\.(vrn|off|mil|old|ftr|lst|def)|timestmp\\.dat|vurna\\.ini|vurna\\.log)$"));
    QStringList wrong;
    const QMap<QString, QString> files = shareFiles(shareReal);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (!own.match(it.key()).hasMatch() || QFileInfo(it.value()).isDir())
            wrong.append(QStringLiteral("stray entry in the share: ") + QFileInfo(it.value()).fileName());
    }
    return wrong;
}

QStringList DriverStatesKept(const QString& shareReal, const QStringList& journal)
{
    QStringList wrong;
    const QMap<QString, QString> files = shareFiles(shareReal);
    for (const QString& line : journal) {
        const QStringList parts = line.split(QLatin1Char(' '));
        if (parts.size() != 7 || parts[0] != QStringLiteral("final"))
            continue;
        const QString key = parts[1].toLower();
        TVurnaDataRec record;
        ParseUserFile(read(files, key + QStringLiteral(".vrn")), record);
        const bool running = !files.contains(key + QStringLiteral(".off"));
        if (running != (parts[2] == QStringLiteral("1")) || record.Locate != unhex(parts[3]) ||
            record.Date != unhex(parts[4]) || record.Time != unhex(parts[5]) ||
            QString::number(record.StatusIndex) != parts[6])
            wrong.append(QStringLiteral("%1: last write lost (wrote %2, file says running %3 %4 %5 %6 mark %7)")
                             .arg(key, line)
                             .arg(running)
                             .arg(QString::fromLatin1(record.Locate.toHex()), QString::fromLatin1(record.Date.toHex()),
                                  QString::fromLatin1(record.Time.toHex()))
                             .arg(record.StatusIndex));
    }
    return wrong;
}

QStringList BoardAgrees(const QString& shareReal, const QString& copy, const QStringList& dumpLines)
{
    const QMap<QString, QString> files = shareFiles(shareReal);
    const QDateTime now = SystemClock().now();
    QMap<QString, QStringList> expected;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.key().endsWith(QStringLiteral(".vrn")))
            expected.insert(it.key().chopped(4).toUpper(), expectedFields(files, it.key().chopped(4), now));
    }
    QStringList wrong;
    for (const QString& line : dumpLines) {
        QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() != 10) {
            wrong.append(copy + QStringLiteral(": unreadable dump line ") + line);
            continue;
        }
        fields = fields.mid(1, 8);
        for (QString& field : fields)
            field = BoardDump::UnescapeField(field);
        const QStringList want = expected.take(fields.at(0));
        if (want != fields)
            wrong.append(QStringLiteral("%1 shows [%2], the files say [%3]")
                             .arg(copy, fields.join(u'|'), want.join(u'|'))
                             .replace(QLatin1Char('\r'), QStringLiteral("\\r"))
                             .replace(QLatin1Char('\n'), QStringLiteral("\\n")));
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        wrong.append(QStringLiteral("%1 does not show %2").arg(copy, it.key()));
    return wrong;
}

} // namespace SoakChecks
