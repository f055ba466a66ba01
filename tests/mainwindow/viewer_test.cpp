// The article viewer: showing by position, plain text after rich text, zoom,
// background, links, copy through the copy buffer and the find dialog.

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>

#include "platform/Shell.h"
#include "tests/mainwindow/MainFixture.h"
#include "widgets/ViewerFindDialog.h"

using namespace mwtest;

namespace {

class ViewerTest : public EmptyDbTest {
  protected:
    // Shows a plain body in a one-article workbook.
    void showPlain(const QString& body) {
        db.addArticle("datum", "g", "t", 1, false, body.toUtf8());
        open();
        click(0);
        ASSERT_EQ(w->RichEdit1->plainText().trimmed(), body);
    }
    void find(const QString& text, bool down) {
        w->BtnFindTextClick();
        ViewerFindDialog* d = w->findDialog();
        ASSERT_NE(d, nullptr);
        d->setFindText(text);
        d->setDown(down);
        w->FindDialog1Find();
    }
};

// Bold 20-point text in another face.
const QByteArray kRtf(
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}}"
    "\\f0\\fs40\\b Rich\\par\r\n}");

}  // namespace

TEST_F(ViewerTest, TheIthTitleShowsTheIthRowEvenWithDuplicateTitles) {
    db.addArticle("datum", "g", "甲", 1, false, "第一篇");
    db.addArticle("datum", "g", "同名", 2, false, "第二篇");
    db.addArticle("datum", "h", "乙", 3, false, "第三篇");
    db.addArticle("datum", "k", "同名", 4, false, "第四篇");
    open();
    click(3);
    EXPECT_EQ(w->RichEdit1->plainText().trimmed(), "第四篇");
    EXPECT_EQ(w->session().shown.title, "同名");
    EXPECT_EQ(w->session().shown.group, "k");
    EXPECT_FALSE(w->session().shown.isFormat);
    click(1);
    EXPECT_EQ(w->RichEdit1->plainText().trimmed(), "第二篇");
    EXPECT_EQ(w->session().shown.group, "g");
    // Keyboard selection shows too.
    w->ListBox1->setFocus();
    key(w->ListBox1, Qt::Key_Down);
    EXPECT_EQ(w->RichEdit1->plainText().trimmed(), "第三篇");
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(ViewerTest, PlainTextAfterRichTextUsesTheViewerFont) {
    db.addArticle("datum", "g", "rich", 1, true, kRtf);
    db.addArticle("datum", "g", "plain", 2, false, "第一行\r\n第二行");
    open();
    click(0);
    EXPECT_TRUE(w->session().shown.isFormat);
    QTextCursor c(w->RichEdit1->document());
    c.setPosition(1);
    ASSERT_TRUE(c.charFormat().font().bold());
    click(1);
    EXPECT_FALSE(w->session().shown.isFormat);
    EXPECT_EQ(w->RichEdit1->document()->firstBlock().text(), "第一行");
    EXPECT_EQ(w->RichEdit1->document()->firstBlock().next().text(), "第二行");
    c = QTextCursor(w->RichEdit1->document());
    c.setPosition(1);
    const QFont f = c.charFormat().font();
    EXPECT_FALSE(f.bold());
    EXPECT_EQ(f.family(), "宋体");
    const bool twelvePixels = f.pixelSize() == 12 || qFuzzyCompare(f.pointSizeF(), 9.0);
    EXPECT_TRUE(twelvePixels) << f.pixelSize() << " " << f.pointSizeF();
}

TEST_F(ViewerTest, ZoomStepsStopAtBothEndsAndSurviveTheNextArticle) {
    db.addArticle("datum", "g", "a", 1, false, "一");
    db.addArticle("datum", "g", "b", 2, false, "二");
    open();
    struct Case {
        const char* start;
        const char* action;
        int times;
        const char* expected;
    };
    const Case cases[] = {{"100%", "mmZoomI", 3, "130%"},
                          {"200%", "mmZoomI", 1, "200%"},
                          {"50%", "mmZoomR", 1, "50%"},
                          {"60%", "mmZoomR", 2, "50%"},
                          {"190%", "mmZoomI", 1, "200%"}};
    for (const Case& c : cases) {
        w->CBXscale->setCurrentIndex(w->CBXscale->findText(c.start));
        w->CBXscaleChange();
        for (int k = 0; k < c.times; ++k) w->action(c.action)->trigger();
        EXPECT_EQ(w->CBXscale->currentText(), c.expected) << c.start << c.action;
        const double n = QString(c.expected).chopped(1).toDouble();
        EXPECT_DOUBLE_EQ(w->RichEdit1->zoomFactor(), n / 100) << c.start << c.action;
    }
    click(0);
    click(1);
    EXPECT_DOUBLE_EQ(w->RichEdit1->zoomFactor(), 2.0);
    EXPECT_EQ(w->action("mmZoomR")->shortcut(), QKeySequence(Qt::Key_Insert));
    EXPECT_EQ(w->action("mmZoomI")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Insert));
}

