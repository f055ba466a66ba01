#pragma once
// Text changes the editor's commands make in the pane, under the pane's rule
// for protected text.

#include <QString>

namespace richtext {
class RichEditCtrl;
}

namespace editorpane {

// Whether replacing [start, end) (an insertion when start == end) may go
// ahead: true unless it touches protected text and the pane's owner, asked
// through the pane's protectedChange notification, refuses.
bool mayReplace(richtext::RichEditCtrl* pane, int start, int end);

// Replaces the selection by text and selects the inserted text; false (and
// nothing changed) when protected text refuses it.
bool replaceSelection(richtext::RichEditCtrl* pane, const QString& text);

// Inserts text in place of the selection as if it was typed (an undo step of
// the kind "typing"); protected text refuses it as it refuses typing.
void typeText(richtext::RichEditCtrl* pane, const QString& text);

}  // namespace editorpane
