// Article commands in the real main window: delete, rename in place, the
// category dialog, move to another workbook, the popup's enabled rules and
// the guards against acting without a selected article.

#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>

#include "mainwindow/FindUnit.h"
#include "mainwindow/editclassUnit.h"
#include "platform/Shell.h"
#include "store/ErrorText.h"
#include "tests/mainwindow/CommandsFixture.h"

using namespace cmdtest;
using testsupport::RecordedMessage;

namespace {

const QByteArray kRtf(
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
    "\\f0\\fs24 \\'d6\\'d0\\b bold\\b0\\par\r\n}");

class CommandsTest : public MainWindowTest {};

}  // namespace

// ------------------------------------------------------------------ delete

TEST_F(CommandsTest, DeleteSelectsTheTitleAboveAndShowsIt) {
    db.addArticles("datum", "g", "t", 5);
    open();
    click(2);
    ASSERT_EQ(w->session().shown.title, "t3");
    w->action("BtnDel")->trigger();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, "确认删除记录？");
    EXPECT_EQ(prompt.messages[0].caption, "警告:");
    EXPECT_EQ(prompt.messages[0].buttons, platform::Buttons::OkCancel);
    EXPECT_EQ(prompt.messages[0].icon, platform::Icon::Warning);
    EXPECT_EQ(stored(), L({"t1", "t2", "t4", "t5"}));
    EXPECT_EQ(testsupport::seqNos(db.conn(), "datum"), L({"1", "2", "3", "4"}));
    EXPECT_EQ(items(), L({"1. t1", "2. t2", "3. t4", "4. t5"}));
    EXPECT_EQ(w->selectedIndex(), 1);
    EXPECT_EQ(w->session().shown.title, "t2");
}

TEST_F(CommandsTest, DeleteOfTheFirstTitleLeavesNoSelectionAndTheViewer) {
    db.addArticle("datum", "g", "t1", 1, false, "正文一");
    db.addArticle("datum", "g", "t2", 2, false, "正文二");
    open();
    click(0);
    w->BtnDelClick();
    EXPECT_EQ(stored(), L({"t2"}));
    EXPECT_EQ(w->selectedIndex(), -1);
    EXPECT_EQ(w->session().shown.title, "t1");
    EXPECT_TRUE(w->RichEdit1->plainText().contains("正文一"));
}

TEST_F(CommandsTest, DeleteCancelledOrWithoutSelectionChangesNothing) {
    db.addArticles("datum", "g", "t", 3);
    open();
    const QStringList before = fingerprint();
    w->BtnDelClick();
    EXPECT_EQ(prompt.lastText(), "请选择要删除的文章题目！");
    EXPECT_EQ(prompt.messages.back().caption, "提示:");
    click(1);
    prompt.answers.enqueue(platform::Answer::Cancel);
    w->BtnDelClick();
    EXPECT_EQ(fingerprint(), before);
    EXPECT_EQ(items().size(), 3);
    EXPECT_EQ(w->selectedIndex(), 1);
}

// The main record set's text that reads the workbook while it has at least
// three articles and fails once it has fewer: the list cannot be reopened
// after a command took an article away.
const char* const kListFailsBelowThree =
    "select * from datum where abs(case when (select count(*) from datum) < 3 "
    "then (-9223372036854775807 - 1) else 1 end) > 0 ORDER BY [seqno]";

