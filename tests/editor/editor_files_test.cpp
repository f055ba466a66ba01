// The editor's document files: save-as naming and the overwrite question,
// save, open (read-only box, GBK text files), dropped files, print margins,
// export of a picture, New on protected text.
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QPrinter>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QUrl>

#include "EditorFixture.h"
#include "platform/core/TextCodec.h"
#include "richtext/Rtf.h"
#include "tests/support/Helpers.h"

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using testsupport::pick;

namespace editortest {
namespace {

using testsupport::readAll;

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class FilesTest : public EditorFixture {
  protected:
    QString path(const QString& name) const { return QDir(db.dir()).filePath(name); }
};

TEST(SaveAsTarget, AppendsRtfUnlessTheExtensionIsExactlyLowerCaseRtf) {
    const std::pair<const char*, const char*> cases[] = {
        {"/d/摘要", "/d/摘要.rtf"},         {"/d/摘要.rtf", "/d/摘要.rtf"},
        {"/d/摘要.RTF", "/d/摘要.RTF.rtf"}, {"/d/摘要.txt", "/d/摘要.txt.rtf"},
        {"/d.x/摘要", "/d.x/摘要.rtf"},
    };
    for (const auto& [chosen, target] : cases)
        EXPECT_EQ(TAddForm::saveAsTarget(QString::fromUtf8(chosen)), QString::fromUtf8(target))
            << chosen;
}

TEST(PrintPageRect, TwentyMillimetresInsideEachEdgeRounded) {
    struct Case {
        int dpiX, dpiY, w, h, mx, my;
    };
    const Case cases[] = {
        {600, 600, 4960, 7016, 472, 472},  // 472.44
        {300, 600, 2480, 7016, 236, 472},  // 236.22
        {96, 96, 794, 1123, 76, 76},       // 75.59
    };
    for (const Case& c : cases) {
        const QRect r = TAddForm::printPageRect(c.dpiX, c.dpiY, c.w, c.h);
        EXPECT_EQ(r.left(), c.mx);
        EXPECT_EQ(r.top(), c.my);
        EXPECT_EQ(r.width(), c.w - 2 * c.mx);
        EXPECT_EQ(r.height(), c.h - 2 * c.my);
    }
}

TEST_F(FilesTest, SaveAsProposesTheTitleAndWritesNamePlusRtf) {
    showEditor();
    typeArticle(QStringLiteral("读书"), QStringLiteral("摘要"), QStringLiteral("正文内容"));
    prompt.fileAnswers.enqueue(pick(path("摘要")));
    EXPECT_EQ(ed->FileSaveAs(), TAddForm::SaveResult::Saved);
    ASSERT_EQ(prompt.fileRequests.size(), 1);
    EXPECT_EQ(prompt.fileRequests[0].fileName, QStringLiteral("摘要"));
    EXPECT_EQ(prompt.fileRequests[0].filter, QStringLiteral("Rich Text Files (*.RTF)"));
    const QString target = path("摘要.rtf");
    EXPECT_FALSE(QFile::exists(path("摘要")));
    EXPECT_EQ(richtext::rtfToPlainText(readAll(target)).trimmed(), QStringLiteral("正文内容"));
    EXPECT_EQ(ed->documentName(), target);
    EXPECT_EQ(ed->windowTitle(), QStringLiteral("摘要.rtf - 砚溪舟-云笺录"));
    EXPECT_FALSE(ed->Editor->modified());
    EXPECT_TRUE(prompt.messages.isEmpty());  // nothing existed: no question
}

TEST_F(FilesTest, OverwriteQuestionNamesTheRtfTargetAndOnlyYesWrites) {
    const QString target = path("x.rtf");
    for (const Answer a : {Answer::No, Answer::Cancel, Answer::Yes}) {
        writeFile(target, "old");
        showEditor();
        typeArticle(QStringLiteral("读书"), QStringLiteral("x"), QStringLiteral("新内容"));
        prompt.clear();
        prompt.fileAnswers.enqueue(pick(path("x")));
        prompt.answers.enqueue(a);
        const TAddForm::SaveResult r = ed->FileSaveAs();
        ASSERT_EQ(prompt.messages.size(), 1);
        EXPECT_EQ(prompt.messages[0].text, QStringLiteral("文件已经存在，覆盖 %1 ？").arg(target));
        EXPECT_EQ(prompt.messages[0].buttons, Buttons::YesNoCancel);
        EXPECT_EQ(prompt.messages[0].icon, Icon::Question);
        if (a == Answer::Yes) {
            EXPECT_EQ(r, TAddForm::SaveResult::Saved);
            EXPECT_TRUE(readAll(target).startsWith("{\\rtf"));
            EXPECT_EQ(ed->documentName(), target);
        } else {
            EXPECT_EQ(r, TAddForm::SaveResult::Refused);
            EXPECT_EQ(readAll(target), QByteArray("old"));
            EXPECT_EQ(ed->documentName(), QStringLiteral("Untitled"));
            EXPECT_TRUE(ed->Editor->modified());
        }
        ed->Editor->setModified(false);
        ed->hide();
    }
}

TEST_F(FilesTest, SaveAsksForANameUnlessTheDocumentIsALowerCaseRtfFile) {
    struct Case {
        const char* name;  // document name ("" = Untitled)
        bool asks;
    };
    const Case cases[] = {{"", true}, {"a.txt", true}, {"a.RTF", true}, {"a.rtf", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        showEditor();
        ed->Editor->insertPlainText(QStringLiteral("内容"));
        if (*c.name) ed->SetDocumentName(path(QString::fromUtf8(c.name)));
        prompt.clear();  // the dialog is cancelled (no answer queued)
        const TAddForm::SaveResult r = ed->FileSave();
        EXPECT_EQ(prompt.fileRequests.size(), c.asks ? 1 : 0);
        EXPECT_EQ(r, c.asks ? TAddForm::SaveResult::Refused : TAddForm::SaveResult::Saved);
        if (!c.asks) {
            EXPECT_TRUE(readAll(path("a.rtf")).startsWith("{\\rtf"));
            EXPECT_FALSE(ed->Editor->modified());
        }
        ed->Editor->setModified(false);
        ed->hide();
    }
}

TEST_F(FilesTest, OpenGbkTextFileShowsItsTextAndSavingGoesThroughSaveAs) {
    const QString txt = path("笔记.txt");
    writeFile(txt, platform::toGbk(QStringLiteral("第一行中文\n第二行")));
    showEditor();
    prompt.fileAnswers.enqueue(pick(txt));
    ed->FileOpen();
    ASSERT_EQ(prompt.fileRequests.size(), 1);
    EXPECT_TRUE(prompt.fileRequests[0].showReadOnly);
    EXPECT_EQ(prompt.fileRequests[0].filter,
              QStringLiteral("Rich Text Files (*.RTF);;Text Files (*.TXT)"));
    EXPECT_EQ(ed->Editor->plainText(), QStringLiteral("第一行中文\n第二行"));
    EXPECT_EQ(ed->EdtTheme->text(), QStringLiteral("笔记.txt"));
    EXPECT_EQ(ed->documentName(), txt);
    EXPECT_FALSE(ed->Editor->modified());
    EXPECT_FALSE(ed->Editor->isReadOnly());

    ed->Editor->moveCursor(QTextCursor::End);
    ed->Editor->insertPlainText(QStringLiteral("！"));
    prompt.fileAnswers.enqueue(pick(path("笔记")));
    EXPECT_EQ(ed->FileSave(), TAddForm::SaveResult::Saved);
    EXPECT_EQ(ed->documentName(), path("笔记.rtf"));
    EXPECT_EQ(richtext::rtfToPlainText(readAll(path("笔记.rtf"))).trimmed(),
              QStringLiteral("第一行中文\n第二行！"));
    // The text file itself is untouched.
    EXPECT_EQ(platform::fromGbk(readAll(txt)), QStringLiteral("第一行中文\n第二行"));
}

TEST_F(FilesTest, ReadOnlyBoxMakesThePaneReadOnlyUntilNew) {
    const QString rtf = path("只读.rtf");
    writeFile(rtf, "{\\rtf1\\ansi text}");
    showEditor();
    prompt.fileAnswers.enqueue(pick(rtf, 0, /*readOnly=*/true));
    ed->FileOpen();
    EXPECT_TRUE(ed->Editor->isReadOnly());
    EXPECT_EQ(ed->Editor->plainText(), QStringLiteral("text"));
    EXPECT_TRUE(ed->FileNew());
    EXPECT_FALSE(ed->Editor->isReadOnly());
    EXPECT_EQ(ed->documentName(), QStringLiteral("Untitled"));
}

TEST_F(FilesTest, AFileThatCannotBeLoadedLeavesNameAndFlagAsTheyWere) {
    showEditor();
    ed->Editor->insertPlainText(QStringLiteral("内容"));
    EXPECT_FALSE(ed->OpenDocumentFile(path("没有这个文件.rtf")));
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.messages[0].kind, testsupport::RecordedMessage::ErrorReport);
    EXPECT_EQ(ed->documentName(), QStringLiteral("Untitled"));
    EXPECT_TRUE(ed->Editor->modified());
}

TEST_F(FilesTest, DroppingSeveralFilesOpensOnlyTheFirst) {
    const QString a = path("甲.txt"), b = path("乙.txt");
    writeFile(a, platform::toGbk(QStringLiteral("甲文件")));
    writeFile(b, platform::toGbk(QStringLiteral("乙文件")));
    showEditor();
    for (QWidget* target : {static_cast<QWidget*>(ed.get()), ed->Editor->viewport()}) {
        SCOPED_TRACE(target->metaObject()->className());
        ed->FileNew();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
        // A drop reaches the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_EQ(ed->documentName(), a);
        EXPECT_EQ(ed->Editor->plainText(), QStringLiteral("甲文件"));
        EXPECT_EQ(ed->EdtTheme->text(), QStringLiteral("甲.txt"));
    }
}

TEST_F(FilesTest, DropAsksAboutUnsavedChangesAndCancelKeepsTheDocument) {
    const QString a = path("甲.txt");
    writeFile(a, platform::toGbk(QStringLiteral("甲文件")));
    showEditor();
    typeArticle(QStringLiteral("读书"), QStringLiteral("题目"), QStringLiteral("未保存"));
    prompt.answers.enqueue(Answer::Cancel);
    ed->openDroppedFiles({a});
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("将文件 题目 添加到数据库?")});
    EXPECT_EQ(ed->Editor->plainText(), QStringLiteral("未保存"));
    EXPECT_EQ(ed->documentName(), QStringLiteral("Untitled"));
}

