// The editor's formatting and editing commands on a small editor window.
#include <QActionGroup>
#include <QBuffer>
#include <QClipboard>
#include <QFontComboBox>
#include <QImage>
#include <QInputDialog>
#include <QMenu>
#include <QMimeData>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "tests/editor/EditorCommandsFixture.h"

using richtext::CharAttributes;
using richtext::RichEditCtrl;

namespace {

QStringList menuTexts(const QMenu* m) {
    QStringList out;
    for (QAction* a : m->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QMenu* menuNamed(QMainWindow* w, const char* name) {
    return w->menuBar()->findChild<QMenu*>(QString::fromLatin1(name));
}

}  // namespace

// ---- menus and bars -------------------------------------------------------------------------

TEST_F(EditorCommandsTest, MenusFollowTheFileMenuWithTheirEntriesAndShortcuts) {
    QStringList titles;
    for (QAction* a : window->menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"文件(&F)", "编辑(&E)", "插入(&I)", "格式(&O)"}));

    EXPECT_EQ(menuTexts(menuNamed(window.get(), "EditMenu")),
              (QStringList{"撤销(&U) ", "重做(&R)", "-", "剪切(&T)", "复制(&C)", "粘贴(&P)",
                           "选择性粘贴(&S)", "粘贴网页格式(&H)\tCtrl+H", "删除(&D)", "全选(&l)",
                           "-", "查找(&F)...", "下一个(&N)", "替换(&E)...", "-", "对象属性(&O)"}));
    EXPECT_EQ(menuTexts(menuNamed(window.get(), "InsertMenu")),
              (QStringList{"对象(&O)", "图片(&P)"}));
    EXPECT_EQ(
        menuTexts(menuNamed(window.get(), "FormatMenu")),
        (QStringList{"字体(&F)", "段落(&P)", "-", "文本只读(&O)", "颜色减淡(&D)", "隐藏文本(&H)"}));

    const struct {
        const char* action;
        const char* keys;
        const char* hint;
    } rows[] = {
        {"EditUndo", "Ctrl+Z", "Undo the last action"},
        {"EditRedo", "Ctrl+Y", "Redo the last action"},
        {"EditCut", "Ctrl+X", "Delete selected item"},
        {"EditCopy", "Ctrl+C", "Copy selected item to clipboard"},
        {"EditPaste", "Ctrl+V", "Paste contents of clipboard"},
        {"EditPasteSpecial", "", "Inserts Clipboard contents with options"},
        {"EditDelete", "Ctrl+Del", ""},
        {"EditSelectAll", "Ctrl+A", "Selects the entire document"},
        {"EditFind", "Ctrl+F", "Finds the specified text"},
        {"EditFindNext", "F3", ""},
        {"EditReplace", "Ctrl+H", "Replaces specific text with different text"},
        {"EditObjProps", "Alt+Return", "Change selected object's properties"},
        {"InsertObject", "", "Inserts new embedded object"},
        {"InsertPicture", "", "Inserts picture"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.action);
        EXPECT_EQ(act(r.action)->shortcut().toString(), QString::fromLatin1(r.keys));
        EXPECT_EQ(act(r.action)->statusTip(), QString::fromLatin1(r.hint));
    }
}

TEST_F(EditorCommandsTest, ToolBarsHoldTheButtonsInOrderWithTheirTips) {
    QStringList tips;
    for (QAction* a : fileBar->actions()) tips << a->toolTip();
    EXPECT_EQ(tips, (QStringList{"查找", "替换", "剪切", "复制", "粘贴", "粘贴网页格式", "撤销",
                                 "重做", "全选", "删除", "插入图片", "插入对象"}));
    for (QAction* a : fileBar->actions()) {
        const QWidget* b = fileBar->widgetForAction(a);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->size(), QSize(24, 22)) << a->toolTip().toStdString();
    }
    QStringList format;
    for (QAction* a : formatBar->actions()) {
        if (a->isSeparator()) continue;
        if (QWidget* w = formatBar->widgetForAction(a); w && !qobject_cast<QToolButton*>(w))
            format << w->objectName();
        else
            format << a->toolTip();
    }
    EXPECT_EQ(format,
              (QStringList{"FontName", "FontSize", "加粗", "倾斜", "下划线", "字体颜色", "文字背景",
                           "左对齐", "中心对齐", "右对齐", "项目符号", "上标", "下标"}));
    EXPECT_EQ(commands->fontSizeBox()->minimum(), 1);
    EXPECT_EQ(commands->fontSizeBox()->maximum(), 2147483647);
}

