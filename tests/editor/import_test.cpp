// Word-processor import and paste of web content through LibreOffice.
// The documents are written by the test: an HTML page with Chinese text, bold,
// a colour and a picture, and the same page as .docx and .doc made by
// LibreOffice. Tests that need LibreOffice fail when it is missing (see
// tests/support/WordProcessor.h).

#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QThread>

#include "editor/EditorCommands.h"
#include "editor/ThreadUnit.h"
#include "platform/OfficeServer.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/WordProcessor.h"

namespace {

using platform::OfficeServer;

const QString kHtml = QStringLiteral(
    "<html><head><meta charset=\"utf-8\"></head><body>"
    "<p>云笺导入测试<b>粗体文字</b><span style=\"color:#ff0000\">红色文字</span>"
    "<img src=\"pic.png\" width=\"16\" height=\"16\"></p></body></html>");

// The documents every import test uses, made once.
struct Documents {
    QTemporaryDir dir;
    QString html, docx, doc;
    QString error;
    bool ok = false;
};

Documents& documents() {
    static Documents d = [] {
        Documents x;
        QImage pic(16, 16, QImage::Format_RGB32);
        pic.fill(Qt::blue);
        pic.save(x.dir.filePath(QStringLiteral("pic.png")), "PNG");
        x.html = x.dir.filePath(QStringLiteral("文章.html"));
        QFile f(x.html);
        if (f.open(QIODevice::WriteOnly)) f.write(kHtml.toUtf8());
        f.close();
        const auto docx =
            OfficeServer::convert(x.html, QStringLiteral("docx:MS Word 2007 XML"), x.dir.path());
        const auto doc =
            OfficeServer::convert(x.html, QStringLiteral("doc:MS Word 97"), x.dir.path());
        x.ok = docx && doc;
        x.error = !docx ? docx.error() : doc.error();
        if (x.ok) {
            x.docx = docx.value();
            x.doc = doc.value();
        }
        return x;
    }();
    return d;
}

QStringList importDirs() {
    return QDir(QDir::tempPath())
        .entryList({QStringLiteral("yunjan-import-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
}

class ImportTest : public editortest::EditorFixture {
  protected:
    void SetUp() override {
        EditorFixture::SetUp();
        OfficeServer::setTimeoutMs(60000);
        showEditor();
    }
    void TearDown() override {
        waitForWorkers();
        OfficeServer::setSearchPath(std::nullopt);
        EditorFixture::TearDown();
    }
    static void TearDownTestSuite() { OfficeServer::quit(); }

    // Lets the workers finish and their pane changes arrive (bounded).
    void waitForWorkers() {
        QDeadlineTimer deadline(150000);
        while (OpenFilesThread::activeCount() > 0 && !deadline.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        ASSERT_EQ(OpenFilesThread::activeCount(), 0) << "an import did not finish in time";
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    }

    void importFile(const QString& path) {
        prompt.fileAnswers.enqueue(testsupport::pick(path));
        ed->FileOopenWordClick();
    }

    QString paneText() const { return ed->Editor->document()->toPlainText(); }

    // The character format of the first fragment holding text.
    QTextCharFormat formatOf(const QString& text) const {
        QTextDocument* d = ed->Editor->document();
        for (QTextBlock b = d->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().text().contains(text)) return it.fragment().charFormat();
        return {};
    }

    bool hasPicture() const {
        QTextDocument* d = ed->Editor->document();
        for (QTextBlock b = d->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat()) return true;
        return false;
    }

    void expectImportedPage() {
        const QString text = paneText();
        EXPECT_TRUE(text.contains(QStringLiteral("云笺导入测试"))) << text.toStdString();
        EXPECT_FALSE(text.contains(TAddForm::busyText()));
        EXPECT_EQ(formatOf(QStringLiteral("粗体文字")).fontWeight(), QFont::Bold);
        EXPECT_EQ(formatOf(QStringLiteral("红色文字")).foreground().color(), QColor(255, 0, 0));
        EXPECT_TRUE(hasPicture());
    }
};

TEST_F(ImportTest, ImportDialogOffersTheSupportedDocuments) {
    ed->FileOopenWordClick();  // cancelled: nothing starts
    ASSERT_EQ(prompt.fileRequests.size(), 1);
    const QString filter = prompt.fileRequests.front().filter;
    for (const char* entry :
         {"所有支持文档 (*.DOC *.DOT *.HTM *.HTML *.MHT *.MHTML *.WRI *.DOCX)",
          "Word文档 (*.doc *.dot)", "XML 文件 (*.XML)", "所有网页 (*.htm *.html *.mht *.mhtml)",
          "Windows Write (*.wri)", "Word2007  文档 (*.docx)"})
        EXPECT_TRUE(filter.contains(QString::fromUtf8(entry))) << entry;
    EXPECT_EQ(OpenFilesThread::activeCount(), 0);
}

TEST_F(ImportTest, EachDocumentFormatFillsThePaneWithItsTextAndFormats) {
    REQUIRE_WORD_PROCESSOR();
    Documents& docs = documents();
    ASSERT_TRUE(docs.ok) << docs.error.toStdString();
    const QStringList before = importDirs();
    for (const QString& path : {docs.html, docs.docx, docs.doc}) {
        SCOPED_TRACE(path.toStdString());
        ed->Editor->setPlainText(QStringLiteral("旧的内容"));
        importFile(path);
        waitForWorkers();
        EXPECT_FALSE(paneText().contains(QStringLiteral("旧的内容")));
        expectImportedPage();
        EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.lastText().toStdString();
    }
    // Nothing of the imports stays in the temporary folder.
    EXPECT_EQ(importDirs(), before);
}

TEST_F(ImportTest, PasteWebFormatInsertsAtTheCaretAndKeepsTheRest) {
    REQUIRE_WORD_PROCESSOR();
    ed->Editor->setPlainText(QStringLiteral("前面的字后面的字"));
    QTextCursor c = ed->Editor->textCursor();
    c.setPosition(4);
    ed->Editor->setTextCursor(c);
    auto* mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b>网页粗体</b>"));
    QGuiApplication::clipboard()->setMimeData(mime);
    // The web-format commands follow the clipboard.
    EXPECT_TRUE(ed->commands()->action(QStringLiteral("EditPasteHtml"))->isEnabled());
    ed->EditPasteHtmlClick();
    waitForWorkers();
    const QString text = paneText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("前面的字网页粗体"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("后面的字"))) << text.toStdString();
    EXPECT_EQ(formatOf(QStringLiteral("网页粗体")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.lastText().toStdString();

    QGuiApplication::clipboard()->setText(QStringLiteral("纯文本"));
    QApplication::processEvents();
    EXPECT_FALSE(ed->commands()->action(QStringLiteral("EditPasteHtml"))->isEnabled());
}

TEST_F(ImportTest, TwoPastesAtOnceBothFinish) {
    REQUIRE_WORD_PROCESSOR();
    ed->Editor->setPlainText(QStringLiteral("正文"));
    ed->Editor->moveCursor(QTextCursor::End);
    auto* a = new QMimeData;
    a->setHtml(QStringLiteral("<p>第一段网页</p>"));
    QGuiApplication::clipboard()->setMimeData(a);
    ed->EditPasteHtmlClick();
    auto* b = new QMimeData;
    b->setHtml(QStringLiteral("<p>第二段网页</p>"));
    QGuiApplication::clipboard()->setMimeData(b);
    ed->EditPasteHtmlClick();
    EXPECT_EQ(OpenFilesThread::activeCount(), 2);
    waitForWorkers();
    const QString text = paneText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("正文"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("第一段网页"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("第二段网页"))) << text.toStdString();
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.lastText().toStdString();
}

TEST_F(ImportTest, ADocumentTheWordProcessorCannotOpenGivesThePaneBack) {
    REQUIRE_WORD_PROCESSOR();
    ed->Editor->setPlainText(QStringLiteral("原来的文章"));
    QTemporaryDir dir;
    importFile(dir.filePath(QStringLiteral("不存在.docx")));
    waitForWorkers();
    EXPECT_EQ(paneText(), QStringLiteral("原来的文章"));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages.front().text.startsWith(QStringLiteral("无法导入文档：")));
}

TEST_F(ImportTest, WithoutLibreOfficeTheNotInstalledMessageAndTheBusyText) {
    OfficeServer::quit();
    OfficeServer::setSearchPath(QString());  // soffice is nowhere on the path
    ed->Editor->setPlainText(QStringLiteral("原来的文章"));
    importFile(QStringLiteral("/nonexistent/a.docx"));
    waitForWorkers();
    EXPECT_EQ(paneText(), TAddForm::busyText());
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages.front().text,
              QStringLiteral("你的系统中，没有安装WORD组件，不能正常工作。"));
    EXPECT_EQ(prompt.messages.front().caption, QStringLiteral("提示框"));
    EXPECT_EQ(prompt.messages.front().icon, platform::Icon::Warning);

    // Paste web format: the message, the pane untouched.
    prompt.clear();
    ed->Editor->setPlainText(QStringLiteral("原来的文章"));
    ed->EditPasteHtmlClick();
    waitForWorkers();
    EXPECT_EQ(paneText(), QStringLiteral("原来的文章"));
    EXPECT_EQ(prompt.messages.size(), 1);
}

// A folder standing in for the search path, with scripts named soffice and
// python3.
struct FakeOffice {
    QTemporaryDir dir;
    void script(const QString& name, const QByteArray& body) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + body);
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    QByteArray file(const QString& name) const {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(ImportTest, WithoutThePythonBridgeTheNotInstalledMessage) {
    OfficeServer::quit();
    FakeOffice fake;
    // soffice is there, the interpreter has no uno module.
    fake.script("soffice", "/usr/bin/touch '" + fake.dir.filePath("started").toUtf8() +
                               "'\nexec /bin/sleep 60\n");
    fake.script("python3", "exit 1\n");
    OfficeServer::setSearchPath(fake.dir.path());
    ed->Editor->setPlainText(QStringLiteral("原来的文章"));
    importFile(fake.dir.filePath(QStringLiteral("a.htm")));
    waitForWorkers();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages.front().text,
              QStringLiteral("你的系统中，没有安装WORD组件，不能正常工作。"));
    EXPECT_EQ(paneText(), TAddForm::busyText());
    EXPECT_FALSE(OfficeServer::isRunning());
    EXPECT_FALSE(QFile::exists(fake.dir.filePath("started"))) << "no server started for nothing";
}

TEST_F(ImportTest, ShutdownEndsAServerThatDidNotAnswerWithoutAskingIt) {
    OfficeServer::quit();
    FakeOffice fake;
    // A server that never answers on its pipe; the bridge finds no server.
    fake.script("soffice", "exec /bin/sleep 60\n");
    fake.script("python3", "echo \"$3\" >> '" + fake.dir.filePath("calls").toUtf8() +
                               "'\n[ \"$2\" = 'import uno' ] && exit 0\nexit 4\n");
    OfficeServer::setSearchPath(fake.dir.path());
    QFile doc(fake.dir.filePath(QStringLiteral("a.htm")));
    ASSERT_TRUE(doc.open(QIODevice::WriteOnly));
    doc.write("<p>x</p>");
    doc.close();
    ed->Editor->setPlainText(QStringLiteral("原来的文章"));
    importFile(doc.fileName());
    waitForWorkers();
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages.front().text.startsWith(QStringLiteral("无法导入文档：")));
    EXPECT_EQ(paneText(), QStringLiteral("原来的文章"));
    ASSERT_TRUE(OfficeServer::isRunning());
    TAddForm::shutdownImportServer();
    EXPECT_FALSE(OfficeServer::isRunning());
    EXPECT_FALSE(fake.file("calls").contains("quit")) << fake.file("calls").constData();
}

TEST_F(ImportTest, ShutdownQuitsAnIdleServerAndLeavesABusyOne) {
    REQUIRE_WORD_PROCESSOR();
    Documents& docs = documents();
    ASSERT_TRUE(docs.ok) << docs.error.toStdString();
    ASSERT_TRUE(OfficeServer::connect());
    ASSERT_TRUE(OfficeServer::isRunning());
    {
        auto opened = OfficeServer::open(docs.html);
        ASSERT_TRUE(opened) << opened.error().toStdString();
        OfficeServer::Document& doc = opened.value();
        ASSERT_TRUE(doc.isOpen());
        EXPECT_EQ(OfficeServer::documentCount(), 1);
        TAddForm::shutdownImportServer();
        EXPECT_TRUE(OfficeServer::isRunning());
    }
    EXPECT_EQ(OfficeServer::documentCount(), 0);
    TAddForm::shutdownImportServer();
    EXPECT_FALSE(OfficeServer::isRunning());
}

// Office processes running on this user's server profile.
int serverProcesses() {
    const QByteArray profile = QStringLiteral("yunjan-office-%1").arg(::getuid()).toUtf8();
    int n = 0;
    for (const QString& e : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile f(QStringLiteral("/proc/%1/cmdline").arg(e));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray cmd = f.readAll();
        if (cmd.contains("soffice") && cmd.contains(profile)) ++n;
    }
    return n;
}

TEST_F(ImportTest, ShutdownAlsoQuitsAServerAnEarlierRunLeftBehind) {
    REQUIRE_WORD_PROCESSOR();
    Documents& docs = documents();
    ASSERT_TRUE(docs.ok) << docs.error.toStdString();
    ASSERT_TRUE(OfficeServer::connect());
    OfficeServer::disown();  // an earlier run ended without quitting its server
    ASSERT_GT(serverProcesses(), 0);

    // This run's start hands over to that server, which then does the work.
    ASSERT_TRUE(OfficeServer::connect());
    {
        const auto opened = OfficeServer::open(docs.html);
        ASSERT_TRUE(opened) << opened.error().toStdString();
        EXPECT_TRUE(opened.value().isOpen());
    }
    TAddForm::shutdownImportServer();
    QDeadlineTimer deadline(15000);
    while (serverProcesses() > 0 && !deadline.hasExpired()) QThread::msleep(100);
    EXPECT_EQ(serverProcesses(), 0);
}

}  // namespace

namespace {

// The import dialog with real files: each entry shows exactly the files it
// names, in either case.
TEST(ImportFilter, EachEntryShowsTheFilesItNames) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList files = {"a.doc",  "b.htm", "c.docx",  "d.DOC", "e.dot",
                               "f.HTML", "g.mht", "h.MHTML", "i.wri", "j.xml",
                               "k.txt",  "l.DOT", "m.Docx",  "n.rtf", "o.mh"};
    for (const QString& name : files) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QStringList expected[] = {
        {"a.doc", "b.htm", "c.docx", "d.DOC", "e.dot", "f.HTML", "g.mht", "h.MHTML", "i.wri",
         "l.DOT", "m.Docx"},
        {"a.doc", "d.DOC", "e.dot", "l.DOT"},
        {"j.xml"},
        {"b.htm", "f.HTML", "g.mht", "h.MHTML"},
        {"i.wri"},
        {"c.docx", "m.Docx"},
    };
    QFileDialog dlg(nullptr, QString(), dir.path(), TAddForm::importFilter());
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    const QStringList entries = dlg.nameFilters();
    ASSERT_EQ(entries.size(), qsizetype(std::size(expected)));
    auto* model = dlg.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(entries[i].toStdString());
        dlg.selectNameFilter(entries[i]);
        QStringList shown;
        QDeadlineTimer deadline(10000);
        do {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            const QModelIndex root = model->index(dir.path());
            shown.clear();
            for (int r = 0; r < model->rowCount(root); ++r) {
                const QModelIndex ix = model->index(r, 0, root);
                if (model->flags(ix) & Qt::ItemIsEnabled) shown << model->fileName(ix);
            }
            shown.sort();
        } while (shown != expected[i] && !deadline.hasExpired());
        EXPECT_EQ(shown.join(' ').toStdString(), expected[i].join(' ').toStdString());
    }
}

TEST(OfficeServerRtf, EastAsianBoldAndItalicAlsoSetTheCommonAttributes) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"{\\dbch\\ab\\dbch \\u31895?}", "{\\dbch\\ab\\b\\dbch \\u31895?}"},
        {"{\\ai0 x}", "{\\ai0\\i0 x}"},
        {"{\\abc x}", "{\\abc x}"},    // another word
        {"{\\\\ab x}", "{\\\\ab x}"},  // an escaped backslash, then text
        {"{\\b\\ab1 x}", "{\\b\\ab1\\b1 x}"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::OfficeServer::wordStyleRtf(c.in), QByteArray(c.out)) << c.in;
}

}  // namespace
