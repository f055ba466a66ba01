#include "richtext/Log.h"

namespace richtext {
Q_LOGGING_CATEGORY(lcRichText, "yunjan.richtext")
}