// ---- character formatting -----------------------------------------------------------------

TEST_F(EditorCommandsTest, BoldItalicUnderlineActOnTheSelectionAndKeepOtherBits) {
    setText(QStringLiteral("hello world"));
    pane->setSel(6, 5);
    act("FormatItalic")->trigger();
    act("FormatBold")->trigger();
    EXPECT_EQ(charAt(6).style, richtext::StyleBold | richtext::StyleItalic);
    EXPECT_EQ(charAt(0).style, 0);
    act("FormatItalic")->trigger();  // up again: only italic goes
    EXPECT_EQ(charAt(10).style, richtext::StyleBold);
    act("FormatUnderline")->trigger();
    EXPECT_EQ(charAt(8).style, richtext::StyleBold | richtext::StyleUnderline);
}

TEST_F(EditorCommandsTest, WithNothingSelectedBoldAppliesToTheWordAtTheCaret) {
    setText(QStringLiteral("alpha beta gamma"));
    pane->setSel(8, 0);  // inside "beta"
    act("FormatBold")->trigger();
    for (int i = 6; i < 10; ++i) EXPECT_EQ(charAt(i).style, richtext::StyleBold) << i;
    EXPECT_EQ(charAt(4).style, 0);
    EXPECT_EQ(charAt(11).style, 0);
    EXPECT_EQ(pane->selLength(), 0);
}

TEST_F(EditorCommandsTest, SelectionChangeShowsTheAttributesWithoutWritingThemBack) {
    setText(QStringLiteral("plain big"));
    pane->setSel(6, 3);
    CharAttributes a;
    a.size = 20;
    a.style = richtext::StyleBold | richtext::StyleUnderline;
    a.face = QStringLiteral("Noto Serif");
    a.script = richtext::Script::Superscript;
    pane->setSelAttributes(a, RichEditCtrl::MaskSize | RichEditCtrl::MaskBold |
                                  RichEditCtrl::MaskUnderline | RichEditCtrl::MaskFace |
                                  RichEditCtrl::MaskScript);
    pane->setModified(false);
    pane->setSel(0, 5);
    pane->setSel(6, 3);  // the pane reports the change; the bar follows
    EXPECT_TRUE(act("FormatBold")->isChecked());
    EXPECT_FALSE(act("FormatItalic")->isChecked());
    EXPECT_TRUE(act("FormatUnderline")->isChecked());
    EXPECT_TRUE(act("FormatSuperscript")->isChecked());
    EXPECT_FALSE(act("FormatSubscript")->isChecked());
    EXPECT_EQ(commands->fontSizeBox()->value(), 20);
    EXPECT_EQ(commands->fontNameBox()->currentText(), QStringLiteral("Noto Serif"));
    // Moving to the plain word resets the boxes; neither selection is changed.
    pane->setSel(0, 5);
    EXPECT_FALSE(act("FormatBold")->isChecked());
    EXPECT_NE(commands->fontSizeBox()->value(), 20);
    EXPECT_FALSE(pane->modified());
    EXPECT_EQ(charAt(7).size, 20);
    EXPECT_FALSE(commands->updating());
}

TEST_F(EditorCommandsTest, FontSizeAndNameBoxes) {
    setText(QStringLiteral("some text"));
    pane->setSel(0, 4);
    const int before = charAt(0).size;
    for (int bad : {0, -3}) {
        commands->FontSizeChange(bad);
        EXPECT_EQ(charAt(0).size, before) << bad;
    }
    EXPECT_FALSE(pane->modified());
    commands->fontSizeBox()->setValue(14);
    EXPECT_EQ(charAt(0).size, 14);
    EXPECT_EQ(charAt(5).size, before);
    commands->FontNameChange(QStringLiteral("Noto Sans Mono"));
    EXPECT_EQ(charAt(2).face, QStringLiteral("Noto Sans Mono"));
}

