#pragma once
// What the user is told about a failure: a Chinese text for the kind of
// failure, and the technical cause (the engine's text) as detail only.

#include <QString>
#include <exception>

#include "store/Engine.h"

namespace store {

struct ErrorText {
    QString text;    // shown to the user
    QString detail;  // the technical cause: logged, shown only as detail
};

// The Chinese text for a kind of failure.
QString userText(ErrorCode code);

// The report for a caught exception: a StoreError as the text for its code
// with the engine's text as detail; any other error with its own text.
ErrorText errorText(const std::exception& e);

// The technical cause of a caught exception, for the log: a StoreError's
// engine text and code, any other error's own text.
QString errorCause(const std::exception& e);

}  // namespace store
