// Construction of the editor's commands: actions, menus, the edit buttons of
// the file/edit bar, the format bar and the context menus.
#include "editor/EditorCommands.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyleOptionMenuItem>
#include <QToolBar>
#include <QToolButton>

#include "editor/EditorIcons.h"
#include "editor/FindReplace.h"
#include "platform/Shell.h"

namespace {
const char* const kIconProperty = "editorIcon";
}

EditorCommands::EditorCommands(QMainWindow* window, richtext::RichEditCtrl* pane,
                               QStatusBar* status)
    : QObject(window), window_(window), pane_(pane), status_(status) {
    find_ = std::make_unique<EditorFindReplace>(window, pane);
    buildActions();
    buildColorMenus();
    buildContextMenus();

    // Script, background colour, greyed and hidden text need a second
    // generation control.
    const bool v2 = richtext::RichEditCtrl::kVersion >= 2;
    for (const char* name : {"FormatSuperscript", "FormatSubscript", "FormatBackColor",
                             "FormatDisabled", "FormatHidden"})
        action(QString::fromLatin1(name))->setEnabled(v2);

    if (pane_) {
        connect(pane_, &richtext::RichEditCtrl::contentChanged, this,
                &EditorCommands::RichEditChange);
        connect(pane_, &richtext::RichEditCtrl::selectionChangedEx, this,
                &EditorCommands::SelectionChange);
        connect(pane_, &richtext::RichEditCtrl::protectedChange, this,
                [this](int, int, bool* allow) {
                    if (allow) *allow = allowProtectedChange_;
                });
        connect(pane_, &richtext::RichEditCtrl::urlClicked, this,
                [](const QString& url, Qt::MouseButton button) {
                    if (button == Qt::LeftButton) platform::shellOpen({url, {}, {}});
                });
        pane_->installEventFilter(this);
        pane_->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(pane_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
            paneMenu_->popup(pane_->viewport()->mapToGlobal(pos));
        });
    }
    if (window_) window_->installEventFilter(this);
    // The clipboard watcher lives as long as this object.
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &EditorCommands::UpdatePasteCommands);
}

EditorCommands::~EditorCommands() = default;

QAction* EditorCommands::makeAction(const QString& name, const QString& text, const QString& hint) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    if (!hint.isEmpty()) a->setStatusTip(hint);
    actions_.insert(name, a);
    return a;
}

QAction* EditorCommands::action(const QString& objectName) const {
    return actions_.value(objectName, nullptr);
}

