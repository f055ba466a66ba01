// Writing articles from the editor into the current workbook: add and modify
// through the main window, validation, the save-changes questions and
// failing database writes.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QUrl>

#include "EditorFixture.h"

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using testsupport::RecordedMessage;

namespace editortest {
namespace {

const QString kEmptyMessage = QStringLiteral("题目或者内容、分类不能为空！");
const QString kWriteFailed = QStringLiteral("文章保存失败，数据库没有任何改动，请检查操作！");

class SaveTest : public EditorFixture {
  protected:
    void seed() override {
        db.addArticle("datum", "读书", "甲", 1, false, "甲的正文");
        db.addArticle("datum", "读书", "乙", 2, false, "乙的正文");
        db.addArticle("datum", "随笔", "丙", 3, false, "丙的正文");
    }
    QStringList seqNos() {
        return db.column(QStringLiteral("select SeqNo from datum order by id"),
                         QStringLiteral("SeqNo"));
    }
};

TEST_F(SaveTest, AddStoresAllAsUncategorisedLastAfterRenumberingAndStaysOpenEmpty) {
    // A gap in the order numbers: the add renumbers first, so the new
    // article gets N + 1 = 4, not 41.
    db.exec(QStringLiteral("update datum set SeqNo = 40 where theme = '乙'"));
    bool visibleAfterSave = false;
    whileModal([&] { main->BtnAddClick(); },
               [&] {
                   EXPECT_EQ(ed->documentName(), QStringLiteral("Untitled"));
                   EXPECT_TRUE(ed->BtnAdd->isEnabled());
                   EXPECT_FALSE(ed->BtnModify->isEnabled());
                   EXPECT_TRUE(ed->FileSaveDb->isEnabled());
                   EXPECT_TRUE(ed->action("SaveDbBtn")->isEnabled());
                   EXPECT_EQ(ed->CBXgroup->count(), main->CBXgroup->count());
                   typeArticle(QStringLiteral("全部"), QStringLiteral("新文章"),
                               QStringLiteral("新的正文"));
                   ed->BtnAdd->click();
                   visibleAfterSave = ed->isVisible();
                   EXPECT_TRUE(ed->EdtTheme->text().isEmpty());
                   EXPECT_TRUE(ed->CBXgroup->currentText().isEmpty());
                   EXPECT_TRUE(ed->Editor->plainText().isEmpty());
                   EXPECT_EQ(ed->documentName(), QStringLiteral("Untitled"));
                   EXPECT_FALSE(ed->Editor->modified());
                   // The editor's own list learned the new category too.
                   EXPECT_GE(ed->CBXgroup->findText(QStringLiteral("未分类")), 0);
               });
    EXPECT_TRUE(visibleAfterSave);
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("确认添加数据？"));
    EXPECT_EQ(prompt.messages[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(prompt.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(prompt.messages[0].icon, Icon::Information);
    EXPECT_EQ(prompt.messages[1].text, QStringLiteral("文章添加完成！"));
    EXPECT_EQ(prompt.messages[1].icon, Icon::Information);

    EXPECT_EQ(field("新文章", "[group]").toString(), QStringLiteral("未分类"));
    EXPECT_EQ(field("新文章", "SeqNo").toInt(), 4);
    // Renumbered in order: 甲 1, 丙 2, 乙 (was 40) 3, the new one 4.
    EXPECT_EQ(seqNos(), (QStringList{"1", "3", "2", "4"}));
    // The main window shows the new category with the new article.
    EXPECT_EQ(main->CBXgroup->currentText(), QStringLiteral("未分类"));
    EXPECT_EQ(titlesInList().size(), 1);
    EXPECT_TRUE(titlesInList().value(0).contains(QStringLiteral("新文章")));
}

TEST_F(SaveTest, AddIntoExistingCategoryPutsTheArticleLastInCustomOrder) {
    whileModal([&] { main->BtnAddClick(); },
               [&] {
                   typeArticle(QStringLiteral("读书"), QStringLiteral("丁"),
                               QStringLiteral("丁的正文"));
                   ed->BtnAdd->click();
               });
    EXPECT_EQ(main->CBXgroup->currentText(), QStringLiteral("读书"));
    const QStringList titles = titlesInList();
    ASSERT_EQ(titles.size(), 3);
    EXPECT_TRUE(titles[2].contains(QStringLiteral("丁")));
    // No duplicate category entries.
    EXPECT_EQ(main->CBXgroup->findText(QStringLiteral("读书")),
              main->CBXgroup->findText(QStringLiteral("读书"), Qt::MatchFixedString));
    int count = 0;
    for (int i = 0; i < main->CBXgroup->count(); ++i)
        count += main->CBXgroup->itemText(i) == QStringLiteral("读书");
    EXPECT_EQ(count, 1);
}

TEST_F(SaveTest, BodyIsRtfWhenFormatTickedAndPlainTextOtherwise) {
    for (const bool isFormat : {true, false}) {
        SCOPED_TRACE(isFormat);
        const QString title = isFormat ? QStringLiteral("格式文章") : QStringLiteral("纯文本文章");
        whileModal([&] { main->BtnAddClick(); },
                   [&] {
                       typeArticle(QStringLiteral("读书"), title, QStringLiteral("粗体 正文"));
                       QTextCursor c = ed->Editor->textCursor();
                       c.setPosition(0);
                       c.setPosition(2, QTextCursor::KeepAnchor);
                       QTextCharFormat bold;
                       bold.setFontWeight(QFont::Bold);
                       c.mergeCharFormat(bold);
                       ed->ChkIsformat->setChecked(isFormat);
                       ed->BtnAdd->click();
                   });
        EXPECT_EQ(field(title, "isformat").toBool(), isFormat);
        const QVariant content = field(title, "content");
        if (isFormat) {
            const QByteArray rtf = content.toByteArray();
            EXPECT_TRUE(rtf.startsWith("{\\rtf")) << rtf.left(40).constData();
            EXPECT_TRUE(rtf.contains("\\b")) << "bold lost";
        } else {
            EXPECT_EQ(content.toString(), QStringLiteral("粗体 正文"));
        }
    }
}

TEST_F(SaveTest, PlainBodyKeepsItsLinesAndDropsPictures) {
    whileModal([&] { main->BtnAddClick(); },
               [&] {
                   typeArticle(QStringLiteral("读书"), QStringLiteral("两行"),
                               QStringLiteral("第一行\n第二行"));
                   QImage pic(8, 8, QImage::Format_RGB32);
                   pic.fill(Qt::red);
                   ed->Editor->document()->addResource(QTextDocument::ImageResource,
                                                       QUrl(QStringLiteral("p")), pic);
                   QTextImageFormat img;
                   img.setName(QStringLiteral("p"));
                   ed->Editor->textCursor().insertImage(img);
                   ed->ChkIsformat->setChecked(false);
                   ed->BtnAdd->click();
               });
    EXPECT_EQ(field("两行", "content").toString(), QStringLiteral("第一行\r\n第二行"));
}

// The body check is the pane's plain text, in which a picture stands as a
// placeholder character: a body of pictures only is an article.
TEST_F(SaveTest, PicturesOnlyBodyIsAcceptedAndStoredAsRtf) {
    whileModal([&] { main->BtnAddClick(); },
               [&] {
                   typeArticle(QStringLiteral("读书"), QStringLiteral("图片"), QString());
                   QImage pic(8, 8, QImage::Format_RGB32);
                   pic.fill(Qt::blue);
                   ed->Editor->document()->addResource(QTextDocument::ImageResource,
                                                       QUrl(QStringLiteral("p")), pic);
                   QTextImageFormat img;
                   img.setName(QStringLiteral("p"));
                   ed->Editor->textCursor().insertImage(img);
                   ed->ChkIsformat->setChecked(true);
                   EXPECT_EQ(ed->BtnAddClick(), TAddForm::SaveResult::Saved);
               });
    EXPECT_FALSE(prompt.texts().contains(kEmptyMessage));
    EXPECT_TRUE(field("图片", "content").toByteArray().contains("\\pict"));
}

TEST_F(SaveTest, FormatFlagKeepsItsStateBetweenAddShowings) {
    whileModal([&] { main->BtnAddClick(); }, [&] { ed->ChkIsformat->setChecked(true); });
    whileModal([&] { main->BtnAddClick(); }, [&] { EXPECT_TRUE(ed->ChkIsformat->isChecked()); });
}

struct EmptyCase {
    const char* name;
    const char* category;
    const char* title;
    const char* body;
};

TEST_F(SaveTest, EachEmptyFieldGivesTheValidationMessageAndWritesNothing) {
    const EmptyCase cases[] = {
        {"no category (add starts without one)", "", "题目", "正文"},
        {"no title", "读书", "", "正文"},
        {"no body", "读书", "题目", ""},
    };
    for (const EmptyCase& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.clear();
        whileModal([&] { main->BtnAddClick(); },
                   [&] {
                       typeArticle(QString::fromUtf8(c.category), QString::fromUtf8(c.title),
                                   QString::fromUtf8(c.body));
                       EXPECT_EQ(ed->BtnAddClick(), TAddForm::SaveResult::Refused);
                       EXPECT_TRUE(ed->isVisible());
                       EXPECT_EQ(ed->EdtTheme->text(), QString::fromUtf8(c.title));
                   });
        ASSERT_FALSE(prompt.messages.isEmpty());
        EXPECT_EQ(prompt.messages[0].text, kEmptyMessage);
        EXPECT_EQ(prompt.messages[0].caption, QStringLiteral("提示"));
        EXPECT_EQ(prompt.messages[0].icon, Icon::Error);
        EXPECT_EQ(rowCount(), 3);
    }
}

TEST_F(SaveTest, CancelledConfirmationWritesNothingAndKeepsTheText) {
    whileModal([&] { main->BtnAddClick(); },
               [&] {
                   typeArticle(QStringLiteral("读书"), QStringLiteral("丁"),
                               QStringLiteral("正文"));
                   prompt.answers.enqueue(Answer::Cancel);
                   EXPECT_EQ(ed->BtnAddClick(), TAddForm::SaveResult::Refused);
                   EXPECT_EQ(ed->Editor->plainText(), QStringLiteral("正文"));
                   EXPECT_TRUE(ed->Editor->modified());
               });
    EXPECT_EQ(rowCount(), 3);
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("确认添加数据？")});
}

TEST_F(SaveTest, ModifyShowsTheArticleAndRewritesTheCurrentRow) {
    selectTitle(1);  // 乙
    const int id = field("乙", "id").toInt();
    bool hiddenAfterSave = false;
    whileModal([&] { main->BtnModifyClick(); },
               [&] {
                   EXPECT_FALSE(ed->BtnAdd->isEnabled());
                   EXPECT_TRUE(ed->BtnModify->isEnabled());
                   EXPECT_FALSE(ed->FileSaveDb->isEnabled());
                   EXPECT_FALSE(ed->action("SaveDbBtn")->isEnabled());
                   EXPECT_FALSE(ed->ChkIsformat->isChecked());
                   EXPECT_EQ(ed->EdtTheme->text(), QStringLiteral("乙"));
                   EXPECT_EQ(ed->CBXgroup->currentText(), QStringLiteral("读书"));
                   EXPECT_EQ(ed->Editor->plainText(), QStringLiteral("乙的正文"));
                   EXPECT_EQ(ed->documentName(), QStringLiteral("乙"));
                   EXPECT_EQ(ed->windowTitle(), QStringLiteral("乙 - 砚溪舟-云笺录"));
                   EXPECT_FALSE(ed->Editor->modified());
                   ed->EdtTheme->setText(QStringLiteral("乙改"));
                   ed->CBXgroup->setEditText(QStringLiteral("全部"));
                   ed->Editor->selectAll();
                   ed->Editor->insertPlainText(QStringLiteral("新正文"));
                   ed->BtnModify->click();
                   hiddenAfterSave = !ed->isVisible();
               });
    EXPECT_TRUE(hiddenAfterSave);
    EXPECT_EQ(prompt.texts(), (QStringList{QStringLiteral("确认修改数据库中数据？"),
                                           QStringLiteral("文章修改完成！")}));
    EXPECT_EQ(rowCount(), 3);
    EXPECT_EQ(field("乙改", "id").toInt(), id);
    EXPECT_EQ(field("乙改", "[group]").toString(), QStringLiteral("未分类"));
    EXPECT_EQ(field("乙改", "content").toString(), QStringLiteral("新正文"));
    EXPECT_EQ(field("乙改", "SeqNo").toInt(), 2);
    EXPECT_EQ(main->CBXgroup->currentText(), QStringLiteral("未分类"));
    EXPECT_EQ(titlesInList().size(), 1);
}

class RichArticleTest : public EditorFixture {
  protected:
    void seed() override {
        db.addArticle("datum", "读书", "格式", 1, true,
                      QByteArray("{\\rtf1\\ansi\\ansicpg936 {\\b Bold} text}"));
    }
};

TEST_F(RichArticleTest, ModifyShowsARichTextArticleFormattedWithTheFlagTicked) {
    selectTitle(0);
    whileModal([&] { main->BtnModifyClick(); },
               [&] {
                   EXPECT_TRUE(ed->ChkIsformat->isChecked());
                   EXPECT_EQ(ed->Editor->plainText(), QStringLiteral("Bold text"));
                   QTextCursor c(ed->Editor->document());
                   c.setPosition(1);
                   EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
                   c.setPosition(7);
                   EXPECT_NE(c.charFormat().fontWeight(), QFont::Bold);
               });
}

// ---------------------------------------------------------- failing writes

TEST_F(SaveTest, FailedAddKeepsTheEditorOpenWithItsTextAndChangesNothing) {
    db.exec(QStringLiteral("update datum set SeqNo = 40 where theme = '乙'"));
    db.exec(QStringLiteral(
        "create trigger refuse_add before insert on datum begin select raise(abort, 'x'); end"));
    const QStringList before = seqNos();
    whileModal([&] { main->BtnAddClick(); },
               [&] {
                   typeArticle(QStringLiteral("读书"), QStringLiteral("丁"),
                               QStringLiteral("正文"));
                   EXPECT_EQ(ed->BtnAddClick(), TAddForm::SaveResult::Failed);
                   EXPECT_TRUE(ed->isVisible());
                   EXPECT_EQ(ed->EdtTheme->text(), QStringLiteral("丁"));
                   EXPECT_EQ(ed->Editor->plainText(), QStringLiteral("正文"));
                   EXPECT_TRUE(ed->Editor->modified());
                   // Closing asks, Yes tries again, fails again: the window stays.
                   prompt.clear();
                   ed->close();
                   EXPECT_TRUE(ed->isVisible());
                   ASSERT_FALSE(prompt.messages.isEmpty());
                   EXPECT_EQ(prompt.messages.back().kind, RecordedMessage::ErrorReport);
               });
    ASSERT_FALSE(prompt.messages.isEmpty());
    EXPECT_EQ(prompt.messages.back().text, kWriteFailed);
    EXPECT_EQ(rowCount(), 3);
    // The renumbering before the append was rolled back with it.
    EXPECT_EQ(seqNos(), before);
}

TEST_F(SaveTest, FailedModifyKeepsTheEditorOpenAndTheRowUnchanged) {
    selectTitle(0);
    db.exec(QStringLiteral(
        "create trigger refuse_edit before update on datum begin select raise(abort, 'x'); end"));
    whileModal([&] { main->BtnModifyClick(); },
               [&] {
                   ed->EdtTheme->setText(QStringLiteral("甲改"));
                   EXPECT_EQ(ed->BtnModifyClick(), TAddForm::SaveResult::Failed);
                   EXPECT_TRUE(ed->isVisible());
                   EXPECT_EQ(ed->EdtTheme->text(), QStringLiteral("甲改"));
               });
    EXPECT_EQ(prompt.messages.back().kind, RecordedMessage::ErrorReport);
    EXPECT_EQ(prompt.messages.back().text, kWriteFailed);
    EXPECT_EQ(field("甲", "content").toString(), QStringLiteral("甲的正文"));
    EXPECT_EQ(rowCount(QStringLiteral("datum")), 3);
}

// ------------------------------------------------------ save-changes query

struct QueryCase {
    const char* name;
    Answer answer;
    bool closes;  // the window is hidden afterwards
    bool stored;  // an article was added
};

TEST_F(SaveTest, CloseInAddModeAsksToAddTheArticle) {
    const QueryCase cases[] = {
        {"Yes adds and closes", Answer::Yes, true, true},
        {"No drops the changes and closes", Answer::No, true, false},
        {"Cancel keeps the window open", Answer::Cancel, false, false},
    };
    for (const QueryCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = rowCount();
        prompt.clear();
        bool hidden = false;
        bool modifiedAfter = true;
        whileModal([&] { main->BtnAddClick(); },
                   [&] {
                       typeArticle(QStringLiteral("读书"), QStringLiteral("题目"),
                                   QStringLiteral("正文"));
                       prompt.answers.enqueue(c.answer);
                       ed->close();
                       hidden = !ed->isVisible();
                       modifiedAfter = ed->Editor->modified();
                   });
        ASSERT_FALSE(prompt.messages.isEmpty());
        const RecordedMessage& q = prompt.messages[0];
        EXPECT_EQ(q.text, QStringLiteral("将文件 题目 添加到数据库?"));
        EXPECT_EQ(q.caption, QStringLiteral("确认"));
        EXPECT_EQ(q.buttons, Buttons::YesNoCancel);
        EXPECT_EQ(q.icon, Icon::Question);
        EXPECT_EQ(hidden, c.closes);
        EXPECT_EQ(rowCount() - before, c.stored ? 1 : 0);
        // No drops the changes; Cancel keeps them.
        EXPECT_EQ(modifiedAfter, c.answer == Answer::Cancel);
    }
}

TEST_F(SaveTest, YesThenCancelledConfirmationStillClosesWithoutStoring) {
    bool hidden = false;
    whileModal([&] { main->BtnAddClick(); },
               [&] {
                   typeArticle(QStringLiteral("读书"), QStringLiteral("题目"),
                               QStringLiteral("正文"));
                   prompt.answers.enqueue(Answer::Yes);
                   prompt.answers.enqueue(Answer::Cancel);
                   ed->close();
                   hidden = !ed->isVisible();
               });
    EXPECT_TRUE(hidden);
    EXPECT_EQ(prompt.texts(), (QStringList{QStringLiteral("将文件 题目 添加到数据库?"),
                                           QStringLiteral("确认添加数据？")}));
    EXPECT_EQ(rowCount(), 3);
}

TEST_F(SaveTest, CloseInModifyModeAsksToSaveIntoTheDatabase) {
    selectTitle(2);  // 丙
    whileModal([&] { main->BtnModifyClick(); },
               [&] {
                   ed->Editor->moveCursor(QTextCursor::End);
                   ed->Editor->insertPlainText(QStringLiteral("补充"));
                   prompt.answers.enqueue(Answer::Yes);
                   ed->close();
                   EXPECT_FALSE(ed->isVisible());
               });
    ASSERT_GE(prompt.messages.size(), 3);
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("数据库中文件 丙 已修改，保存?"));
    EXPECT_EQ(prompt.messages[1].text, QStringLiteral("确认修改数据库中数据？"));
    EXPECT_EQ(field("丙", "content").toString(), QStringLiteral("丙的正文补充"));
    EXPECT_EQ(prompt.texts().count(QStringLiteral("文章修改完成！")), 1);
}

TEST_F(SaveTest, NewAsksFirstAndCancelKeepsTheDocument) {
    showEditor();
    typeArticle(QStringLiteral("读书"), QStringLiteral("题目"), QStringLiteral("正文"));
    prompt.answers.enqueue(Answer::Cancel);
    EXPECT_FALSE(ed->FileNew());
    EXPECT_EQ(ed->Editor->plainText(), QStringLiteral("正文"));
    prompt.answers.enqueue(Answer::No);
    EXPECT_TRUE(ed->FileNew());
    EXPECT_TRUE(ed->Editor->plainText().isEmpty());
    EXPECT_TRUE(ed->EdtTheme->text().isEmpty());
    EXPECT_EQ(rowCount(), 3);
    // Unmodified: no question at all.
    prompt.clear();
    EXPECT_TRUE(ed->FileNew());
    EXPECT_TRUE(prompt.messages.isEmpty());
}

// ------------------------------------------------------------ status bar

TEST_F(SaveTest, StatusBarShowsWorkbookModifiedMarkAndHints) {
    showEditor();
    EXPECT_EQ(ed->statusPanels[3]->text(), QStringLiteral("当前工作簿："));
    EXPECT_EQ(ed->statusPanels[4]->text(), QStringLiteral("【主工作簿】"));
    EXPECT_EQ(ed->windowTitle(), QStringLiteral("Untitled - 砚溪舟-云笺录"));
    EXPECT_TRUE(ed->statusPanels[1]->text().isEmpty());
    ed->Editor->insertPlainText(QStringLiteral("字"));
    EXPECT_EQ(ed->statusPanels[1]->text(), QStringLiteral("Modified"));
    ed->MarkUnmodified();
    EXPECT_TRUE(ed->statusPanels[1]->text().isEmpty());

    QStatusTipEvent hint(QStringLiteral("存入数据库提交按钮"));
    QApplication::sendEvent(ed.get(), &hint);
    EXPECT_EQ(ed->statusBar()->currentMessage(), QStringLiteral("存入数据库提交按钮"));
    for (QLabel* p : ed->statusPanels) EXPECT_TRUE(p->isHidden());
    QStatusTipEvent noHint{QString()};
    QApplication::sendEvent(ed.get(), &noHint);
    for (QLabel* p : ed->statusPanels) EXPECT_FALSE(p->isHidden());
}

TEST_F(SaveTest, CaptionUsesTheFileNamePartOfTheDocumentName) {
    showEditor();
    ed->SetDocumentName(QStringLiteral("/tmp/目录/笔记.rtf"));
    EXPECT_EQ(ed->windowTitle(), QStringLiteral("笔记.rtf - 砚溪舟-云笺录"));
    EXPECT_EQ(ed->Editor->document()->metaInformation(QTextDocument::DocumentTitle),
              QStringLiteral("笔记.rtf"));
}

}  // namespace
}  // namespace editortest