TEST_F(EditorCommandsTest, SuperscriptAndSubscriptAreAPairThatMayBothBeUp) {
    setText(QStringLiteral("x2 y"));
    pane->setSel(1, 1);
    act("FormatSuperscript")->trigger();
    EXPECT_EQ(charAt(1).script, richtext::Script::Superscript);
    act("FormatSubscript")->trigger();
    EXPECT_FALSE(act("FormatSuperscript")->isChecked());
    EXPECT_EQ(charAt(1).script, richtext::Script::Subscript);
    act("FormatSubscript")->trigger();  // both up
    EXPECT_FALSE(act("FormatSuperscript")->isChecked());
    EXPECT_FALSE(act("FormatSubscript")->isChecked());
    EXPECT_EQ(charAt(1).script, richtext::Script::None);
}

TEST_F(EditorCommandsTest, FontDialogOpensWithTheSelectionAndAppliesTheChosenFont) {
    setText(QStringLiteral("abc def"));
    pane->setSel(0, 3);
    QFont chosen(QStringLiteral("Noto Sans"));
    chosen.setPointSize(18);
    chosen.setBold(true);
    chosen.setItalic(true);
    prompt.fontAnswers.enqueue(chosen);
    act("FormatFont")->trigger();
    const CharAttributes a = charAt(1);
    EXPECT_EQ(a.face, QStringLiteral("Noto Sans"));
    EXPECT_EQ(a.size, 18);
    EXPECT_EQ(a.style, richtext::StyleBold | richtext::StyleItalic);
    EXPECT_EQ(charAt(5).size, charAt(6).size);
    EXPECT_NE(charAt(5).size, 18);
    // Cancelled: nothing changes.
    pane->setSel(4, 3);
    pane->setModified(false);
    act("FormatFont")->trigger();
    EXPECT_FALSE(pane->modified());
}

TEST_F(EditorCommandsTest, ColourMenusHoldSeventeenEntriesAndSetTheColours) {
    const QStringList names{"Black", "Maroon",  "Green",  "Olive", "Navy",     "Purple",
                            "Teal",  "Gray",    "Silver", "Red",   "Lime",     "Yellow",
                            "Blue",  "Fuchsia", "Aqua",   "White", "Automatic"};
    for (QMenu* m : {commands->textColorMenu(), commands->backColorMenu()}) {
        ASSERT_NE(m, nullptr);
        QStringList captions;
        for (QAction* a : m->actions()) {
            captions << a->text();
            EXPECT_TRUE(a->isCheckable());
        }
        EXPECT_EQ(captions, names);
    }
    setText(QStringLiteral("colour me"));
    pane->setSel(0, 6);
    commands->textColorMenu()->actions().at(9)->trigger();   // Red
    commands->backColorMenu()->actions().at(11)->trigger();  // Yellow
    EXPECT_EQ(charAt(2).color, QColor(255, 0, 0));
    EXPECT_EQ(charAt(2).background, QColor(255, 255, 0));
    EXPECT_FALSE(charAt(7).color.isValid());

    // Opening a menu checks the entry of the current colour.
    auto checkedIndex = [](QMenu* m) {
        emit m->aboutToShow();
        int index = -1;
        for (int i = 0; i < m->actions().size(); ++i)
            if (m->actions().at(i)->isChecked()) index = i;
        return index;
    };
    EXPECT_EQ(checkedIndex(commands->textColorMenu()), 9);
    EXPECT_EQ(checkedIndex(commands->backColorMenu()), 11);
    pane->setSel(7, 2);
    EXPECT_EQ(checkedIndex(commands->textColorMenu()), 16);  // automatic
    EXPECT_EQ(checkedIndex(commands->backColorMenu()), 16);
    // Back to automatic.
    pane->setSel(0, 6);
    commands->textColorMenu()->actions().at(16)->trigger();
    EXPECT_FALSE(charAt(2).color.isValid());
}