TEST_F(FilesTest, OpenedFileInAddModeAsksToSaveToThatFile) {
    const QString a = path("甲.rtf");
    writeFile(a, "{\\rtf1\\ansi old}");
    showEditor();
    ASSERT_TRUE(ed->OpenDocumentFile(a));
    ed->Editor->moveCursor(QTextCursor::End);
    ed->Editor->insertPlainText(QStringLiteral("er"));
    prompt.answers.enqueue(Answer::Yes);
    EXPECT_TRUE(ed->FileNew());
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("保存到文件 %1?").arg(a)});
    EXPECT_EQ(richtext::rtfToPlainText(readAll(a)).trimmed(), QStringLiteral("older"));
}

class FilesWithArticleTest : public FilesTest {
  protected:
    void seed() override { db.addArticle("datum", "读书", "甲", 1, false, "甲的正文"); }
};

TEST_F(FilesWithArticleTest, ModifyAfterSaveAsToRtfOffersTheFileOnClose) {
    selectTitle(0);
    whileModal([&] { main->BtnModifyClick(); },
               [&] {
                   prompt.fileAnswers.enqueue(pick(path("甲")));
                   EXPECT_EQ(ed->FileSaveAs(), TAddForm::SaveResult::Saved);
                   ed->Editor->insertPlainText(QStringLiteral("改"));
                   prompt.clear();
                   prompt.answers.enqueue(Answer::Yes);
                   ed->close();
                   EXPECT_FALSE(ed->isVisible());
               });
    ASSERT_FALSE(prompt.messages.isEmpty());
    EXPECT_EQ(prompt.messages[0].text, QStringLiteral("文件 %1 已修改，保存?").arg(path("甲.rtf")));
    EXPECT_TRUE(richtext::rtfToPlainText(readAll(path("甲.rtf"))).contains(QStringLiteral("改")));
    EXPECT_EQ(field("甲", "content").toString(), QStringLiteral("甲的正文"));  // not the database
}

