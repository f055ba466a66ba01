#include "editor/EditorCommands.h"

#include <QAction>
#include <QMenu>

#include "editor/FindReplace.h"

EditorCommands::EditorCommands(QMainWindow* window, richtext::RichEditCtrl* pane,
                               QStatusBar* status)
    : window_(window), pane_(pane), status_(status) {}
EditorCommands::~EditorCommands() = default;
void EditorCommands::install(QMenuBar*, QToolBar*, QToolBar*) {}
void EditorCommands::SelectionChange() {}
void EditorCommands::UpdateCaretStatus() {}
void EditorCommands::RichEditChange() {}
void EditorCommands::UpdatePasteCommands() {}
QMenu* EditorCommands::fieldMenu() { return fieldMenu_; }
QAction* EditorCommands::action(const QString& objectName) const {
    return actions_.value(objectName);
}
void EditorCommands::setAllowProtectedChange(bool on) { allowProtectedChange_ = on; }
void EditorCommands::setFields(QLineEdit* title, QComboBox* category) {
    title_ = title;
    category_ = category;
}
bool EditorCommands::eventFilter(QObject* watched, QEvent* e) {
    return QObject::eventFilter(watched, e);
}
