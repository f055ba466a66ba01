// The rich-text control: the operations the editor and the viewer rely on.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include "RtfTestUtil.h"
#include "platform/core/TextCodec.h"
#include "richtext/RichEditCtrl.h"
#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"

using namespace richtext;

namespace {

class Ctrl : public ::testing::Test {
  protected:
    void SetUp() override {
        ctrl.resize(400, 300);
        ctrl.setFont(QFont(QStringLiteral("宋体"), 9));
    }
    void load(const QByteArray& rtf) { ctrl.loadFromBytes(rtf); }
    void type(const QString& text) {
        for (QChar ch : text) {
            QKeyEvent e(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(&ctrl, &e);
        }
    }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, k, m);
        QApplication::sendEvent(&ctrl, &e);
    }
    RichEditCtrl ctrl;
};

TEST_F(Ctrl, LoadSaveStreamsAndRetryInTheOtherForm) {
    load("{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\'ce\\'c4\\par x}");
    EXPECT_EQ(ctrl.plainText(), QStringLiteral("中文\nx"));
    EXPECT_FALSE(ctrl.modified());
    // RTF asked, text given: read as text (GBK)
    ctrl.loadFromBytes(platform::toGbk(QStringLiteral("纯文本\r\n第二行")));
    EXPECT_EQ(ctrl.plainText(), QStringLiteral("纯文本\n第二行"));
    EXPECT_EQ(ctrl.saveToBytes(true), platform::toGbk(QStringLiteral("纯文本\r\n第二行")));
    // through streams
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    ctrl.saveToStream(out);
    EXPECT_TRUE(looksLikeRtf(out.data()));
    RichEditCtrl other;
    QBuffer in(&out.buffer());
    in.open(QIODevice::ReadOnly);
    other.loadFromStream(in);
    EXPECT_EQ(other.plainText(), ctrl.plainText());
    QBuffer closed;
    EXPECT_THROW(ctrl.loadFromStream(closed), StreamError);
    EXPECT_THROW(ctrl.saveToStream(closed), StreamError);
    try {
        ctrl.loadFromStream(closed);
    } catch (const StreamError& e) {
        EXPECT_STREQ(e.what(), "Failed to Load Stream");
    }
}

TEST_F(Ctrl, FilesByExtensionTxtIsGbkText) {
    QTemporaryDir dir;
    const QString txt = dir.filePath(QStringLiteral("a.TXT")), rtf = dir.filePath("a.rtf");
    ctrl.appendLine(QStringLiteral("第一行"));
    ctrl.appendLine(QStringLiteral("{第二行}"));
    ctrl.saveToFile(txt);
    QFile f(txt);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), platform::toGbk(QStringLiteral("第一行\r\n{第二行}\r\n")));
    ctrl.saveToFile(rtf);
    RichEditCtrl a, b;
    a.loadFromFile(txt);
    b.loadFromFile(rtf);
    EXPECT_EQ(a.plainText(), QStringLiteral("第一行\n{第二行}\n"));
    EXPECT_EQ(b.plainText(), a.plainText());
    EXPECT_THROW(a.loadFromFile(dir.filePath("missing.rtf")), StreamError);
    EXPECT_THROW(a.saveToFile(dir.filePath("no/such/dir.rtf")), StreamError);
}

TEST_F(Ctrl, SelectionCountsCharactersAsTheUserSeesThem) {
    load("{\\rtf1\\ansicpg936 \\'d6\\'d0\\'ce\\'c4abc\\par \\'b5\\'da\\'b6\\'fe}");
    ctrl.setSel(1, 3);
    EXPECT_EQ(ctrl.selText(), QStringLiteral("文ab"));
    EXPECT_EQ(ctrl.selStart(), 1);
    EXPECT_EQ(ctrl.selLength(), 3);
    ctrl.setSel(4, -1);
    EXPECT_EQ(ctrl.selText(), QStringLiteral("c\n第二"));
    ctrl.setSel(100, 5);
    EXPECT_EQ(ctrl.selStart(), 8);
    EXPECT_EQ(ctrl.selLength(), 0);
    ctrl.setSel(7, 0);
    EXPECT_EQ(ctrl.caretLine(), 1);
    EXPECT_EQ(ctrl.caretColumn(), 1);
    ctrl.setSel(0, 2);
    ctrl.replaceSel(QStringLiteral("汉字"));
    EXPECT_EQ(ctrl.plainText(), QStringLiteral("汉字abc\n第二"));
    ctrl.selectAllText();
    EXPECT_EQ(ctrl.selLength(), 8);
    ctrl.deleteSelection();
    EXPECT_EQ(ctrl.plainText(), QString());
}