TEST_F(ViewerTest, BackgroundChooserColoursTheViewer) {
    open();
    w->setViewerBackgroundCode(0x0000FF);  // red as 0x00BBGGRR
    EXPECT_EQ(w->RichEdit1->palette().color(QPalette::Base), QColor(255, 0, 0));
    w->cxColorComboBox1->setCurrentIndex(w->cxColorComboBox1->findText("蓝色"));
    EXPECT_EQ(w->viewerBackgroundCode(), 0xFF0000);
    EXPECT_EQ(w->RichEdit1->palette().color(QPalette::Base), QColor(0, 0, 255));
}

TEST_F(ViewerTest, FindDownStepsThroughMatchesAndUpFindsTheNearerOne) {
    showPlain("word 甲 word 乙 word 丙 word");
    // positions: 0, 7, 14, 21
    w->RichEdit1->setSel(0, 0);
    find("word", true);
    EXPECT_EQ(w->RichEdit1->selStart(), 0);
    EXPECT_EQ(w->RichEdit1->selLength(), 4);
    w->FindDialog1Find();
    EXPECT_EQ(w->RichEdit1->selStart(), 7);
    w->FindDialog1Find();
    EXPECT_EQ(w->RichEdit1->selStart(), 14);

    // Upward from the caret at 18, after the third occurrence.
    w->RichEdit1->setSel(18, 0);
    find("word", false);
    EXPECT_EQ(w->RichEdit1->selStart(), 14);
    w->FindDialog1Find();
    EXPECT_EQ(w->RichEdit1->selStart(), 7);
    EXPECT_TRUE(prompt.messages.isEmpty());

    // Chinese text: the selection length counts characters.
    w->RichEdit1->setSel(0, 0);
    find("乙 word", true);
    EXPECT_EQ(w->RichEdit1->selStart(), 12);
    EXPECT_EQ(w->RichEdit1->selLength(), 6);
}

TEST_F(ViewerTest, FindWithoutMatchReportsAndPutsTheCaretAtTheEnd) {
    showPlain("只有 abc 在后面");
    w->RichEdit1->setSel(1, 0);
    find("abc", false);  // the only match lies after the caret
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, "文字 \"abc\" 没有发现！");
    EXPECT_EQ(prompt.messages[0].caption, "提示");
    EXPECT_EQ(prompt.messages[0].icon, platform::Icon::Information);
    EXPECT_EQ(w->RichEdit1->selLength(), 0);
    EXPECT_EQ(w->RichEdit1->textCursor().position(),
              w->RichEdit1->document()->characterCount() - 1);
    EXPECT_TRUE(w->findDialog()->isVisible());
    w->findDialog()->close();
}

TEST_F(ViewerTest, CopyGoesThroughTheCopyBuffer) {
    showPlain("复制这一段文字");
    QApplication::clipboard()->setText("old");
    w->RichEdit1->setSel(0, 0);
    w->action("N1")->trigger();
    const QMimeData* md = QApplication::clipboard()->mimeData();
    EXPECT_TRUE(md == nullptr || md->text().isEmpty());

    w->RichEdit1->setSel(2, 3);
    w->N1Click();
    EXPECT_EQ(QApplication::clipboard()->text(), "这一段");
    EXPECT_EQ(w->copyBuffer->plainText().trimmed(), "这一段");
    EXPECT_FALSE(w->copyBuffer->isVisible());
}

TEST_F(ViewerTest, OnlyALeftClickOpensALink) {
    open();
    QStringList opened;
    platform::setShellHook([&opened](const platform::ShellRequest& r) {
        opened << r.target;
        return true;
    });
    w->RichEdit1URLClick("http://example.com/", Qt::RightButton);
    w->RichEdit1URLClick("http://example.com/", Qt::MiddleButton);
    EXPECT_TRUE(opened.isEmpty());
    w->RichEdit1URLClick("http://example.com/", Qt::LeftButton);
    EXPECT_EQ(opened, L({"http://example.com/"}));
    platform::setShellHook({});
}

TEST_F(ViewerTest, ATitleWithoutRowReportsArticleNotFound) {
    db.addArticle("datum", "g", "a", 1, false, "正文");
    open();
    click(0);
    // A placeholder line with no row behind it (as the title search lists).
    w->ListBox1->addItem("没有找到");
    w->ListBox1->selectQuietly(1);
    w->ListBox1Click();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].text, "文章未找到！");
    EXPECT_EQ(prompt.messages[0].caption, "提示:");
    EXPECT_EQ(prompt.messages[0].icon, platform::Icon::Error);
}
