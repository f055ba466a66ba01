#pragma once
// The store's log category ("yunjan.store").

#include <QLoggingCategory>

namespace store {
Q_DECLARE_LOGGING_CATEGORY(lcStore)
}