TEST_F(Ctrl, SingleObjectSelection) {
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::red);
    auto* mime = new QMimeData;
    mime->setImageData(img);
    QApplication::clipboard()->setMimeData(mime);
    ctrl.appendLine(QStringLiteral("ab"));
    ctrl.setSel(1, 0);
    ctrl.paste();
    ctrl.setSel(1, 1);
    EXPECT_TRUE(ctrl.isSingleObjectSelected());
    ctrl.setSel(0, 2);
    EXPECT_FALSE(ctrl.isSingleObjectSelected());
    ctrl.setSel(0, 1);
    EXPECT_FALSE(ctrl.isSingleObjectSelected());
    // the pasted picture is written as PNG and read back as a picture
    RichEditCtrl other;
    other.loadFromBytes(ctrl.saveToBytes());
    other.setSel(1, 1);
    EXPECT_TRUE(other.isSingleObjectSelected());
}

TEST_F(Ctrl, CharacterAttributesOfSelectionWordAndDefaults) {
    load("{\\rtf1{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\\f0\\fs24 hello world}");
    ctrl.setSel(0, 5);
    CharAttributes a = ctrl.selAttributes();
    EXPECT_EQ(a.face, QStringLiteral("宋体"));
    EXPECT_EQ(a.size, 12);
    EXPECT_FALSE(a.color.isValid());
    EXPECT_EQ(a.charset, 134);
    a.style = StyleBold | StyleUnderline;
    a.color = QColor(255, 0, 0);
    a.size = 20;
    a.script = Script::Superscript;
    ctrl.setSelAttributes(a, RichEditCtrl::MaskBold | RichEditCtrl::MaskUnderline |
                                 RichEditCtrl::MaskColor | RichEditCtrl::MaskSize);
    CharAttributes b = ctrl.selAttributes();
    EXPECT_EQ(b.style, StyleBold | StyleUnderline);
    EXPECT_EQ(b.color, QColor(255, 0, 0));
    EXPECT_EQ(b.size, 20);
    EXPECT_EQ(b.script, Script::None) << "script was not in the mask";
    ctrl.setSel(7, 0);  // caret inside "world": bold applies to the whole word
    CharAttributes w;
    w.style = StyleItalic;
    ctrl.setWordAttributes(w, RichEditCtrl::MaskItalic);
    ctrl.setSel(6, 5);
    EXPECT_EQ(ctrl.selAttributes().style, StyleItalic);
    ctrl.setSel(5, 1);
    EXPECT_EQ(ctrl.selAttributes().style, 0);
    // automatic colour again
    ctrl.setSel(0, 5);
    a.color = QColor();
    ctrl.setSelAttributes(a, RichEditCtrl::MaskColor);
    EXPECT_FALSE(ctrl.selAttributes().color.isValid());
    // hidden, disabled and protected round trip through RTF
    a.hidden = true;
    a.disabled = true;
    a.isProtected = true;
    ctrl.setSelAttributes(
        a, RichEditCtrl::MaskHidden | RichEditCtrl::MaskDisabled | RichEditCtrl::MaskProtected);
    RichEditCtrl other;
    other.loadFromBytes(ctrl.saveToBytes());
    other.setSel(0, 5);
    const CharAttributes o = other.selAttributes();
    EXPECT_TRUE(o.hidden);
    EXPECT_TRUE(o.disabled);
    EXPECT_TRUE(o.isProtected);
    EXPECT_EQ(o.style, StyleBold | StyleUnderline);
    // defaults: from the font, and used by appended plain text
    CharAttributes d = RichEditCtrl::attributesFromFont(QFont(QStringLiteral("Arial"), 15));
    EXPECT_EQ(d.face, QStringLiteral("Arial"));
    EXPECT_EQ(d.size, 15);
    ctrl.clearAll();
    ctrl.setDefaultAttributes(d, RichEditCtrl::MaskAll);
    ctrl.appendLine(QStringLiteral("x"));
    ctrl.setSel(0, 1);
    EXPECT_EQ(ctrl.selAttributes().face, QStringLiteral("Arial"));
    EXPECT_EQ(ctrl.selAttributes().size, 15);
}