TEST_F(EditorCommandsTest, ColorCaptionNamesTableColoursAndAutomatic) {
    EXPECT_EQ(EditorCommands::ColorCaption(QColor(), false), QStringLiteral("Automatic"));
    EXPECT_EQ(EditorCommands::ColorCaption(QColor(0, 128, 128), false), QStringLiteral("Teal"));
    EXPECT_EQ(EditorCommands::ColorCaption(QColor(1, 2, 3), true), QStringLiteral("$00030201"));
}

TEST_F(EditorCommandsTest, DisabledAndHiddenToggleWithTheirCheckMarks) {
    setText(QStringLiteral("grey text"));
    pane->setSel(0, 4);
    act("FormatDisabled")->trigger();
    EXPECT_TRUE(charAt(1).disabled);
    EXPECT_TRUE(act("FormatDisabled")->isChecked());
    act("FormatDisabled")->trigger();
    EXPECT_FALSE(charAt(1).disabled);
    EXPECT_FALSE(act("FormatDisabled")->isChecked());
    act("FormatHidden")->trigger();
    EXPECT_TRUE(charAt(1).hidden);
    EXPECT_TRUE(act("FormatHidden")->isChecked());
}

TEST_F(EditorCommandsTest, MenuItemsAreNineteenPixelsHighSeparatorsKeepTheirOwn) {
    for (const char* name : {"EditMenu", "FormatMenu", "PanePopup"}) {
        SCOPED_TRACE(name);
        auto* m = window->findChild<QMenu*>(QString::fromLatin1(name));
        ASSERT_NE(m, nullptr);
        m->ensurePolished();
        m->adjustSize();
        bool sawSeparator = false;
        for (QAction* a : m->actions()) {
            if (!a->isVisible()) continue;
            const int h = m->actionGeometry(a).height();
            if (a->isSeparator()) {
                sawSeparator = true;
                EXPECT_LT(h, EditorCommands::kMenuItemHeight);
            } else {
                EXPECT_EQ(h, EditorCommands::kMenuItemHeight) << a->text().toStdString();
            }
        }
        if (QString::fromLatin1(name) != QLatin1String("PanePopup")) {
            EXPECT_TRUE(sawSeparator);
        }
    }
}

// ---- protected text -----------------------------------------------------------------------------

TEST_F(EditorCommandsTest, ProtectedTextRefusesEditsUntilTheWindowAllowsThem) {
    setText(QStringLiteral("keep this safe"));
    pane->setSel(5, 4);
    act("FormatProtected")->trigger();
    EXPECT_TRUE(charAt(6).isProtected);
    EXPECT_TRUE(act("FormatProtected")->isChecked());
    EXPECT_FALSE(commands->allowProtectedChange());

    // Typing, Tab, delete and replace over the protected word are refused.
    pane->setSel(6, 2);
    type(pane, QStringLiteral("xy"));
    key(pane, Qt::Key_Tab, {}, QStringLiteral("\t"));
    act("EditDelete")->trigger();
    EXPECT_EQ(pane->plainText(), QStringLiteral("keep this safe"));
    pane->setSel(7, 0);
    type(pane, QStringLiteral("q"));
    EXPECT_EQ(pane->plainText(), QStringLiteral("keep this safe"));
    // Outside it typing works.
    pane->setSel(0, 0);
    type(pane, QStringLiteral("k"));
    EXPECT_EQ(pane->plainText(), QStringLiteral("kkeep this safe"));

    // Toggling the attribute off needs no allow flag from outside.
    pane->setSel(6, 4);
    act("FormatProtected")->trigger();
    EXPECT_FALSE(charAt(7).isProtected);
    EXPECT_FALSE(commands->allowProtectedChange());
    act("FormatProtected")->trigger();
    EXPECT_TRUE(charAt(7).isProtected);

    // The window clears the document through the allow flag.
    commands->setAllowProtectedChange(true);
    pane->clearAll();
    commands->setAllowProtectedChange(false);
    EXPECT_EQ(pane->plainText(), QString());
}

