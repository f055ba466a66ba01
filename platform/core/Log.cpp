#include "platform/core/Log.h"

namespace platform {
Q_LOGGING_CATEGORY(lcPlatform, "yunjan.platform")
Q_LOGGING_CATEGORY(lcUi, "yunjan.ui")
}  // namespace platform
