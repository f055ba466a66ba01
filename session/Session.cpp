#include "session/Session.h"

namespace session {

QString editorModeName(EditorMode mode) {
    return mode == EditorMode::Add ? QStringLiteral("add") : QStringLiteral("modify");
}

Session::Session() : store_(std::make_unique<store::ArticleStore>()) {}

Session::~Session() = default;

bool Session::workbook(int position, QString* table, platform::ColorCode* color) const {
    if (position < 0 || position > 3) return false;
    if (table) *table = store::workbookTable(position);
    if (color) *color = workbookColors[position];
    return true;
}

}  // namespace session