// ---- undo, redo, modified
// -------------------------------------------------------------------------

TEST_F(EditorCommandsTest, UndoAndRedoCaptionsNameTheNextStep) {
    setText(QString());
    EXPECT_EQ(act("EditUndo")->text(), QStringLiteral("撤销(&U) "));
    EXPECT_EQ(act("EditRedo")->text(), QStringLiteral("重做(&R)"));
    EXPECT_FALSE(act("EditUndo")->isEnabled());
    EXPECT_FALSE(act("UndoBtn")->isEnabled());
    EXPECT_FALSE(act("EditRedo")->isEnabled());
    EXPECT_EQ(panel(1), QString());

    type(pane, QStringLiteral("abc"));
    EXPECT_EQ(act("EditUndo")->text(), QStringLiteral("撤销(&U) typing"));
    EXPECT_TRUE(act("EditUndo")->isEnabled());
    EXPECT_TRUE(act("UndoBtn")->isEnabled());
    EXPECT_EQ(panel(1), QStringLiteral("Modified"));

    act("EditUndo")->trigger();
    EXPECT_EQ(act("EditRedo")->text(), QStringLiteral("重做(&R)typing"));
    EXPECT_TRUE(act("EditRedo")->isEnabled());
    EXPECT_TRUE(act("RedoBtn")->isEnabled());
    act("EditRedo")->trigger();
    EXPECT_EQ(pane->plainText(), QStringLiteral("abc"));

    pane->setSel(0, 2);
    act("EditCut")->trigger();
    EXPECT_EQ(act("EditUndo")->text(), QStringLiteral("撤销(&U) cut"));
    act("EditPaste")->trigger();
    EXPECT_EQ(act("EditUndo")->text(), QStringLiteral("撤销(&U) paste"));
    pane->setSel(0, 1);
    act("DeleteBtn")->trigger();
    EXPECT_EQ(act("EditUndo")->text(), QStringLiteral("撤销(&U) delete"));
    EXPECT_EQ(pane->plainText(), QStringLiteral("bc"));
}

// ---- keys -------------------------------------------------------------------------------

TEST_F(EditorCommandsTest, TabReplacesTheSelectionByFourSpaces) {
    setText(QStringLiteral("abcdef"));
    pane->setSel(1, 3);
    key(pane, Qt::Key_Tab, {}, QStringLiteral("\t"));
    EXPECT_EQ(pane->plainText(), QStringLiteral("a    ef"));
    EXPECT_EQ(pane->selStart(), 5);
    EXPECT_EQ(pane->selLength(), 0);
    key(pane, Qt::Key_Tab, {}, QStringLiteral("\t"));
    EXPECT_EQ(pane->plainText(), QStringLiteral("a        ef"));
    EXPECT_EQ(act("EditUndo")->text(), QStringLiteral("撤销(&U) typing"));
}

TEST_F(EditorCommandsTest, EnterDoesNotReplaceASelectedPicture) {
    setText(QStringLiteral("ab"));
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::red);
    pane->setSel(1, 0);
    QApplication::clipboard()->setImage(img);
    act("EditPaste")->trigger();
    pane->setSel(1, 1);
    ASSERT_TRUE(pane->isSingleObjectSelected());
    const int before = pane->document()->characterCount();
    key(pane, Qt::Key_Return, {}, QStringLiteral("\r"));
    EXPECT_EQ(pane->document()->characterCount(), before);
    EXPECT_TRUE(pane->isSingleObjectSelected());
}

// ---- caret status, selection-dependent commands ------------------------------------------------

TEST_F(EditorCommandsTest, CaretStatusAndSelectionCommands) {
    setText(QStringLiteral("line one\nline two"));
    pane->setSel(12, 0);
    EXPECT_EQ(panel(0), QStringLiteral("行:   2  列:   4"));
    for (const char* n : {"CopyBtn", "EditCopy", "PopupCopy", "CutBtn", "EditCut", "PopupCut",
                          "DeleteBtn", "EditDelete", "EditObjProps"})
        EXPECT_FALSE(act(n)->isEnabled()) << n;
    pane->setSel(0, 4);
    EXPECT_EQ(panel(0), QStringLiteral("行:   1  列:   5"));
    for (const char* n : {"CopyBtn", "EditCopy", "PopupCopy", "CutBtn", "EditCut", "PopupCut",
                          "DeleteBtn", "EditDelete"})
        EXPECT_TRUE(act(n)->isEnabled()) << n;
    EXPECT_FALSE(act("EditObjProps")->isEnabled());
}

