#pragma once
// The editing and formatting commands of the article editor: the Edit,
// Insert and Format menus, the edit buttons of the file/edit bar, the format
// bar, the context menus of the pane and of the header fields, and the rule
// that keeps all of them in step with the pane's selection.
//
// The definition is split by concern:
//   EditorCommands.cpp         construction, menus, tool bars, context menus
//   EditorCommands_State.cpp   SelectionChange, caret status, undo/redo
//                              captions, paste commands, key handling
//   EditorCommands_Format.cpp  character and paragraph formatting, font
//                              dialog, pictures and objects
//   EditorColorMenus.cpp       the text and background colour menus
//   EditorIcons.cpp            pictures of the buttons and menu items
//   PaneEdit.cpp               text changes under the protected-text rule
//   FindReplace.cpp            find and replace dialogs (EditorFindReplace)
//   ParaFmt.cpp                the paragraph dialog

#include <QColor>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "richtext/RichEditCtrl.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QMenuBar;
class QSpinBox;
class QStatusBar;
class QToolBar;
class QToolButton;
class EditorFindReplace;

class EditorCommands : public QObject {
    Q_OBJECT
  public:
    EditorCommands(QMainWindow* window, richtext::RichEditCtrl* pane, QStatusBar* status);
    ~EditorCommands() override;

    // Appends the Edit, Insert and Format menus to menuBar (after the window's
    // File menu), the find/replace/cut/copy/paste/paste-web/undo/redo/
    // select-all/delete/insert-picture/insert-object buttons to the end of
    // fileEditBar (after the window's five file buttons), and fills formatBar.
    void install(QMenuBar* menuBar, QToolBar* fileEditBar, QToolBar* formatBar);

    // Brings the tool bar, the menus and the status bar in step with the
    // selection of the pane.
    void SelectionChange();
    // Status panel 0 (caret line and column) and the selection-dependent
    // commands (cut, copy, delete, object properties).
    void UpdateCaretStatus();
    // Modified indicator (status panel 1) and the undo and redo commands.
    void RichEditChange();
    // Paste, paste special and paste web format, from the clipboard's state.
    void UpdatePasteCommands();

    // On while the controls are brought in step with the selection: every
    // formatting handler does nothing then.
    bool updating() const { return updating_; }

    // The context menu of the title field and the category box.
    QMenu* fieldMenu();
    // The context menu of the pane.
    QMenu* paneMenu() const { return paneMenu_; }
    // Every action has an object name (EditUndo, FormatBold, ...); null when
    // unknown.
    QAction* action(const QString& objectName) const;

    // While on, the pane accepts changes to protected text. The window turns
    // it on while it clears or loads the document.
    void setAllowProtectedChange(bool on);
    bool allowProtectedChange() const { return allowProtectedChange_; }

    // The window's header fields: the field context menu enables cut and copy
    // from their selections.
    void setFields(QLineEdit* title, QComboBox* category);
    // The rich-text flag of the window; inserting a picture or an object ticks it.
    void setFormatCheckBox(QCheckBox* box) { formatCheck_ = box; }

    // Hooks set by the window: paste of web format and the export of a
    // selected picture (pane context menu "导出图片").
    std::function<void()> onPasteWebFormat;
    std::function<void()> onExportPicture;

    // The current text attributes: the selection's when at least one character
    // is selected, otherwise the word at the caret's.
    richtext::CharAttributes currentTextAttributes() const;
    void setCurrentTextAttributes(const richtext::CharAttributes& a, int mask);

    // Colour table shared by the two colour menus (index 16 is "Automatic").
    static constexpr int kColorCount = 17;
    // Menu items of the editor's menus are 19 pixels high; separators keep
    // their own height.
    static constexpr int kMenuItemHeight = 19;
    static void useEditorMenuLook(QMenu* menu);
    // Caption of a colour: system window-text, window and invalid (default)
    // colours are "Automatic", the rest take their standard name.
    static QString ColorCaption(const QColor& c, bool background);
    static QColor tableColor(int index, bool background);

    // Undo kind names (index = the control's undo kind).
    static QString undoKindName(richtext::UndoKind k);

    // The find/replace part of the editor (dialogs and their handlers).
    EditorFindReplace* findReplace() const { return find_.get(); }

    // The boxes of the format bar (tests and the window's input-method rule).
    QFontComboBox* fontNameBox() const { return fontName_; }
    QSpinBox* fontSizeBox() const { return fontSize_; }
    QMenu* textColorMenu() const { return colorMenu_; }
    QMenu* backColorMenu() const { return backMenu_; }

    // ---- command handlers ----
    void EditUndoClick();
    void EditRedoClick();
    void EditCutClick();
    void EditCopyClick();
    void EditPasteClick();
    void EditPasteSpecialClick();
    void EditDeleteClick();
    void EditSelectAllClick();
    void EditObjPropsClick();
    void InsertObjectClick();
    void InsertPictureClick();
    // Inserts a picture file at the caret through the clipboard; false when
    // the file is not a readable picture.
    bool insertPictureFile(const QString& path);
    void BoldButtonClick(bool down);
    void ItalicButtonClick(bool down);
    void UnderlineButtonClick(bool down);
    void ScriptButtonClick();
    void FontNameChange(const QString& face);
    void FontSizeChange(int size);
    void AlignButtonClick(int tag);
    void BulletsButtonClick(bool down);
    void FormatFontClick();
    void FormatParagraphClick();
    void ProtectedClick();
    void DisabledClick();
    void HiddenClick();
    void TextColorClick(int index);
    void BackColorClick(int index);

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void buildActions();
    void buildMenus(QMenuBar* menuBar);
    void buildFileEditButtons(QToolBar* bar);
    void buildFormatBar(QToolBar* bar);
    void buildContextMenus();
    void buildColorMenus();
    void checkColorMenu(QMenu* menu, bool background);
    QAction* makeAction(const QString& name, const QString& text, const QString& hint = {});
    QToolButton* toolButton(QToolBar* bar, QAction* a, int height);
    QWidget* focusTarget() const;
    QLabel* panel(int index) const;
    void toggleScriptButtons(QAction* pressed);

    QMainWindow* window_;
    richtext::RichEditCtrl* pane_;
    QStatusBar* status_;
    QPointer<QLineEdit> title_;
    QPointer<QComboBox> category_;
    QPointer<QCheckBox> formatCheck_;
    bool updating_ = false;
    bool allowProtectedChange_ = false;

    QHash<QString, QAction*> actions_;
    QMenu* editMenu_ = nullptr;
    QMenu* insertMenu_ = nullptr;
    QMenu* formatMenu_ = nullptr;
    QMenu* paneMenu_ = nullptr;
    QMenu* fieldMenu_ = nullptr;
    QMenu* colorMenu_ = nullptr;
    QMenu* backMenu_ = nullptr;
    QActionGroup* alignGroup_ = nullptr;
    QFontComboBox* fontName_ = nullptr;
    QSpinBox* fontSize_ = nullptr;
    std::unique_ptr<EditorFindReplace> find_;
};