void EditorCommands::buildActions() {
    auto withIcon = [](QAction* a, const char* icon) {
        a->setIcon(editoricons::icon(QString::fromLatin1(icon)));
        a->setProperty(kIconProperty, QString::fromLatin1(icon));
        return a;
    };
    // ---- edit menu ----
    auto* undo = withIcon(makeAction("EditUndo", "撤销(&U) ", "Undo the last action"), "undo");
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    auto* redo = withIcon(makeAction("EditRedo", "重做(&R)", "Redo the last action"), "redo");
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    auto* cut = withIcon(makeAction("EditCut", "剪切(&T)", "Delete selected item"), "cut");
    cut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    auto* copy =
        withIcon(makeAction("EditCopy", "复制(&C)", "Copy selected item to clipboard"), "copy");
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    auto* paste =
        withIcon(makeAction("EditPaste", "粘贴(&P)", "Paste contents of clipboard"), "paste");
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    makeAction("EditPasteSpecial", "选择性粘贴(&S)", "Inserts Clipboard contents with options");
    // Ctrl+H is shown here but reaches "替换(&E)...", which carries it too.
    withIcon(makeAction("EditPasteHtml", "粘贴网页格式(&H)\tCtrl+H"), "pasteweb");
    auto* del = withIcon(makeAction("EditDelete", "删除(&D)"), "delete");
    del->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    auto* all = withIcon(makeAction("EditSelectAll", "全选(&l)", "Selects the entire document"),
                         "selectall");
    all->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    auto* find =
        withIcon(makeAction("EditFind", "查找(&F)...", "Finds the specified text"), "find");
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    makeAction("EditFindNext", "下一个(&N)")->setShortcut(QKeySequence(Qt::Key_F3));
    auto* replace = withIcon(
        makeAction("EditReplace", "替换(&E)...", "Replaces specific text with different text"),
        "replace");
    replace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    makeAction("EditObjProps", "对象属性(&O)", "Change selected object's properties")
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));

    // ---- insert and format menus ----
    withIcon(makeAction("InsertObject", "对象(&O)", "Inserts new embedded object"), "object");
    withIcon(makeAction("InsertPicture", "图片(&P)", "Inserts picture"), "picture");
    withIcon(makeAction("FormatFont", "字体(&F)"), "font");
    withIcon(makeAction("FormatParagraph", "段落(&P)"), "paragraph");
    for (const char* name : {"FormatProtected", "FormatDisabled", "FormatHidden"})
        makeAction(name, {})->setCheckable(true);
    action("FormatProtected")->setText("文本只读(&O)");
    action("FormatDisabled")->setText("颜色减淡(&D)");
    action("FormatHidden")->setText("隐藏文本(&H)");

    // ---- buttons of the file/edit bar (caption = tool tip) ----
    struct Button {
        const char* name;
        const char* caption;
        const char* icon;
        const char* tip;
    };
    static const Button buttons[] = {
        {"FindBtn", "查找", "find", nullptr},
        {"ReplaceBtn", "替换", "replace", nullptr},
        {"CutBtn", "剪切", "cut", nullptr},
        {"CopyBtn", "复制", "copy", nullptr},
        {"PasteBtn", "粘贴", "paste", nullptr},
        {"PasteHtmlBtn", "粘贴网页格式", "pasteweb", nullptr},
        {"UndoBtn", "撤销", "undo", nullptr},
        {"RedoBtn", "重做", "redo", nullptr},
        {"SelectAllBtn", "全选", "selectall", nullptr},
        {"DeleteBtn", "删除", "delete", nullptr},
        {"InsertPictureBtn", "插图", "picture", "插入图片"},
        {"InsertObjectBtn", "插入对象", "object", nullptr},
    };
    for (const Button& b : buttons) {
        auto* a = withIcon(makeAction(b.name, b.caption), b.icon);
        a->setToolTip(b.tip ? QString::fromUtf8(b.tip) : QString::fromUtf8(b.caption));
    }

    // ---- format bar ----
    static const Button formats[] = {
        {"FormatBold", "加粗", "bold", nullptr},
        {"FormatItalic", "倾斜", "italic", nullptr},
        {"FormatUnderline", "下划线", "underline", nullptr},
        {"FormatTextColor", "字体颜色", "textcolor", nullptr},
        {"FormatBackColor", "文字背景", "backcolor", nullptr},
        {"AlignLeft", "左对齐", "left", nullptr},
        {"AlignCenter", "中心对齐", "center", nullptr},
        {"AlignRight", "右对齐", "right", nullptr},
        {"FormatBullets", "项目符号", "bullets", nullptr},
        {"FormatSuperscript", "上标", "superscript", nullptr},
        {"FormatSubscript", "下标", "subscript", nullptr},
    };
    for (const Button& b : formats) {
        auto* a = withIcon(makeAction(b.name, b.caption), b.icon);
        a->setToolTip(QString::fromUtf8(b.caption));
        if (qstrcmp(b.name, "FormatTextColor") != 0 && qstrcmp(b.name, "FormatBackColor") != 0)
            a->setCheckable(true);
    }
    alignGroup_ = new QActionGroup(this);
    alignGroup_->setExclusive(true);
    const std::pair<const char*, int> aligns[] = {
        {"AlignLeft", 0}, {"AlignCenter", 2}, {"AlignRight", 1}};
    for (const auto& [name, tag] : aligns) {
        QAction* a = action(name);
        a->setData(tag);
        alignGroup_->addAction(a);
    }
    auto* scripts = new QActionGroup(this);
    scripts->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    scripts->addAction(action("FormatSuperscript"));
    scripts->addAction(action("FormatSubscript"));

    // ---- context menu of the pane ----
    auto* pcut = withIcon(makeAction("PopupCut", "剪切(&C)"), "cut");
    pcut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    auto* pcopy = withIcon(makeAction("PopupCopy", "复制(&O)"), "copy");
    pcopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    auto* ppaste = withIcon(makeAction("PopupPaste", "粘贴(&P)"), "paste");
    ppaste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    makeAction("PopupPasteHtml", "粘贴网页格式\tCtrl+H");
    makeAction("OutBmpItm", "导出图片\tCtrl+O");
    // ---- context menu of the title field and the category box ----
    makeAction("FieldCut", "剪切(&C)");
    makeAction("FieldCopy", "复制(&O)");
    makeAction("FieldPaste", "粘贴(&P)");

    // ---- handlers ----
    auto on = [this](const char* name, void (EditorCommands::*handler)()) {
        connect(action(name), &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    for (const char* n : {"EditUndo", "UndoBtn"}) on(n, &EditorCommands::EditUndoClick);
    for (const char* n : {"EditRedo", "RedoBtn"}) on(n, &EditorCommands::EditRedoClick);
    for (const char* n : {"EditCut", "CutBtn", "PopupCut", "FieldCut"})
        on(n, &EditorCommands::EditCutClick);
    for (const char* n : {"EditCopy", "CopyBtn", "PopupCopy", "FieldCopy"})
        on(n, &EditorCommands::EditCopyClick);
    for (const char* n : {"EditPaste", "PasteBtn", "PopupPaste", "FieldPaste"})
        on(n, &EditorCommands::EditPasteClick);
    on("EditPasteSpecial", &EditorCommands::EditPasteSpecialClick);
    for (const char* n : {"EditPasteHtml", "PasteHtmlBtn", "PopupPasteHtml"})
        connect(action(n), &QAction::triggered, this, [this] {
            if (onPasteWebFormat) onPasteWebFormat();
        });
    connect(action("OutBmpItm"), &QAction::triggered, this, [this] {
        if (onExportPicture) onExportPicture();
    });
    for (const char* n : {"EditDelete", "DeleteBtn"}) on(n, &EditorCommands::EditDeleteClick);
    for (const char* n : {"EditSelectAll", "SelectAllBtn"})
        on(n, &EditorCommands::EditSelectAllClick);
    on("EditObjProps", &EditorCommands::EditObjPropsClick);
    for (const char* n : {"InsertObject", "InsertObjectBtn"})
        on(n, &EditorCommands::InsertObjectClick);
    for (const char* n : {"InsertPicture", "InsertPictureBtn"})
        on(n, &EditorCommands::InsertPictureClick);
    on("FormatFont", &EditorCommands::FormatFontClick);
    on("FormatParagraph", &EditorCommands::FormatParagraphClick);
    on("FormatProtected", &EditorCommands::ProtectedClick);
    on("FormatDisabled", &EditorCommands::DisabledClick);
    on("FormatHidden", &EditorCommands::HiddenClick);
    connect(action("FormatBold"), &QAction::triggered, this, &EditorCommands::BoldButtonClick);
    connect(action("FormatItalic"), &QAction::triggered, this, &EditorCommands::ItalicButtonClick);
    connect(action("FormatUnderline"), &QAction::triggered, this,
            &EditorCommands::UnderlineButtonClick);
    connect(action("FormatBullets"), &QAction::triggered, this,
            &EditorCommands::BulletsButtonClick);
    for (const char* n : {"FormatSuperscript", "FormatSubscript"})
        on(n, &EditorCommands::ScriptButtonClick);
    connect(alignGroup_, &QActionGroup::triggered, this,
            [this](QAction* a) { AlignButtonClick(a->data().toInt()); });

    EditorFindReplace* f = find_.get();
    for (const char* n : {"EditFind", "FindBtn"})
        connect(action(n), &QAction::triggered, f, &EditorFindReplace::EditFindClick);
    connect(action("EditFindNext"), &QAction::triggered, f,
            &EditorFindReplace::EditFindNextItemClick);
    for (const char* n : {"EditReplace", "ReplaceBtn"})
        connect(action(n), &QAction::triggered, f, &EditorFindReplace::EditReplaceClick);
}

namespace {

class EditorMenuStyle : public QProxyStyle {
  public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_MenuItem) {
            const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
            if (item && item->menuItemType != QStyleOptionMenuItem::Separator)
                s.setHeight(EditorCommands::kMenuItemHeight);
        }
        return s;
    }
};

}  // namespace