TEST_F(EditorCommandsTest, PasteCommandsFollowTheClipboard) {
    QApplication::clipboard()->clear();
    commands->UpdatePasteCommands();
    for (const char* n : {"PasteBtn", "EditPaste", "PopupPaste", "EditPasteSpecial", "PasteHtmlBtn",
                          "EditPasteHtml"})
        EXPECT_FALSE(act(n)->isEnabled()) << n;
    EXPECT_TRUE(act("PopupPasteHtml")->isEnabled());

    QApplication::clipboard()->setText(QStringLiteral("plain"));  // the watcher reports it
    for (const char* n : {"PasteBtn", "EditPaste", "PopupPaste", "EditPasteSpecial"})
        EXPECT_TRUE(act(n)->isEnabled()) << n;
    EXPECT_FALSE(act("PasteHtmlBtn")->isEnabled());
    EXPECT_FALSE(act("EditPasteHtml")->isEnabled());

    auto* html = new QMimeData;
    html->setHtml(QStringLiteral("<b>web</b>"));
    QApplication::clipboard()->setMimeData(html);
    EXPECT_TRUE(act("PasteHtmlBtn")->isEnabled());
    EXPECT_TRUE(act("EditPasteHtml")->isEnabled());

    // A read-only pane cannot paste.
    pane->setReadOnly(true);
    commands->UpdatePasteCommands();
    EXPECT_FALSE(act("EditPaste")->isEnabled());
    EXPECT_FALSE(act("EditPasteHtml")->isEnabled());
    EXPECT_TRUE(act("PopupPasteHtml")->isEnabled());
}

// Paste special: the kinds the clipboard offers, chosen in a list when there
// is more than one; the picture obeys protected text like any other edit.
TEST_F(EditorCommandsTest, PasteSpecialOffersTheClipboardsKinds) {
    enum Clip { RtfAndText, TextOnly, PictureOnly };
    const struct {
        const char* name;
        Clip clip;
        const char* choice;  // nullptr: no list expected; "": the list is cancelled
        bool protectedCaret;
        const char* expected;  // pane text afterwards
        bool bold;             // the first pasted character
    } cases[] = {
        {"formatted", RtfAndText, "带格式文本 (RTF)", false, "粗体ab", true},
        {"unformatted", RtfAndText, "无格式文本", false, "粗体ab", false},
        {"cancelled", RtfAndText, "", false, "ab", false},
        {"text alone", TextOnly, nullptr, false, "粗体ab", false},
        {"picture", PictureOnly, nullptr, false, "\uFFFCab", false},
        {"picture into protected text", PictureOnly, nullptr, true, "ab", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        pane->setCurrentCharFormat(QTextCharFormat());  // no bold left from the case before
        setText(QStringLiteral("ab"));
        if (c.protectedCaret) {
            pane->setSel(0, 2);
            act("FormatProtected")->trigger();
            pane->setSel(1, 0);
        } else {
            pane->setSel(0, 0);
        }
        auto* mime = new QMimeData;
        if (c.clip == RtfAndText)
            mime->setData(QStringLiteral("text/rtf"), "{\\rtf1\\ansi {\\b \\u31895?\\u20307?}}");
        if (c.clip != PictureOnly) mime->setText(QStringLiteral("粗体"));
        if (c.clip == PictureOnly) {
            QImage pic(8, 8, QImage::Format_RGB32);
            pic.fill(Qt::red);
            mime->setImageData(pic);
        }
        QApplication::clipboard()->setMimeData(mime);

        bool listShown = false;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!dlg) return;
            listShown = true;
            if (!c.choice || !*c.choice) {
                dlg->reject();
                return;
            }
            EXPECT_TRUE(dlg->comboBoxItems().contains(QString::fromUtf8(c.choice)));
            dlg->setTextValue(QString::fromUtf8(c.choice));
            dlg->accept();
        });
        act("EditPasteSpecial")->trigger();
        QApplication::processEvents();
        EXPECT_EQ(listShown, c.choice != nullptr);
        QString expected = QString::fromUtf8(c.expected);
        expected.replace(QStringLiteral("\\uFFFC"), QString(QChar(0xFFFC)));
        EXPECT_EQ(pane->plainText(), expected);
        if (expected != QStringLiteral("ab")) {
            EXPECT_EQ((charAt(0).style & richtext::StyleBold) != 0, c.bold);
        }
    }
}

