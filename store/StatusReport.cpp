#include "store/StatusReport.h"

#include "store/StatusSink.h"

void ReportStatus(StatusSink& sink, const QString& message, int severity)
{
    switch (severity) {
    case Severity::Information:
        sink.setStatusText(message);
        break;
    case Severity::Warning:
        sink.setStatusText(QStringLiteral("【警告】") + message);
        break;
    case Severity::Fault:
        sink.setStatusText(QStringLiteral("【障害】") + message);
        break;
    default:
        break;
    }
}