TEST_F(Ctrl, ParagraphAttributesAndTheBulletOffsetRule) {
    ctrl.appendLine(QStringLiteral("one"));
    ctrl.setSel(0, 0);
    ParaAttributes p;
    p.alignment = 2;
    p.startIndent = 10;
    p.offset = 4;
    p.rightIndent = 6;
    p.spaceBefore = 3;
    p.spaceAfter = 5;
    p.lineSpacing = 12;
    p.lineSpacingRule = 3;
    ctrl.setParaAttributes(p, RichEditCtrl::PMaskAll & ~RichEditCtrl::PMaskBullets);
    ParaAttributes q = ctrl.paraAttributes();
    EXPECT_EQ(q.alignment, 2);
    EXPECT_EQ(q.startIndent, 10);
    EXPECT_EQ(q.offset, 4);
    EXPECT_EQ(q.rightIndent, 6);
    EXPECT_EQ(q.spaceBefore, 3);
    EXPECT_EQ(q.spaceAfter, 5);
    EXPECT_EQ(q.lineSpacing, 12);
    EXPECT_EQ(q.lineSpacingRule, 3);
    EXPECT_FALSE(q.bullets);
    // bullets on: the offset rises to 10 points; the start indent stays
    p.bullets = true;
    ctrl.setParaAttributes(p, RichEditCtrl::PMaskBullets);
    q = ctrl.paraAttributes();
    EXPECT_TRUE(q.bullets);
    EXPECT_EQ(q.offset, 10);
    EXPECT_EQ(q.startIndent, 10);
    // a larger offset stays
    p.offset = 15;
    ctrl.setParaAttributes(p, RichEditCtrl::PMaskOffset | RichEditCtrl::PMaskBullets);
    EXPECT_EQ(ctrl.paraAttributes().offset, 15);
    // the bullet and its offset survive RTF
    RichEditCtrl other;
    other.loadFromBytes(ctrl.saveToBytes());
    EXPECT_TRUE(other.paraAttributes().bullets);
    EXPECT_EQ(other.paraAttributes().offset, 15);
    EXPECT_EQ(other.paraAttributes().startIndent, 10);
    // off: offset 0
    p.bullets = false;
    ctrl.setParaAttributes(p, RichEditCtrl::PMaskBullets);
    q = ctrl.paraAttributes();
    EXPECT_FALSE(q.bullets);
    EXPECT_EQ(q.offset, 0);
    EXPECT_EQ(ctrl.document()->begin().textList(), nullptr);
    // single spacing
    p.lineSpacingRule = 0;
    ctrl.setParaAttributes(p, RichEditCtrl::PMaskLineSpacing);
    EXPECT_EQ(ctrl.paraAttributes().lineSpacingRule, 0);
}

struct FindCase {
    const char* name;
    QString text;
    int start, length;
    FindOptions opt;
    int expected;
};

TEST_F(Ctrl, FindWithEachOption) {
    ctrl.appendLine(QStringLiteral("Cat concat cat 猫和猫"));
    const std::vector<FindCase> cases = {
        {"first, any case", "cat", 0, -1, {}, 0},
        {"match case", "cat", 0, -1, {false, true, false}, 7},
        {"whole word", "cat", 1, -1, {true, false, false}, 11},
        {"whole word, match case", "Cat", 1, -1, {true, true, false}, -1},
        {"from a start", "cat", 8, -1, {}, 11},
        {"inside the length only", "cat", 1, 9, {}, 7},
        {"not fitting the length", "cat", 1, 8, {}, -1},
        {"backward takes the last", "cat", 0, -1, {false, false, true}, 11},
        {"backward in a range", "cat", 0, 11, {false, false, true}, 7},
        {"backward whole word", "cat", 0, 11, {true, false, true}, 0},
        {"chinese", "猫", 16, -1, {}, 17},
        {"missing", "dog", 0, -1, {}, -1},
    };
    for (const FindCase& c : cases)
        EXPECT_EQ(ctrl.findText(c.text, c.start, c.length, c.opt), c.expected) << c.name;
}

TEST_F(Ctrl, UndoKindsOfEachEdit) {
    ctrl.show();
    EXPECT_EQ(ctrl.undoKind(), UndoKind::Unknown);
    type(QStringLiteral("abc"));
    EXPECT_TRUE(ctrl.canUndoNow());
    EXPECT_EQ(ctrl.undoKind(), UndoKind::Typing);
    key(Qt::Key_Backspace);
    EXPECT_EQ(ctrl.undoKind(), UndoKind::Delete);
    ctrl.setSel(0, 1);
    ctrl.cut();
    EXPECT_EQ(ctrl.undoKind(), UndoKind::Cut);
    ctrl.setSel(1, 0);
    ctrl.paste();
    EXPECT_EQ(ctrl.undoKind(), UndoKind::Paste);
    EXPECT_EQ(ctrl.plainText(), QStringLiteral("ba"));
    ctrl.undo();
    EXPECT_EQ(ctrl.plainText(), QStringLiteral("b"));
    EXPECT_EQ(ctrl.undoKind(), UndoKind::Cut);
    EXPECT_EQ(ctrl.redoKind(), UndoKind::Paste);
    EXPECT_TRUE(ctrl.canRedoNow());
    ctrl.undo();
    EXPECT_EQ(ctrl.redoKind(), UndoKind::Cut);
    EXPECT_EQ(ctrl.undoKind(), UndoKind::Delete);
    ctrl.redo();
    EXPECT_EQ(ctrl.undoKind(), UndoKind::Cut);
    // a new edit drops the redo steps
    ctrl.setSel(0, 0);
    type(QStringLiteral("x"));
    EXPECT_EQ(ctrl.undoKind(), UndoKind::Typing);
    EXPECT_FALSE(ctrl.canRedoNow());
    EXPECT_EQ(ctrl.redoKind(), UndoKind::Unknown);
    ctrl.setSel(0, 1);
    ctrl.deleteSelection();
    EXPECT_EQ(ctrl.undoKind(), UndoKind::Delete);
    EXPECT_TRUE(ctrl.modified());
}