TEST_F(EditorCommandsTest, PasteWebFormatAndExportPictureGoToTheWindowsHooks) {
    int web = 0, export_ = 0;
    commands->onPasteWebFormat = [&] { ++web; };
    commands->onExportPicture = [&] { ++export_; };
    act("PopupPasteHtml")->trigger();
    act("EditPasteHtml")->setEnabled(true);
    act("EditPasteHtml")->trigger();
    act("OutBmpItm")->trigger();
    EXPECT_EQ(web, 2);
    EXPECT_EQ(export_, 1);
}

TEST_F(EditorCommandsTest, ContextMenusShowTheirEntriesByTheRules) {
    QMenu* paneMenu = commands->paneMenu();
    EXPECT_EQ(menuTexts(paneMenu), (QStringList{"剪切(&C)", "复制(&O)", "粘贴(&P)",
                                                "粘贴网页格式\tCtrl+H", "导出图片\tCtrl+O"}));
    setText(QStringLiteral("xy"));
    emit paneMenu->aboutToShow();
    EXPECT_FALSE(act("OutBmpItm")->isVisible());
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QApplication::clipboard()->setImage(img);
    pane->setSel(1, 0);
    pane->paste();
    pane->setSel(1, 1);
    emit paneMenu->aboutToShow();
    EXPECT_TRUE(act("OutBmpItm")->isVisible());
    EXPECT_TRUE(act("EditObjProps")->isEnabled());

    QMenu* fields = commands->fieldMenu();
    EXPECT_EQ(menuTexts(fields), (QStringList{"剪切(&C)", "复制(&O)", "粘贴(&P)"}));
    title->setText(QStringLiteral("题目"));
    title->deselect();
    category->setEditText(QStringLiteral("分类"));
    category->lineEdit()->deselect();
    emit fields->aboutToShow();
    EXPECT_FALSE(act("FieldCut")->isEnabled());
    EXPECT_FALSE(act("FieldCopy")->isEnabled());
    EXPECT_TRUE(act("FieldPaste")->isEnabled());
    category->lineEdit()->selectAll();
    emit fields->aboutToShow();
    EXPECT_TRUE(act("FieldCut")->isEnabled());
    EXPECT_TRUE(act("FieldCopy")->isEnabled());
}

TEST_F(EditorCommandsTest, ClipboardCommandsGoToTheFocusedField) {
    window->show();
    QApplication::setActiveWindow(window.get());
    setText(QStringLiteral("pane text"));
    pane->setSel(0, 4);
    title->setText(QStringLiteral("标题文字"));
    title->setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() != title) GTEST_SKIP() << "no keyboard focus on this platform";
    title->setSelection(0, 2);
    act("EditCopy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("标题"));
    act("FieldCut")->trigger();
    EXPECT_EQ(title->text(), QStringLiteral("文字"));
    title->setCursorPosition(2);
    act("PasteBtn")->trigger();
    EXPECT_EQ(title->text(), QStringLiteral("文字标题"));
    EXPECT_EQ(pane->plainText(), QStringLiteral("pane text"));

    pane->setFocus();
    QApplication::processEvents();
    act("CopyBtn")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("pane"));
}

// ---- paragraph formatting from the bar ----------------------------------------------------------