// The change of a delete or a move is committed before the list is reopened:
// a failure to reopen is no failed command, and the list is reopened afresh.
TEST_F(CommandsTest, AListThatCannotBeReopenedAfterDeleteOrMoveIsNoFailedCommand) {
    struct Case {
        const char* name;
        std::function<void(TMainForm&)> run;
        QStringList messages;
        QStringList datum1;
    } cases[] = {
        {"delete", [](TMainForm& m) { m.BtnDelClick(); }, L({"确认删除记录？"}), {}},
        {"move", [](TMainForm& m) { m.moveArticleTo(1); }, L({"文章移动成功！！"}), L({"t3"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w.reset();
        db.exec("delete * from datum");
        db.exec("delete * from datum1");
        db.addArticles("datum", "g", "t", 3);
        open();
        w->db().OpenDb(QString::fromLatin1(kListFailsBelowThree));
        w->Refreshlistbox1();
        click(2);
        ASSERT_EQ(w->session().shown.title, "t3");
        c.run(*w);
        EXPECT_EQ(prompt.texts(), c.messages);
        EXPECT_EQ(stored("datum"), L({"t1", "t2"}));
        EXPECT_EQ(stored("datum1"), c.datum1);
        // The list was reopened and matches its record set again.
        EXPECT_EQ(items(), L({"1. t1", "2. t2"}));
        EXPECT_EQ(w->selectedIndex(), 1);
        EXPECT_EQ(w->session().shown.title, "t2");
        click(0);
        EXPECT_EQ(w->session().shown.title, "t1");
    }
}

// ------------------------------------------------------------ rename in place

TEST_F(CommandsTest, RenameEditorIsPlacedAfterTheNumberOrAtTwentyThree) {
    db.addArticles("datum", "g", "t", 12);
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        open(mode);
        click(10);
        mouseDClick(w->ListBox1->viewport(), itemRect(10).center());
        QLineEdit* ed = w->titleEditor;
        ASSERT_TRUE(ed->isVisible());
        EXPECT_EQ(w->titleEditorIndex, 10);
        EXPECT_EQ(ed->text(), "t11");
        EXPECT_EQ(ed->selectedText(), "t11");
        EXPECT_TRUE(ed->hasFocus());
        EXPECT_FALSE(w->ListBox1->item(10)->isSelected());
        const QRect r = itemRect(10);
        const QPoint at = ed->mapTo(w->ListBox1->viewport(), QPoint(0, 0));
        const int number = QFontMetrics(w->ListBox1->font()).horizontalAdvance("11.");
        EXPECT_EQ(at.x(), mode == 0 ? r.left() + number + 4 : r.left() + 23);
        EXPECT_EQ(at.y(), r.top() + 1);
        EXPECT_EQ(ed->height(), r.height() + 1);
        w->ListBox1->setFocus();  // ends the rename without writing
        TearDown();
    }
}

TEST_F(CommandsTest, RenameCommitsOnEnterExactlyAsTyped) {
    db.addArticles("datum", "读书", "t", 3);
    db.addArticle("datum", "随笔", "s", 4);
    open();
    w->CBXgroup->setCurrentIndex(w->CBXgroup->findText("读书"));
    w->CBXgroupChange();
    click(1);
    w->ListBox1DblClick();
    w->titleEditor->setText(" 新 题目 ");
    keyClick(w->titleEditor, Qt::Key_Return);
    EXPECT_FALSE(w->titleEditor->isVisible());
    EXPECT_EQ(stored(), L({"t1", " 新 题目 ", "t3", "s"}));
    // Rebuilt for the current category, nothing selected.
    EXPECT_EQ(items(), L({"1. t1", "2.  新 题目 ", "3. t3"}));
    EXPECT_EQ(w->selectedIndex(), -1);
    EXPECT_TRUE(prompt.messages.isEmpty());

    // The same text again: written again, list rebuilt.
    click(0);
    w->ListBox1DblClick();
    keyClick(w->titleEditor, Qt::Key_Enter);
    EXPECT_EQ(stored(), L({"t1", " 新 题目 ", "t3", "s"}));
    EXPECT_FALSE(w->titleEditor->isVisible());
}

TEST_F(CommandsTest, RenameWithEmptyTextKeepsTheEditorOpen) {
    db.addArticles("datum", "g", "t", 2);
    open();
    const QStringList before = fingerprint();
    click(0);
    w->ListBox1DblClick();
    w->titleEditor->clear();
    keyClick(w->titleEditor, Qt::Key_Return);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.lastText(), "文章题目不能为空！");
    EXPECT_EQ(prompt.messages[0].caption, "提示");
    EXPECT_EQ(prompt.messages[0].icon, platform::Icon::Error);
    EXPECT_TRUE(w->titleEditor->isVisible());
    EXPECT_TRUE(w->titleEditor->hasFocus());
    EXPECT_EQ(fingerprint(), before);
}

TEST_F(CommandsTest, FocusLossHidesTheRenameEditorWithoutWriting) {
    db.addArticles("datum", "g", "t", 3);
    open();
    const QStringList before = fingerprint();
    click(0);
    w->ListBox1DblClick();
    keyClicks(w->titleEditor, "改了");
    click(2);  // another title takes the focus
    EXPECT_FALSE(w->titleEditor->isVisible());
    EXPECT_EQ(fingerprint(), before);
    EXPECT_EQ(w->session().shown.title, "t3");
    // Escape is an ordinary key: the editor stays open.
    w->ListBox1DblClick();
    keyClick(w->titleEditor, Qt::Key_Escape);
    EXPECT_TRUE(w->titleEditor->isVisible());
}

TEST_F(CommandsTest, RenameWithoutSelectionDoesNothing) {
    db.addArticles("datum", "g", "t", 2);
    open();
    w->action("N10")->trigger();
    EXPECT_FALSE(w->titleEditor->isVisible());
    EXPECT_EQ(w->titleEditorIndex, -1);
    EXPECT_TRUE(prompt.messages.isEmpty());
}

// ---------------------------------------------------------- category dialog

TEST_F(CommandsTest, CategoryDialogShowsTheArticleAndStoresAllAsUncategorised) {
    db.addArticle("datum", "读书", "甲", 1);
    db.addArticle("datum", "随笔", "乙", 2);
    open();
    click(1);
    onModal([](QWidget* m) {
        auto* dlg = qobject_cast<Teditclassform*>(m);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), "文档类别、题目修改");
        EXPECT_EQ(dlg->ComboBox1->currentText(), "随笔");
        EXPECT_EQ(dlg->Edit1->text(), "乙");
        EXPECT_EQ(dlg->ComboBox1->count(), 3);  // 全部, 读书, 随笔
        EXPECT_EQ(dlg->closebtn->text(), "关    闭");
        dlg->ComboBox1->setCurrentText("全部");
        dlg->Edit1->setText("乙二");
        dlg->subbtn->click();
        EXPECT_FALSE(dlg->isVisible());
    });
    w->N8Click();
    EXPECT_EQ(db.column("select * from datum order by seqno", "group"), L({"读书", "未分类"}));
    EXPECT_EQ(stored(), L({"甲", "乙二"}));
    EXPECT_EQ(testsupport::seqNos(db.conn(), "datum"), L({"1", "2"}));
    EXPECT_EQ(w->CBXgroup->currentText(), "未分类");
    EXPECT_EQ(items(), L({"1. 乙二"}));
    EXPECT_EQ(prompt.lastText(), "文章修改完成！");
    EXPECT_EQ(prompt.messages.back().icon, platform::Icon::Information);
}

