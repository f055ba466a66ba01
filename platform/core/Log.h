#pragma once
// Log categories of the platform layer ("yunjan.platform") and of the windows
// ("yunjan.ui"). The store and the rich-text engine have their own.

#include <QLoggingCategory>

namespace platform {
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
Q_DECLARE_LOGGING_CATEGORY(lcUi)
}  // namespace platform