TEST_F(FilesTest, AFailedSaveFromTheCloseQuestionKeepsTheWindowOpen) {
    showEditor();
    ed->Editor->insertPlainText(QStringLiteral("内容"));
    ed->SetDocumentName(path("没有的目录/a.rtf"));
    prompt.answers.enqueue(Answer::Yes);  // "保存到文件 ...?"
    ed->close();
    EXPECT_TRUE(ed->isVisible());
    ASSERT_EQ(prompt.messages.size(), 2);
    EXPECT_EQ(prompt.messages[1].kind, testsupport::RecordedMessage::ErrorReport);
    EXPECT_TRUE(ed->Editor->modified());
    EXPECT_EQ(ed->documentName(), path("没有的目录/a.rtf"));
}

TEST_F(FilesTest, ImportFromTheMainWindowOpensTheEditorWithoutBlocking) {
    const QString txt = path("readme.TXT");
    writeFile(txt, platform::toGbk(QStringLiteral("导入的文字")));
    prompt.fileAnswers.enqueue(pick(txt));
    main->mmImportClick();  // returns at once: the editor stays open
    ASSERT_TRUE(ed->isVisible());
    EXPECT_EQ(ed->windowModality(), Qt::NonModal);
    EXPECT_EQ(session::editorModeName(main->session().editorMode), QStringLiteral("add"));
    EXPECT_EQ(ed->Editor->plainText(), QStringLiteral("导入的文字"));
    EXPECT_EQ(ed->EdtTheme->text(), QStringLiteral("readme.TXT"));
    EXPECT_TRUE(ed->CBXgroup->currentText().isEmpty());
    EXPECT_EQ(ed->documentName(), QStringLiteral("Untitled"));
    EXPECT_TRUE(ed->BtnAdd->isEnabled());

    // A second import over unsaved changes asks first; Cancel keeps them.
    ed->Editor->moveCursor(QTextCursor::End);
    ed->Editor->insertPlainText(QStringLiteral("改"));
    prompt.clear();
    prompt.fileAnswers.enqueue(pick(txt));
    prompt.answers.enqueue(Answer::Cancel);
    main->mmImportClick();
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("将文件 readme.TXT 添加到数据库?")});
    EXPECT_EQ(ed->Editor->plainText(), QStringLiteral("导入的文字改"));
    // No: the new file replaces the text.
    prompt.fileAnswers.enqueue(pick(txt));
    prompt.answers.enqueue(Answer::No);
    main->mmImportClick();
    EXPECT_EQ(ed->Editor->plainText(), QStringLiteral("导入的文字"));
    EXPECT_FALSE(ed->Editor->modified());
}