TEST_F(CommandsTest, CategoryDialogAddsANewCategoryAndSelectsIt) {
    db.addArticle("datum", "读书", "甲", 1);
    db.addArticle("datum", "Abc", "乙", 2);
    open();
    click(0);
    onModal([](QWidget* m) {
        auto* dlg = static_cast<Teditclassform*>(m);
        dlg->ComboBox1->setCurrentText("新类");
        dlg->subbtn->click();
    });
    w->N8Click();
    EXPECT_EQ(w->CBXgroup->findText("新类"), w->CBXgroup->count() - 1);
    EXPECT_EQ(w->CBXgroup->currentText(), "新类");
    EXPECT_EQ(items(), L({"1. 甲"}));

    // An existing category typed in another letter case is not added twice.
    // Back to the whole workbook.
    w->cxTabControl1Change();
    click(1);
    const int count = w->CBXgroup->count();
    ASSERT_EQ(w->selectedIndex(), 1);
    ASSERT_EQ(w->session().shown.title, "乙");
    onModal([](QWidget* m) {
        auto* dlg = static_cast<Teditclassform*>(m);
        dlg->ComboBox1->setCurrentText("ABC");
        dlg->subbtn->click();
    });
    w->N8Click();
    EXPECT_EQ(w->CBXgroup->count(), count);
    EXPECT_EQ(w->CBXgroup->currentText().toLower(), "abc");
}

