#pragma once

#include <QString>

class StatusSink;

// Severity of a status report.
namespace Severity {
constexpr int Information = 0;
constexpr int Warning = 1;
constexpr int Fault = 2;
} // namespace Severity

// Puts `message` into the status panel: bare for information, after "【警告】" for a warning,
// after "【障害】" for a fault. Any other severity leaves the panel as it is.
void ReportStatus(StatusSink& sink, const QString& message, int severity);