TEST_F(EditorCommandsTest, AlignmentAndBulletsFromTheFormatBar) {
    setText(QStringLiteral("first\nsecond"));
    pane->setSel(1, 0);
    act("AlignCenter")->trigger();
    EXPECT_EQ(pane->paraAttributes().alignment, 2);
    act("AlignRight")->trigger();
    EXPECT_EQ(pane->paraAttributes().alignment, 1);
    pane->setSel(8, 0);
    EXPECT_TRUE(act("AlignLeft")->isChecked());

    // A justified paragraph leaves the buttons as they were.
    richtext::ParaAttributes j;
    j.alignment = 3;
    pane->setParaAttributes(j, RichEditCtrl::PMaskAlignment);
    pane->setSel(1, 0);
    EXPECT_TRUE(act("AlignRight")->isChecked());
    pane->setSel(9, 0);
    EXPECT_TRUE(act("AlignRight")->isChecked());

    act("FormatBullets")->trigger();
    EXPECT_TRUE(pane->paraAttributes().bullets);
    EXPECT_GE(pane->paraAttributes().offset, 10);
    pane->setSel(1, 0);
    EXPECT_FALSE(act("FormatBullets")->isChecked());
    pane->setSel(9, 0);
    EXPECT_TRUE(act("FormatBullets")->isChecked());
}

// ---- pictures and objects
// ------------------------------------------------------------------------

TEST_F(EditorCommandsTest, InsertPictureTicksTheFormatFlagAndPastesAtTheCaret) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("pic.png"));
    QImage img(10, 6, QImage::Format_RGB32);
    img.fill(Qt::green);
    ASSERT_TRUE(img.save(png));
    setText(QStringLiteral("ab"));
    pane->setSel(1, 0);
    formatCheck->setChecked(false);

    // Cancelled: nothing happens.
    act("InsertPictureBtn")->trigger();
    EXPECT_FALSE(formatCheck->isChecked());
    ASSERT_EQ(prompt.fileRequests.size(), 1);
    EXPECT_TRUE(prompt.fileRequests.front().filter.contains(QStringLiteral("*.bmp")));
    EXPECT_TRUE(prompt.fileRequests.front().filter.contains(QStringLiteral("*.jpg")));
    EXPECT_TRUE(prompt.fileRequests.front().filter.contains(QStringLiteral("*.gif")));
    EXPECT_TRUE(prompt.fileRequests.front().filter.contains(QStringLiteral("*.png")));

    prompt.fileAnswers.enqueue(testsupport::pick(png));
    act("InsertPicture")->trigger();
    EXPECT_TRUE(formatCheck->isChecked());
    pane->setSel(1, 1);
    EXPECT_TRUE(pane->isSingleObjectSelected());
    EXPECT_EQ(pane->plainText().remove(QChar::ObjectReplacementCharacter), QStringLiteral("ab"));
    EXPECT_TRUE(QApplication::clipboard()->mimeData()->hasImage());

    // Not a picture: the error is shown, nothing inserted.
    const QString bad = dir.filePath(QStringLiteral("bad.png"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    prompt.fileAnswers.enqueue(testsupport::pick(bad));
    const int before = pane->document()->characterCount();
    act("InsertPicture")->trigger();
    EXPECT_EQ(pane->document()->characterCount(), before);
    EXPECT_EQ(prompt.messages.size(), 1);
}

TEST_F(EditorCommandsTest, InsertObjectEmbedsAFileAsItsPicture) {
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("notes.txt"));
    QFile f(doc);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("hello");
    f.close();
    setText(QStringLiteral("ab"));
    pane->setSel(2, 0);
    formatCheck->setChecked(false);
    prompt.fileAnswers.enqueue(testsupport::pick(doc));
    act("InsertObjectBtn")->trigger();
    EXPECT_TRUE(formatCheck->isChecked());
    pane->setSel(2, 1);
    EXPECT_TRUE(pane->isSingleObjectSelected());
    // It survives a save and load as RTF.
    const QByteArray rtf = pane->saveToBytes();
    pane->loadFromBytes(rtf);
    pane->setSel(2, 1);
    EXPECT_TRUE(pane->isSingleObjectSelected());
}
