#pragma once
// The rich-text engine's log category ("yunjan.richtext").

#include <QLoggingCategory>

namespace richtext {
Q_DECLARE_LOGGING_CATEGORY(lcRichText)
}