void EditorCommands::useEditorMenuLook(QMenu* menu) {
    // One style for every editor menu, alive as long as the program: a menu
    // may outlive any window that could own it.
    static EditorMenuStyle* style = new EditorMenuStyle;
    if (menu) menu->setStyle(style);
}

void EditorCommands::install(QMenuBar* menuBar, QToolBar* fileEditBar, QToolBar* formatBar) {
    if (menuBar) buildMenus(menuBar);
    if (fileEditBar) buildFileEditButtons(fileEditBar);
    if (formatBar) buildFormatBar(formatBar);
    SelectionChange();
    RichEditChange();
    UpdatePasteCommands();
}

void EditorCommands::buildMenus(QMenuBar* menuBar) {
    editMenu_ = menuBar->addMenu(QStringLiteral("编辑(&E)"));
    editMenu_->setObjectName(QStringLiteral("EditMenu"));
    for (const char* n : {"EditUndo", "EditRedo", "", "EditCut", "EditCopy", "EditPaste",
                          "EditPasteSpecial", "EditPasteHtml", "EditDelete", "EditSelectAll", "",
                          "EditFind", "EditFindNext", "EditReplace", "", "EditObjProps"}) {
        if (*n == 0)
            editMenu_->addSeparator();
        else
            editMenu_->addAction(action(n));
    }
    insertMenu_ = menuBar->addMenu(QStringLiteral("插入(&I)"));
    insertMenu_->setObjectName(QStringLiteral("InsertMenu"));
    insertMenu_->addAction(action("InsertObject"));
    insertMenu_->addAction(action("InsertPicture"));
    formatMenu_ = menuBar->addMenu(QStringLiteral("格式(&O)"));
    formatMenu_->setObjectName(QStringLiteral("FormatMenu"));
    formatMenu_->addAction(action("FormatFont"));
    formatMenu_->addAction(action("FormatParagraph"));
    formatMenu_->addSeparator();
    formatMenu_->addAction(action("FormatProtected"));
    formatMenu_->addAction(action("FormatDisabled"));
    formatMenu_->addAction(action("FormatHidden"));
    for (QMenu* m : {editMenu_, insertMenu_, formatMenu_}) useEditorMenuLook(m);
    // The menus' shortcuts work while focus is anywhere in the window.
    for (QMenu* m : {editMenu_, insertMenu_, formatMenu_})
        for (QAction* a : m->actions())
            if (!a->isSeparator()) window_->addAction(a);
}