TEST_F(CommandsTest, CategoryDialogRefusesEmptyFieldsAndCloseWritesNothing) {
    db.addArticle("datum", "读书", "甲", 1);
    open();
    click(0);
    const QStringList before = fingerprint();
    onModal([this](QWidget* m) {
        auto* dlg = static_cast<Teditclassform*>(m);
        dlg->Edit1->clear();
        dlg->subbtn->click();
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(prompt.lastText(), "题目或者分类不能为空！");
        dlg->Edit1->setText("x");
        dlg->ComboBox1->setCurrentText("");
        dlg->subbtn->click();
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(prompt.messages.size(), 2);
        dlg->closebtn->click();
        EXPECT_FALSE(dlg->isVisible());
    });
    w->N8Click();
    EXPECT_EQ(fingerprint(), before);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// An engine failure reaches the general error report as the Chinese text for
// its kind; the engine's own (English) text is only the detail.
TEST_F(CommandsTest, CategoryDialogFailureReportsTheKindInChineseWithTheEngineTextAsDetail) {
    db.addArticle("datum", "读书", "甲", 1);
    db.exec(
        "create trigger refuse_edit before update on datum begin "
        "select raise(abort, 'edit refused'); end");
    open();
    click(0);
    const QStringList before = fingerprint();
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext& ctx, const QString& msg) {
            logged << QString::fromUtf8(ctx.category) + ": " + msg;
        });
    onModal([](QWidget* m) {
        auto* dlg = static_cast<Teditclassform*>(m);
        dlg->Edit1->setText("乙");
        dlg->subbtn->click();
        if (dlg->isVisible()) dlg->closebtn->click();
    });
    w->N8Click();
    qInstallMessageHandler(previous);
    // The technical cause is in the log.
    ASSERT_FALSE(logged.isEmpty());
    EXPECT_TRUE(logged.back().startsWith("yunjan.ui: ")) << logged.back().toStdString();
    EXPECT_TRUE(logged.back().contains("edit refused")) << logged.back().toStdString();
    ASSERT_FALSE(prompt.messages.isEmpty());
    const RecordedMessage& report = prompt.messages.back();
    EXPECT_EQ(report.kind, RecordedMessage::ErrorReport);
    EXPECT_EQ(report.text, store::userText(store::ErrorCode::Constraint));
    EXPECT_FALSE(report.text.contains("refused"));
    EXPECT_TRUE(report.detail.contains("edit refused")) << report.detail.toStdString();
    EXPECT_EQ(fingerprint(), before);
}

// ------------------------------------------------------------------- move

TEST_F(CommandsTest, MoveAppendsLastInTheTargetAndKeepsRtfBytes) {
    db.addArticle("datum", "g", "甲", 1);
    db.addArticle("datum", "格式", "乙", 2, true, kRtf);
    db.addArticle("datum", "g", "丙", 3);
    db.addArticle("datum2", "x", "a", 4);
    open();
    click(1);
    w->moveItems[2]->trigger();
    EXPECT_EQ(prompt.lastText(), "文章移动成功！！");
    EXPECT_EQ(prompt.messages.back().kind, RecordedMessage::Plain);
    EXPECT_EQ(stored("datum"), L({"甲", "丙"}));
    EXPECT_EQ(stored("datum2"), L({"a", "乙"}));
    EXPECT_EQ(testsupport::seqNos(db.conn(), "datum"), L({"1", "2"}));
    EXPECT_EQ(testsupport::seqNos(db.conn(), "datum2"), L({"1", "2"}));
    EXPECT_EQ(db.scalar("select content from datum2 where theme='乙'").toByteArray(), kRtf);
    EXPECT_TRUE(db.scalar("select isformat from datum2 where theme='乙'").toBool());
    EXPECT_EQ(items(), L({"1. 甲", "2. 丙"}));
    EXPECT_EQ(w->selectedIndex(), 0);
    EXPECT_EQ(w->session().shown.title, "甲");
}