TEST_F(Ctrl, ProtectedTextIsRefusedUnlessAllowed) {
    load("{\\rtf1 ab{\\protect PROT}cd}");
    ctrl.show();
    int asked = 0;
    QObject::connect(&ctrl, &RichEditCtrl::protectedChange, [&asked](int, int, bool*) { ++asked; });
    ctrl.setSel(3, 0);  // inside the protected word
    type(QStringLiteral("x"));
    ctrl.setSel(3, 2);
    key(Qt::Key_Delete);
    ctrl.cut();
    ctrl.deleteSelection();
    ctrl.setSel(6, 0);  // just after it: backspace would delete a protected character
    key(Qt::Key_Backspace);
    EXPECT_EQ(ctrl.plainText(), QStringLiteral("abPROTcd"));
    EXPECT_EQ(asked, 5);
    // unprotected text stays editable
    ctrl.setSel(0, 0);
    type(QStringLiteral("z"));
    EXPECT_EQ(ctrl.plainText(), QStringLiteral("zabPROTcd"));
    // the owner may allow the change
    QObject::connect(&ctrl, &RichEditCtrl::protectedChange,
                     [](int, int, bool* allow) { *allow = true; });
    ctrl.setSel(3, 1);
    key(Qt::Key_Delete);
    EXPECT_EQ(ctrl.plainText(), QStringLiteral("zabROTcd"));
}

TEST_F(Ctrl, ProtectedTextChangesWithTheFlag) {
    load("{\\rtf1 {\\protect P}x}");
    ctrl.setAllowProtectedEdits(true);
    ctrl.setSel(0, 1);
    ctrl.deleteSelection();
    EXPECT_EQ(ctrl.plainText(), QStringLiteral("x"));
}

TEST_F(Ctrl, ProtectedEditScopeRestoresTheSettingBeforeIt) {
    load("{\\rtf1 {\\protect PQ}x}");
    {
        const RichEditCtrl::ProtectedEditScope allow(&ctrl);
        ctrl.setSel(0, 1);
        ctrl.deleteSelection();
        {
            const RichEditCtrl::ProtectedEditScope refuse(&ctrl, false);
            EXPECT_FALSE(ctrl.allowProtectedEdits());
        }
        EXPECT_TRUE(ctrl.allowProtectedEdits());
    }
    EXPECT_FALSE(ctrl.allowProtectedEdits());
    ctrl.setSel(0, 1);
    ctrl.deleteSelection();  // refused again: nobody allows it
    EXPECT_EQ(ctrl.plainText(), QStringLiteral("Qx"));
}

TEST_F(Ctrl, ZoomLeavesTheDocumentUnchanged) {
    load("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 text {\\b bold}\\par more}");
    ctrl.show();
    const QByteArray before = ctrl.saveToBytes();
    const QString html = ctrl.document()->toHtml();
    ctrl.setZoom(200, 100);
    EXPECT_DOUBLE_EQ(ctrl.zoomFactor(), 2.0);
    QApplication::processEvents();
    ctrl.grab();  // paints at the zoom
    EXPECT_EQ(ctrl.saveToBytes(), before);
    EXPECT_EQ(ctrl.document()->toHtml(), html);
    EXPECT_FALSE(ctrl.modified());
    ctrl.setZoom(0, 0);
    EXPECT_DOUBLE_EQ(ctrl.zoomFactor(), 1.0);
    ctrl.setZoom(50, 100);
    ctrl.grab();
    EXPECT_EQ(ctrl.saveToBytes(), before);
}

