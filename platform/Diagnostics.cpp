#include "platform/Diagnostics.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

#include <cstdio>

namespace Diagnostics {
namespace {

void writeLine(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    QByteArray line;
    if (context.category && qstrcmp(context.category, "default") != 0)
        line = QByteArray(context.category) + ": ";
    line += message.toUtf8();
    line += '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace

void InstallFromEnvironment()
{
    const QByteArray rules = qgetenv("VURNA_DIAGNOSTICS");
    if (rules.isEmpty())
        return;
    QLoggingCategory::setFilterRules(QString::fromUtf8(rules).replace(QLatin1Char(';'), QLatin1Char('\n')));
    qInstallMessageHandler(writeLine);
}

} // namespace Diagnostics
