#pragma once
// Small pictures of the editor's tool buttons and menu items, drawn at run
// time so that they look the same on every desktop.

#include <QIcon>
#include <QString>

namespace editoricons {

// The picture of a command by its tool-bar name ("cut", "copy", "paste",
// "pasteweb", "undo", "redo", "selectall", "delete", "find", "replace",
// "picture", "object", "bold", "italic", "underline", "textcolor",
// "backcolor", "left", "center", "right", "bullets", "superscript",
// "subscript", "font", "paragraph"); a null icon for unknown names.
QIcon icon(const QString& name);

}  // namespace editoricons
