#include "platform/ErrorReport.h"

#include "platform/Prompt.h"
#include "platform/core/Log.h"

namespace platform {

void logCause(const QString& shown, const QString& cause) {
    if (cause.isEmpty())
        qCWarning(lcUi).noquote() << shown;
    else
        qCWarning(lcUi).noquote() << shown << "--" << cause;
}

void reportError(QWidget* owner, const QString& text, const QString& detail) {
    logCause(text, detail);
    prompt().errorReport(owner, text, detail);
}

}  // namespace platform