// Pictures of the control at 100 % and 150 % for a look (YUNJAN_SCREENSHOT_DIR set).
TEST_F(Ctrl, Screenshots) {
    const QString dir = qEnvironmentVariable("YUNJAN_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "set YUNJAN_SCREENSHOT_DIR to write the pictures";
    QImage img(40, 24, QImage::Format_RGB32);
    img.fill(QColor(30, 144, 255));
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    load(
        "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
        "{\\f1\\fcharset2 Symbol;}}{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs24 "
        "\\'d6\\'d0\\'ce\\'c4 {\\b \\'b4\\'d6\\'cc\\'e5} {\\i italic} {\\ul u} "
        "{\\cf1 red} {\\v HIDDEN} {\\disabled grey} x{\\super 2} see www.example.com\\par"
        "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0}\\fi-200\\li400 "
        "\\'cf\\'ee\\'c4\\'bf\\par\\pard\\qc{\\pict\\pngblip " +
        png.toHex() + "}\\par}");
    ctrl.show();
    QApplication::processEvents();
    ctrl.grab().save(dir + QStringLiteral("/richedit-100.png"));
    ctrl.setZoom(150, 100);
    ctrl.grab().save(dir + QStringLiteral("/richedit-150.png"));
}

TEST_F(Ctrl, DetectedUrlsAndLinksAreClickable) {
    load(
        "{\\rtf1 see https://example.com/a, www.test.cn and "
        "{\\field{\\*\\fldinst HYPERLINK \"http://x.org\"}{\\fldrslt here}}.}");
    QApplication::processEvents();
    const QString text = ctrl.plainText();
    EXPECT_EQ(ctrl.urlAt(int(text.indexOf("example"))), QStringLiteral("https://example.com/a"));
    EXPECT_EQ(ctrl.urlAt(int(text.indexOf("test"))), QStringLiteral("www.test.cn"));
    EXPECT_EQ(ctrl.urlAt(int(text.indexOf("here"))), QStringLiteral("http://x.org"));
    EXPECT_EQ(ctrl.urlAt(0), QString());
    ctrl.setAutoUrlDetect(false);
    EXPECT_EQ(ctrl.urlAt(int(text.indexOf("example"))), QString());
    EXPECT_EQ(ctrl.saveToBytes().count("HYPERLINK"), 1) << "detection does not change the text";
}

TEST_F(Ctrl, ClipboardCarriesRtfHtmlAndText) {
    load("{\\rtf1\\ansicpg936 {\\b \\'d6\\'d0}\\'ce\\'c4}");
    ctrl.setSel(0, 2);
    ctrl.copy();
    const QMimeData* m = QApplication::clipboard()->mimeData();
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(looksLikeRtf(m->data(QStringLiteral("text/rtf"))));
    EXPECT_TRUE(m->hasHtml());
    EXPECT_EQ(m->text(), QStringLiteral("中文"));
    RichEditCtrl other;
    EXPECT_TRUE(other.canPasteNow());
    other.paste();
    EXPECT_EQ(other.plainText(), QStringLiteral("中文"));
    other.setSel(0, 1);
    EXPECT_EQ(other.selAttributes().style, StyleBold) << "pasted from text/rtf";
    other.setReadOnly(true);
    EXPECT_FALSE(other.canPasteNow());
}

TEST_F(Ctrl, PrintsInsideThePageRectangle) {
    for (int i = 0; i < 200; ++i) ctrl.appendLine(QStringLiteral("第%1行 line").arg(i));
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
    const QSize page = printer.pageRect(QPrinter::DevicePixel).size().toSize();
    const int m = qRound(printer.resolution() / 25.4 * 20);
    const QByteArray before = ctrl.saveToBytes();
    ctrl.printDocument(&printer, QStringLiteral("文档打印"),
                       QRect(QPoint(m, m), QPoint(page.width() - m, page.height() - m)));
    QFile pdf(dir.filePath(QStringLiteral("out.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GE(
        bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "),
        2)
        << "200 lines need more than one page";
    EXPECT_EQ(printer.docName(), QStringLiteral("文档打印"));
    EXPECT_EQ(ctrl.saveToBytes(), before) << "printing leaves the document alone";
}

TEST_F(Ctrl, MarginsBackgroundAndVersion) {
    ctrl.show();
    ctrl.SetMargin();
    const QRect r = ctrl.formatRect();
    EXPECT_EQ(r.left(), 20);
    EXPECT_EQ(r.top(), 20);
    ctrl.setPaneBackground(QColor(1, 2, 3));
    EXPECT_EQ(ctrl.palette().color(QPalette::Base), QColor(1, 2, 3));
    EXPECT_EQ(RichEditCtrl::kVersion, 2);
}

}  // namespace
