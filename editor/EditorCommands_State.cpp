// Keeping the commands in step with the pane (selection, caret, undo and
// redo, clipboard) and the editing commands (clipboard, undo, delete, keys).
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontComboBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QSpinBox>
#include <QTextCursor>
#include <QTextImageFormat>

#include "editor/EditorCommands.h"
#include "editor/PaneEdit.h"
#include "platform/Prompt.h"

namespace {

// Restores a boolean when leaving a scope, also by an exception.
class FlagGuard {
  public:
    explicit FlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = old_; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

  private:
    bool& flag_;
    bool old_;
};

}  // namespace

QString EditorCommands::undoKindName(richtext::UndoKind k) {
    switch (k) {
        case richtext::UndoKind::Typing:
            return QStringLiteral("typing");
        case richtext::UndoKind::Delete:
            return QStringLiteral("delete");
        case richtext::UndoKind::DragDrop:
            return QStringLiteral("drag and drop");
        case richtext::UndoKind::Cut:
            return QStringLiteral("cut");
        case richtext::UndoKind::Paste:
            return QStringLiteral("paste");
        case richtext::UndoKind::Unknown:
            break;
    }
    return {};
}

richtext::CharAttributes EditorCommands::currentTextAttributes() const {
    if (pane_->selLength() > 0) return pane_->selAttributes();
    return pane_->wordAttributes();
}

void EditorCommands::setCurrentTextAttributes(const richtext::CharAttributes& a, int mask) {
    if (pane_->selLength() > 0)
        pane_->setSelAttributes(a, mask);
    else
        pane_->setWordAttributes(a, mask);
}

void EditorCommands::SelectionChange() {
    if (!pane_) return;
    FlagGuard guard(updating_);
    const richtext::CharAttributes a = currentTextAttributes();
    const richtext::ParaAttributes p = pane_->paraAttributes();
    action("FormatBold")->setChecked(a.style & richtext::StyleBold);
    action("FormatItalic")->setChecked(a.style & richtext::StyleItalic);
    action("FormatUnderline")->setChecked(a.style & richtext::StyleUnderline);
    action("FormatBullets")->setChecked(p.bullets);
    action("FormatSuperscript")->setChecked(a.script == richtext::Script::Superscript);
    action("FormatSubscript")->setChecked(a.script == richtext::Script::Subscript);
    if (fontSize_) fontSize_->setValue(a.size);
    if (fontName_) fontName_->setEditText(a.face);
    action("FormatProtected")->setChecked(a.isProtected);
    action("FormatDisabled")->setChecked(a.disabled);
    action("FormatHidden")->setChecked(a.hidden);
    // Justified text leaves the alignment buttons as they are.
    switch (p.alignment) {
        case 0:
            action("AlignLeft")->setChecked(true);
            break;
        case 1:
            action("AlignRight")->setChecked(true);
            break;
        case 2:
            action("AlignCenter")->setChecked(true);
            break;
        default:
            break;
    }
    UpdateCaretStatus();
}

void EditorCommands::UpdateCaretStatus() {
    if (!pane_) return;
    if (QLabel* p0 = panel(0))
        p0->setText(QString::asprintf("行: %3d  列: %3d", pane_->caretLine() + 1,
                                      pane_->caretColumn() + 1));
    const bool selected = pane_->selLength() > 0;
    for (const char* n : {"CopyBtn", "EditCopy", "PopupCopy", "CutBtn", "EditCut", "PopupCut",
                          "DeleteBtn", "EditDelete"})
        action(n)->setEnabled(selected);
    action("EditObjProps")->setEnabled(pane_->isSingleObjectSelected());
}

void EditorCommands::RichEditChange() {
    if (!pane_) return;
    if (QLabel* p1 = panel(1))
        p1->setText(pane_->modified() ? QStringLiteral("Modified") : QString());
    const bool canUndo = pane_->canUndoNow();
    const bool canRedo = pane_->canRedoNow();
    action("UndoBtn")->setEnabled(canUndo);
    action("EditUndo")->setEnabled(canUndo);
    action("EditUndo")->setText(QStringLiteral("撤销(&U) ") + undoKindName(pane_->undoKind()));
    action("RedoBtn")->setEnabled(canRedo);
    action("EditRedo")->setEnabled(canRedo);
    action("EditRedo")->setText(QStringLiteral("重做(&R)") + undoKindName(pane_->redoKind()));
}

void EditorCommands::UpdatePasteCommands() {
    if (!pane_) return;
    const bool canPaste = pane_->canPasteNow();
    for (const char* n : {"PasteBtn", "EditPaste", "PopupPaste", "EditPasteSpecial"})
        action(n)->setEnabled(canPaste);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const bool html = canPaste && data && data->hasHtml();
    action("PasteHtmlBtn")->setEnabled(html);
    action("EditPasteHtml")->setEnabled(html);
    action("PopupPasteHtml")->setEnabled(true);
}

void EditorCommands::setAllowProtectedChange(bool on) {
    allowProtectedChange_ = on;
    if (pane_) pane_->setAllowProtectedEdits(on);
}

