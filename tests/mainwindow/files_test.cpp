// Import, export and print in the real main window: the export file name
// rule, the overwrite question, plain text exported as rich text, import of
// text files (also into an editor already open from an import), and the
// printed page's margins.

#include <QFile>
#include <QPrinter>

#include "mainwindow/PrintMargins.h"
#include "platform/core/TextCodec.h"
#include "tests/mainwindow/CommandsFixture.h"

using namespace cmdtest;

namespace {

class FilesTest : public MainWindowTest {
  protected:
    QString path(const QString& name) const { return db.dir() + u'/' + name; }
    static QByteArray read(const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString& p, const QByteArray& bytes) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

}  // namespace

TEST(ExportName, OnlyAnExactRtfEndingIsKept) {
    struct Case {
        const char* chosen;
        const char* target;
    } cases[] = {
        {"/d/摘要", "/d/摘要.rtf"},         {"/d/摘要.txt", "/d/摘要.txt.rtf"},
        {"/d/摘要.RTF", "/d/摘要.RTF.rtf"}, {"/d/摘要.rtf", "/d/摘要.rtf"},
        {"/d.rtf/摘要", "/d.rtf/摘要.rtf"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(exportTargetPath(QString::fromUtf8(c.chosen)), QString::fromUtf8(c.target));
}

TEST(PrintPage, TwentyMillimetresInsideThePrintableArea) {
    const QRect r = printPageRect(600, 600, QSize(4800, 6600));
    EXPECT_EQ(r.left(), 472);
    EXPECT_EQ(r.top(), 472);
    EXPECT_EQ(r.left() + r.width(), 4800 - 472);
    EXPECT_EQ(r.top() + r.height(), 6600 - 472);
    const QRect s = printPageRect(300, 360, QSize(2400, 3300));
    EXPECT_EQ(s.left(), 236);  // 236.2
    EXPECT_EQ(s.top(), 283);   // 283.46
}

TEST_F(FilesTest, ExportWithoutSelectionOpensNoDialog) {
    db.addArticle("datum", "g", "摘要", 1);
    open();
    w->mmExportClick();
    EXPECT_EQ(prompt.texts(), L({"请选择要导出的文章题目!"}));
    EXPECT_EQ(prompt.messages[0].caption, "提示");
    EXPECT_EQ(prompt.messages[0].icon, platform::Icon::Information);
    EXPECT_TRUE(prompt.fileRequests.isEmpty());
}

TEST_F(FilesTest, PlainTextArticleIsExportedAsRichText) {
    db.addArticle("datum", "g", "摘要", 1, false, "第一行\r\n第二行 abc");
    open();
    click(0);
    prompt.fileAnswers.enqueue(testsupport::pick(path("摘要")));
    w->mmExportClick();
    ASSERT_EQ(prompt.fileRequests.size(), 1);
    EXPECT_EQ(prompt.fileRequests[0].fileName, "摘要");
    EXPECT_TRUE(prompt.messages.isEmpty());  // no message after a good export
    const QByteArray rtf = read(path("摘要.rtf"));
    ASSERT_TRUE(rtf.startsWith("{\\rtf"));
    richtext::RichEditCtrl back;
    back.loadFromFile(path("摘要.rtf"));
    EXPECT_TRUE(back.plainText().contains("第一行"));
    EXPECT_TRUE(back.plainText().contains("第二行 abc"));
    EXPECT_FALSE(QFile::exists(path("摘要")));
}

TEST_F(FilesTest, OverwriteOnlyAfterYes) {
    db.addArticle("datum", "g", "摘要", 1, false, "新的正文");
    open();
    click(0);
    struct Case {
        platform::Answer answer;
        bool written;
    } cases[] = {{platform::Answer::No, false},
                 {platform::Answer::Cancel, false},
                 {platform::Answer::Yes, true}};
    for (const Case& c : cases) {
        write(path("x.rtf"), "old");
        prompt.clear();
        prompt.fileAnswers.enqueue(testsupport::pick(path("x")));
        prompt.answers.enqueue(c.answer);
        w->mmExportClick();
        ASSERT_EQ(prompt.messages.size(), 1);
        EXPECT_EQ(prompt.messages[0].text, "文件已经存在，覆盖 " + path("x.rtf") + " ？");
        EXPECT_EQ(prompt.messages[0].caption, "Confirm");
        EXPECT_EQ(prompt.messages[0].buttons, platform::Buttons::YesNoCancel);
        EXPECT_EQ(prompt.messages[0].icon, platform::Icon::Question);
        EXPECT_EQ(read(path("x.rtf")) != "old", c.written);
    }
    EXPECT_FALSE(QFile::exists(path("x")));
}

TEST_F(FilesTest, ImportOfATextFileStartsANewArticle) {
    write(path("readme.TXT"), platform::toGbk(QStringLiteral("说明文字\r\n第二行")));
    write(path("other.txt"), platform::toGbk(QStringLiteral("另一个文件")));
    open();
    w->session().editorMode = session::EditorMode::Modify;
    prompt.fileAnswers.enqueue(testsupport::pick(path("readme.TXT")));
    w->mmImportClick();
    ASSERT_EQ(prompt.fileRequests.size(), 1);
    EXPECT_TRUE(prompt.fileRequests[0].filter.startsWith("Rich Text Files"));
    EXPECT_EQ(session::editorModeName(w->session().editorMode), "add");
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->EdtTheme->text(), "readme.TXT");
    EXPECT_TRUE(editor->Editor->plainText().contains("说明文字"));
    EXPECT_EQ(testsupport::titles(db.conn(), "datum"), QStringList());  // nothing stored

    // Again while the editor is still open: it takes the new file, no error.
    prompt.fileAnswers.enqueue(testsupport::pick(path("other.txt")));
    w->mmImportClick();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->EdtTheme->text(), "other.txt");
    EXPECT_TRUE(editor->Editor->plainText().contains("另一个文件"));
    for (const auto& m : prompt.messages)
        EXPECT_NE(m.kind, testsupport::RecordedMessage::ErrorReport);
    editor->hide();

    // A cancelled dialog does nothing.
    w->mmImportClick();
    EXPECT_FALSE(editor->isVisible());
}

// A print dialog that sends the job to a PDF file.
class PdfPrompt : public testsupport::ScriptedPrompt {
  public:
    QString pdf;
    int resolution = 0;
    bool printDialog(QWidget*, QPrinter* printer) override {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        resolution = printer->resolution();
        return true;
    }
};

TEST_F(FilesTest, PrintRightAfterStartPrintsTheWelcomeText) {
    open();
    {
        PdfPrompt pdfPrompt;
        pdfPrompt.pdf = path("out.pdf");
        w->mmPrintClick();
        EXPECT_TRUE(pdfPrompt.messages.isEmpty());
        EXPECT_GT(pdfPrompt.resolution, 0);
    }
    platform::setPrompt(&prompt);
    const QByteArray pdf = read(path("out.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_GT(pdf.size(), 1000);
}

TEST_F(FilesTest, PrintNeedsTheDialogConfirmed) {
    open();
    prompt.printAccept = false;
    w->mmPrintClick();  // nothing printed, nothing asked beyond the dialog
    EXPECT_TRUE(prompt.messages.isEmpty());
    w->mmPrintSetupClick();
    EXPECT_TRUE(prompt.messages.isEmpty());
}