QToolButton* EditorCommands::toolButton(QToolBar* bar, QAction* a, int height) {
    bar->addAction(a);
    auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a));
    if (b) {
        b->setObjectName(a->objectName());
        b->setAutoRaise(true);
        b->setFixedSize(24, height);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    return b;
}

void EditorCommands::buildFileEditButtons(QToolBar* bar) {
    bar->setIconSize(QSize(16, 16));
    for (const char* n :
         {"FindBtn", "ReplaceBtn", "CutBtn", "CopyBtn", "PasteBtn", "PasteHtmlBtn", "UndoBtn",
          "RedoBtn", "SelectAllBtn", "DeleteBtn", "InsertPictureBtn", "InsertObjectBtn"})
        toolButton(bar, action(n), 22);
}

void EditorCommands::buildFormatBar(QToolBar* bar) {
    bar->setIconSize(QSize(16, 16));
    fontName_ = new QFontComboBox(bar);
    fontName_->setObjectName(QStringLiteral("FontName"));
    fontName_->setEditable(true);
    fontName_->setMinimumWidth(150);
    fontName_->setToolTip(QStringLiteral("字体"));
    bar->addWidget(fontName_);
    connect(fontName_, &QComboBox::textActivated, this, &EditorCommands::FontNameChange);

    fontSize_ = new QSpinBox(bar);
    fontSize_->setObjectName(QStringLiteral("FontSize"));
    fontSize_->setRange(1, 2147483647);
    fontSize_->setValue(8);
    fontSize_->setKeyboardTracking(false);
    fontSize_->setFixedWidth(56);
    fontSize_->setToolTip(QStringLiteral("字号"));
    bar->addWidget(fontSize_);
    connect(fontSize_, &QSpinBox::valueChanged, this, &EditorCommands::FontSizeChange);
    bar->addSeparator();

    for (const char* n : {"FormatBold", "FormatItalic", "FormatUnderline"})
        toolButton(bar, action(n), 23);
    bar->addSeparator();
    const std::pair<const char*, QMenu*> colours[] = {{"FormatTextColor", colorMenu_},
                                                      {"FormatBackColor", backMenu_}};
    for (const auto& [name, menu] : colours) {
        QToolButton* b = toolButton(bar, action(name), 23);
        if (!b) continue;
        b->setMenu(menu);
        b->setPopupMode(QToolButton::InstantPopup);
        b->setStyleSheet(
            QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    }
    bar->addSeparator();
    for (const char* n : {"AlignLeft", "AlignCenter", "AlignRight"}) toolButton(bar, action(n), 23);
    bar->addSeparator();
    toolButton(bar, action("FormatBullets"), 23);
    bar->addSeparator();
    for (const char* n : {"FormatSuperscript", "FormatSubscript"}) toolButton(bar, action(n), 23);
}

void EditorCommands::buildContextMenus() {
    paneMenu_ = new QMenu(window_);
    paneMenu_->setObjectName(QStringLiteral("PanePopup"));
    for (const char* n : {"PopupCut", "PopupCopy", "PopupPaste", "PopupPasteHtml", "OutBmpItm"})
        paneMenu_->addAction(action(n));
    connect(paneMenu_, &QMenu::aboutToShow, this, [this] {
        // "导出图片" only while the selection is exactly one embedded object.
        action("OutBmpItm")->setVisible(pane_ && pane_->isSingleObjectSelected());
    });

    useEditorMenuLook(paneMenu_);

    fieldMenu_ = new QMenu(window_);
    fieldMenu_->setObjectName(QStringLiteral("FieldPopup"));
    useEditorMenuLook(fieldMenu_);
    for (const char* n : {"FieldCut", "FieldCopy", "FieldPaste"}) fieldMenu_->addAction(action(n));
    connect(fieldMenu_, &QMenu::aboutToShow, this, [this] {
        if (!title_ && window_) title_ = window_->findChild<QLineEdit*>(QStringLiteral("EdtTheme"));
        if (!category_ && window_)
            category_ = window_->findChild<QComboBox*>(QStringLiteral("CBXgroup"));
        bool selected = title_ && title_->hasSelectedText();
        if (category_ && category_->lineEdit() && category_->lineEdit()->hasSelectedText())
            selected = true;
        action("FieldCut")->setEnabled(selected);
        action("FieldCopy")->setEnabled(selected);
        action("FieldPaste")->setEnabled(true);
    });
}

QMenu* EditorCommands::fieldMenu() {
    return fieldMenu_;
}

void EditorCommands::setFields(QLineEdit* title, QComboBox* category) {
    title_ = title;
    category_ = category;
}

QLabel* EditorCommands::panel(int index) const {
    if (!status_) return nullptr;
    return status_->findChild<QLabel*>(QStringLiteral("panel%1").arg(index));
}