// ---- editing commands -------------------------------------------------------

QWidget* EditorCommands::focusTarget() const {
    QWidget* f = QApplication::focusWidget();
    if (f && title_ && f == title_.data()) return title_;
    if (f && category_ && (f == category_.data() || f == category_->lineEdit()))
        return category_->lineEdit();
    return pane_;
}

void EditorCommands::EditCutClick() {
    QWidget* t = focusTarget();
    if (auto* e = qobject_cast<QLineEdit*>(t))
        e->cut();
    else if (pane_)
        pane_->cut();
}

void EditorCommands::EditCopyClick() {
    QWidget* t = focusTarget();
    if (auto* e = qobject_cast<QLineEdit*>(t))
        e->copy();
    else if (pane_)
        pane_->copy();
}

void EditorCommands::EditPasteClick() {
    QWidget* t = focusTarget();
    if (auto* e = qobject_cast<QLineEdit*>(t))
        e->paste();
    else if (pane_)
        pane_->paste();
}

void EditorCommands::EditPasteSpecialClick() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !pane_) return;
    QStringList choices;
    QList<int> kinds;  // 0 as the pane pastes it, 1 plain text, 2 picture
    if (data->hasFormat(QStringLiteral("text/rtf")) ||
        data->hasFormat(QStringLiteral("application/rtf")) || data->hasHtml()) {
        choices << QStringLiteral("带格式文本 (RTF)");
        kinds << 0;
    }
    if (data->hasText()) {
        choices << QStringLiteral("无格式文本");
        kinds << 1;
    }
    if (data->hasImage()) {
        choices << QStringLiteral("图片");
        kinds << 2;
    }
    if (choices.isEmpty()) return;
    int kind = kinds.front();
    if (choices.size() > 1) {
        bool ok = false;
        const QString chosen =
            QInputDialog::getItem(window_, QStringLiteral("选择性粘贴"), QStringLiteral("粘贴为："),
                                  choices, 0, false, &ok);
        if (!ok) return;
        kind = kinds.value(choices.indexOf(chosen), 0);
    }
    if (kind == 1) {
        editorpane::replaceSelection(pane_, data->text());
    } else if (kind == 2) {
        // The picture replaces the selection under the same rules as typing.
        const int start = pane_->selStart();
        if (pane_->isReadOnly() ||
            !editorpane::mayReplace(pane_, start, start + pane_->selLength()))
            return;
        QTextCursor c = pane_->textCursor();
        c.insertImage(qvariant_cast<QImage>(data->imageData()));
    } else {
        pane_->paste();
    }
}

void EditorCommands::EditDeleteClick() {
    if (pane_) pane_->deleteSelection();
}

void EditorCommands::EditSelectAllClick() {
    if (pane_) pane_->selectAllText();
}

void EditorCommands::EditUndoClick() {
    if (!pane_) return;
    pane_->undo();
    RichEditChange();
    SelectionChange();
}

void EditorCommands::EditRedoClick() {
    if (!pane_) return;
    pane_->redo();
    RichEditChange();
    SelectionChange();
}

void EditorCommands::EditObjPropsClick() {
    if (!pane_ || !pane_->isSingleObjectSelected()) return;
    QTextCursor c = pane_->textCursor();
    QTextCursor probe(pane_->document());
    probe.setPosition(qMax(c.selectionStart(), c.selectionEnd()));
    const QTextImageFormat img = probe.charFormat().toImageFormat();
    QImage image = qvariant_cast<QImage>(
        pane_->document()->resource(QTextDocument::ImageResource, QUrl(img.name())));
    const int w = img.width() > 0 ? int(img.width()) : image.width();
    const int h = img.height() > 0 ? int(img.height()) : image.height();
    platform::prompt().information(
        window_, QStringLiteral("图片对象：宽 %1 像素，高 %2 像素").arg(w).arg(h));
}

bool EditorCommands::eventFilter(QObject* watched, QEvent* e) {
    if (watched == pane_ && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const auto mods = k->modifiers() & ~Qt::KeypadModifier;
        if (k->key() == Qt::Key_Tab && mods == Qt::NoModifier) {
            // Tab inserts four spaces in place of the selection.
            if (!pane_->isReadOnly()) editorpane::typeText(pane_, QStringLiteral("    "));
            return true;
        }
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
            pane_->isSingleObjectSelected()) {
            // Enter does not replace a selected embedded object.
            return true;
        }
        if (k->key() == Qt::Key_Delete && mods == Qt::ControlModifier) {
            EditDeleteClick();
            return true;
        }
    }
    if (watched == pane_ && e->type() == QEvent::ShortcutOverride) {
        // Ctrl+Del deletes the selection (the pane would delete a word).
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Delete && (k->modifiers() & Qt::ControlModifier)) {
            e->accept();
            return true;
        }
    }
    if (watched == window_ && e->type() == QEvent::Resize) SelectionChange();
    return QObject::eventFilter(watched, e);
}
