#pragma once
// Reporting a failure to the user: the Chinese text in the general error
// report, the technical cause as its detail, and both in the log.

#include <QString>

class QWidget;

namespace platform {

// Logs the failure, then shows the general error report.
void reportError(QWidget* owner, const QString& text, const QString& detail = QString());
// For a handler that shows its own fixed message: logs what the user was
// told and the technical cause behind it.
void logCause(const QString& shown, const QString& cause);

}  // namespace platform