TEST_F(CommandsTest, AFailedMoveShowsTheErrorAndChangesNothing) {
    db.addArticles("datum", "g", "t", 3);
    open();
    db.exec("CREATE TRIGGER f BEFORE UPDATE OF SeqNo ON datum1 BEGIN SELECT RAISE(ABORT,'x'); END");
    db.addArticle("datum1", "h", "u", 5);  // the renumbering of datum1 will have to change it
    const QStringList before = fingerprint();
    click(1);
    w->moveArticleTo(1);
    EXPECT_EQ(prompt.lastText(), "操作出错，请与作者联系！");
    EXPECT_EQ(prompt.messages.back().caption, "提示:");
    EXPECT_EQ(fingerprint(), before);
    // The list still matches the record set: showing a title shows its row.
    click(2);
    EXPECT_EQ(w->session().shown.title, "t3");
}

TEST_F(CommandsTest, CommandsWithoutAnArticleShowTheNoSelectionMessage) {
    db.addArticles("datum", "g", "t", 2);
    open();
    const QStringList before = fingerprint();
    w->N8Click();
    for (int k = 0; k < 4; ++k) w->moveArticleTo(k);
    w->BtnModifyClick();
    EXPECT_EQ(prompt.texts(), QStringList(6, "请选择要修改的文章题目！"));
    for (const RecordedMessage& m : prompt.messages) {
        EXPECT_EQ(m.caption, "提示:");
        EXPECT_EQ(m.icon, platform::Icon::Error);
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(fingerprint(), before);
}

// ------------------------------------------------------------------ popup

TEST_F(CommandsTest, MoveItemsFollowTheTabCaptionAsASubstring) {
    struct Case {
        const char* names[4];
        int tab;
        bool enabled[4];
    } cases[] = {
        {{"主工作簿", "工作簿1", "工作簿2", "工作簿3"}, 0, {false, true, true, true}},
        {{"主工作簿", "工作簿1", "工作簿2", "工作簿3"}, 2, {true, true, false, true}},
        {{"X", "X2", "Y", "Z"}, 0, {false, false, true, true}},
        {{"X", "X2", "Y", "Z"}, 1, {true, false, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        for (int k = 0; k < 4; ++k)
            setIni("cxTabControl1TabsName", QStringLiteral("cxTabControl1TabsName%1").arg(k),
                   QString::fromUtf8(c.names[k]));
        open();
        w->cxTabControl1->setCurrentIndex(c.tab);
        emit w->ListPopup->aboutToShow();
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(w->moveItems[k]->text(), QString::fromUtf8(c.names[k]));
            EXPECT_EQ(w->moveItems[k]->isEnabled(), c.enabled[k]) << k;
        }
        TearDown();
    }
}

TEST_F(CommandsTest, PopupOpensOnTitlesButNotBelowTheLast) {
    db.addArticles("datum", "g", "t", 3);
    open();
    const int h = w->ListBox1->itemHeight();
    struct Case {
        int y;
        bool opens;
    } cases[] = {{h / 2, true}, {3 * h, true}, {3 * h + 1, false}, {3 * h + 40, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        QWidget* vp = w->ListBox1->viewport();
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, c.y),
                            vp->mapToGlobal(QPoint(5, c.y)));
        QApplication::sendEvent(vp, &e);
        EXPECT_EQ(w->ListPopup->isVisible(), c.opens);
        w->ListPopup->hide();
    }
    // From the keyboard it always opens.
    QContextMenuEvent k(QContextMenuEvent::Keyboard, QPoint(5, 3 * h + 40),
                        w->ListBox1->mapToGlobal(QPoint(5, 3 * h + 40)));
    QApplication::sendEvent(w->ListBox1, &k);
    EXPECT_TRUE(w->ListPopup->isVisible());
    w->ListPopup->hide();
}

TEST_F(CommandsTest, CopyTitleOnlyWithTextSelectedInTheRenameEditor) {
    db.addArticles("datum", "g", "t", 2);
    open();
    QAction* copy = w->action("N20");
    ASSERT_NE(copy, nullptr);
    emit w->ListPopup->aboutToShow();
    EXPECT_FALSE(copy->isEnabled());
    click(0);
    w->ListBox1DblClick();
    emit w->ListPopup->aboutToShow();
    EXPECT_TRUE(copy->isEnabled());
    QApplication::clipboard()->clear();
    copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "t1");
    w->titleEditor->deselect();
    emit w->ListPopup->aboutToShow();
    EXPECT_FALSE(copy->isEnabled());
    // Every other entry stays enabled.
    EXPECT_TRUE(w->action("N8")->isEnabled());
}