TEST_F(FilesTest, NewClearsProtectedText) {
    showEditor();
    ed->Editor->insertPlainText(QStringLiteral("受保护的文字"));
    ed->Editor->selectAll();
    richtext::CharAttributes a = ed->Editor->selAttributes();
    a.isProtected = true;
    ed->Editor->setAllowProtectedEdits(true);
    ed->Editor->setSelAttributes(a, richtext::RichEditCtrl::MaskProtected);
    ed->Editor->setAllowProtectedEdits(false);
    ed->MarkUnmodified();
    EXPECT_TRUE(ed->FileNew());
    EXPECT_TRUE(ed->Editor->plainText().isEmpty());
}

TEST_F(FilesTest, PrintWritesTheDocumentInsideTheMargins) {
    showEditor();
    ed->Editor->insertPlainText(QStringLiteral("打印内容"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path("out.pdf"));
    ed->printTo(&printer);
    EXPECT_GT(readAll(path("out.pdf")).size(), 0);
    // Cancelled print dialog: nothing happens.
    prompt.printAccept = false;
    ed->FilePrint();
}

TEST_F(FilesTest, ExportPictureWritesTheSelectedPictureAsBitmap) {
    showEditor();
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(QColor(200, 30, 40));
    ed->Editor->document()->addResource(QTextDocument::ImageResource, QUrl("pic1"), picture);
    QTextCursor c = ed->Editor->textCursor();
    c.insertText(QStringLiteral("前"));
    QTextImageFormat img;
    img.setName(QStringLiteral("pic1"));
    c.insertImage(img);
    c.insertText(QStringLiteral("后"));
    ed->Editor->setSel(1, 1);
    ASSERT_TRUE(ed->Editor->isSingleObjectSelected());

    const QString out = path("图片.bmp");
    prompt.fileAnswers.enqueue(pick(out));
    ed->OutBmpItmClick();
    ASSERT_EQ(prompt.fileRequests.size(), 1);
    EXPECT_EQ(prompt.fileRequests[0].filter, QStringLiteral("Bitmaps 图片 (*.bmp)"));
    QImage saved(out, "BMP");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(30, 20));
    EXPECT_EQ(saved.pixelColor(5, 5), QColor(200, 30, 40));

    // An existing file: "No" leaves it alone.
    writeFile(out, "old");
    prompt.fileAnswers.enqueue(pick(out));
    prompt.answers.enqueue(Answer::No);
    ed->OutBmpItmClick();
    EXPECT_EQ(prompt.lastText(), QStringLiteral("是否覆盖文件 \"%1\"？").arg(out));
    EXPECT_EQ(prompt.messages.back().buttons, Buttons::YesNo);
    EXPECT_EQ(prompt.messages.back().icon, Icon::Warning);
    EXPECT_EQ(readAll(out), QByteArray("old"));
}

}  // namespace
}  // namespace editortest