// A right click as the window system delivers it: press and release reach
// the window, which passes them, and the context menu request, to the widget
// under the pointer.
namespace {
void rightClickThroughWindow(QWidget* target, const QPoint& pos) {
    QWidget* top = target->window();
    const QPointF inWindow(target->mapTo(top, pos));
    const QPointF global(target->mapToGlobal(pos));
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, inWindow, inWindow, global, Qt::RightButton,
                      type == QEvent::MouseButtonPress ? Qt::RightButton : Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(top->windowHandle(), &e);
    }
}
}  // namespace

TEST_F(CommandsTest, RightClickInTheRenameEditorOffersCopyTitle) {
    db.addArticles("datum", "g", "t", 2);
    open();
    click(0);
    w->ListBox1DblClick();
    ASSERT_TRUE(w->titleEditor->isVisible());
    QAction* copy = w->action("N20");
    struct Case {
        const char* name;
        bool selected;
    } cases[] = {{"title selected", true}, {"nothing selected", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.selected)
            w->titleEditor->selectAll();
        else
            w->titleEditor->deselect();
        QWidget* popup = nullptr;
        bool enabled = false;
        QTimer::singleShot(0, [&] {
            popup = QApplication::activePopupWidget();
            enabled = copy->isEnabled();
            if (popup) popup->close();
        });
        rightClickThroughWindow(w->titleEditor, w->titleEditor->rect().center());
        for (int k = 0; k < 100 && !popup; ++k)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup, w->ListPopup);
        EXPECT_EQ(enabled, c.selected);
        // The menu leaves the editor open, so the entry copies from it.
        EXPECT_TRUE(w->titleEditor->isVisible());
        if (c.selected) {
            QApplication::clipboard()->clear();
            copy->trigger();
            EXPECT_EQ(QApplication::clipboard()->text(), "t1");
        }
    }
}

// -------------------------------------------------------- tool entries

TEST_F(CommandsTest, AddDbStartsTheSiblingProgram) {
    open();
    QList<platform::ShellRequest> seen;
    platform::setShellHook([&](const platform::ShellRequest& r) {
        seen << r;
        return true;
    });
    w->mmAddDBClick();
    platform::setShellHook({});
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].target, QCoreApplication::applicationDirPath() + QStringLiteral("/AddDB"));
    EXPECT_EQ(seen[0].args, QStringList{"-s"});
    EXPECT_TRUE(seen[0].workDir.isEmpty());
}

// ------------------------------------------------------------ screenshots

// Pictures of the popup menu, the category dialog, the search dialog with its
// results and the open rename editor, written when YUNJAN_SCREENSHOT_DIR names
// a folder (for looking at them; nothing is compared).
TEST_F(CommandsTest, Screenshots) {
    const QString dir = qEnvironmentVariable("YUNJAN_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "YUNJAN_SCREENSHOT_DIR not set";
    db.addArticle("datum", "读书", "论语选读", 1, false, "学而时习之，不亦说乎？");
    db.addArticle("datum", "读书", "读书笔记：史记", 2);
    db.addArticle("datum", "随笔", "春日随笔", 3);
    db.addArticle("datum", "随笔", "笔记二", 4);
    open();
    w->resize(900, 600);
    click(1);

    w->ListPopup->popup(w->ListBox1->viewport()->mapToGlobal(itemRect(1).center()));
    w->ListPopup->grab().save(dir + "/popup_menu.png");
    w->ListPopup->hide();

    onModal([&](QWidget* m) {
        m->adjustSize();
        m->grab().save(dir + "/category_dialog.png");
    });
    w->N8Click();

    w->ListBox1DblClick();
    w->grab().save(dir + "/rename_editor.png");
    w->titleEditor->hide();

    TFindForm dlg(w.get(), w.get());
    dlg.show();
    dlg.Edit2->setText("笔记");
    dlg.Button2->click();
    dlg.grab().save(dir + "/search_dialog.png");
    w->grab().save(dir + "/search_results.png");
}
