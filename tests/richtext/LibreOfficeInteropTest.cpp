// Interoperability with a real word processor: LibreOffice reads what our
// writer writes, and our reader reads what LibreOffice writes.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <cstdio>

#include "RtfTestUtil.h"
#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"
#include "tests/support/WordProcessor.h"

using namespace richtext;

namespace {

QString soffice() {
    QString exe = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (exe.isEmpty() && QFile::exists(QStringLiteral("/usr/bin/soffice")))
        exe = QStringLiteral("/usr/bin/soffice");
    return exe;
}

// Converts every file of `files` (in one run) into `format`, into outDir.
bool convert(const QString& exe, const QString& profile, const QString& format,
             const QString& outDir, const QStringList& files, QString* log) {
    QProcess p;
    QStringList args = {QStringLiteral("-env:UserInstallation=file://") + profile,
                        QStringLiteral("--headless"),
                        QStringLiteral("--norestore"),
                        QStringLiteral("--convert-to"),
                        format,
                        QStringLiteral("--outdir"),
                        outDir};
    args << files;
    p.start(exe, args);
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished();
        *log = QStringLiteral("soffice timed out");
        return false;
    }
    *log = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString fold(QString s) {
    static const QRegularExpression ws(QStringLiteral("[\\s\\x{00A0}]+"));
    return s.remove(ws);
}

// A document with every format the writer knows.
void buildDocument(QTextDocument* doc) {
    doc->setDefaultFont(QFont(QStringLiteral("宋体"), 12));
    QTextCursor c(doc);
    auto put = [&c](const QString& text, const std::function<void(QTextCharFormat&)>& set) {
        QTextCharFormat f;
        set(f);
        c.insertText(text, f);
        c.insertText(QStringLiteral(" "), QTextCharFormat());
    };
    c.insertText(QStringLiteral("中文正文 plain "));
    put(QStringLiteral("粗体"), [](auto& f) { f.setFontWeight(QFont::Bold); });
    put(QStringLiteral("斜体"), [](auto& f) { f.setFontItalic(true); });
    put(QStringLiteral("下划线"), [](auto& f) { f.setFontUnderline(true); });
    put(QStringLiteral("删除线"), [](auto& f) { f.setFontStrikeOut(true); });
    put(QStringLiteral("上标"),
        [](auto& f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); });
    put(QStringLiteral("下标"),
        [](auto& f) { f.setVerticalAlignment(QTextCharFormat::AlignSubScript); });
    put(QStringLiteral("红色"), [](auto& f) { f.setForeground(QColor(255, 0, 0)); });
    put(QStringLiteral("大字"), [](auto& f) { f.setFontPointSize(24); });
    put(QStringLiteral("链接"), [](auto& f) {
        f.setAnchor(true);
        f.setAnchorHref(QStringLiteral("https://example.com/page"));
    });
    c.insertText(QString::fromUtf8("表情\xF0\x9F\x98\x80 € ก"));
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centre);
    c.insertText(QStringLiteral("居中段落"));
    QTextBlockFormat bullet;
    setParaIndents(bullet, ParaTwips{400, 0, -200}, true);
    c.insertBlock(bullet);
    QTextListFormat lf;
    lf.setStyle(QTextListFormat::ListDisc);
    lf.setIndent(0);
    c.createList(lf);
    c.insertText(QStringLiteral("项目一"));
    c.insertBlock(QTextBlockFormat());
    QImage img(8, 6, QImage::Format_RGB32);
    img.fill(Qt::green);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    QTextImageFormat pic;
    pic.setName(newPictureName());
    pic.setWidth(8);
    pic.setHeight(6);
    pic.setProperty(PropPicBytes, png);
    pic.setProperty(PropPicType, QStringLiteral("png"));
    c.insertImage(pic);
    c.insertText(QStringLiteral("图后"));
}

TEST(LibreOffice, ReadsOurRtfAndWritesRtfWeRead) {
    REQUIRE_WORD_PROCESSOR();
    const QString exe = soffice();
    ASSERT_FALSE(exe.isEmpty());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // for a look at the files: YUNJAN_KEEP_LO_FILES=1 keeps the folder
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("YUNJAN_KEEP_LO_FILES"));
    const QString profile = dir.filePath(QStringLiteral("profile"));

    QTextDocument doc;
    buildDocument(&doc);
    const QString ours = dir.filePath(QStringLiteral("ours.rtf"));
    {
        QFile f(ours);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(writeRtf(&doc));
    }
    const QString expected = fold(plainTextOf(&doc).remove(QChar::ObjectReplacementCharacter));

    // LibreOffice reads our RTF: text and the main formats, through its HTML export.
    QString log;
    const QString htmlDir = dir.filePath(QStringLiteral("html"));
    ASSERT_TRUE(convert(exe, profile, QStringLiteral("html"), htmlDir, {ours}, &log))
        << log.toStdString();
    QFile htmlFile(htmlDir + QStringLiteral("/ours.html"));
    ASSERT_TRUE(htmlFile.open(QIODevice::ReadOnly)) << log.toStdString();
    const QString html = QString::fromUtf8(htmlFile.readAll());
    if (!dir.autoRemove()) std::fprintf(stderr, "files kept in %s\n", qPrintable(dir.path()));
    QTextDocument fromHtml;
    fromHtml.setHtml(html);
    EXPECT_EQ(fold(fromHtml.toPlainText().remove(QChar::ObjectReplacementCharacter)), expected);
    const QString lower = html.toLower();
    // text inside one of the tags, maybe within font tags
    auto tagged = [&lower](const QStringList& tags, const QString& text) {
        const QRegularExpression re(
            QStringLiteral("<(%1)\\b[^>]*>(\\s*<[^>]+>)*\\s*%2").arg(tags.join('|'), text));
        return re.match(lower).hasMatch();
    };
    EXPECT_TRUE(tagged({"b", "strong"}, QStringLiteral("粗体"))) << html.toStdString();
    EXPECT_TRUE(tagged({"i", "em"}, QStringLiteral("斜体")));
    EXPECT_TRUE(tagged({"u"}, QStringLiteral("下划线")));
    EXPECT_TRUE(tagged({"strike", "s", "del"}, QStringLiteral("删除线")));
    EXPECT_TRUE(tagged({"sup"}, QStringLiteral("上标")));
    EXPECT_TRUE(tagged({"sub"}, QStringLiteral("下标")));
    EXPECT_TRUE(lower.contains(QStringLiteral("#ff0000")));
    EXPECT_TRUE(lower.contains(QStringLiteral("https://example.com/page")));
    EXPECT_TRUE(lower.contains(QStringLiteral("<img")));
    EXPECT_TRUE(lower.contains(QStringLiteral("center")));

    // LibreOffice writes RTF from the same document; our reader reads it to the same text.
    // A document whose last paragraph is centred, indented and spaced: LibreOffice
    // keeps that format on the last paragraph (and adds none after it).
    QTextDocument lastDoc;
    {
        QTextCursor c(&lastDoc);
        c.insertText(QStringLiteral("第一段"));
        QTextBlockFormat bf;
        bf.setAlignment(Qt::AlignHCenter);
        setParaIndents(bf, ParaTwips{720, 0, 0}, false);
        bf.setTopMargin(twipsToPx(240));
        c.insertBlock(bf);
        c.insertText(QStringLiteral("最后一段居中"));
    }
    const QString last = dir.filePath(QStringLiteral("last.rtf"));
    {
        QFile f(last);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(writeRtf(&lastDoc));
    }

    const QString rtfDir = dir.filePath(QStringLiteral("rtf"));
    ASSERT_TRUE(convert(exe, profile, QStringLiteral("rtf"), rtfDir, {ours, last}, &log))
        << log.toStdString();
    {
        QFile f(rtfDir + QStringLiteral("/last.rtf"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << log.toStdString();
        QTextDocument lastBack;
        readRtf(f.readAll(), &lastBack);
        EXPECT_EQ(lastBack.toPlainText(), QStringLiteral("第一段\n最后一段居中"));
        const QTextBlockFormat bf = lastBack.lastBlock().blockFormat();
        EXPECT_EQ(bf.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        EXPECT_EQ(paraIndents(bf).li, 720);
        EXPECT_EQ(pxToTwips(bf.topMargin()), 240);
        EXPECT_EQ(lastBack.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                  Qt::AlignLeft);
    }
    QFile theirs(rtfDir + QStringLiteral("/ours.rtf"));
    ASSERT_TRUE(theirs.open(QIODevice::ReadOnly)) << log.toStdString();
    QTextDocument back;
    readRtf(theirs.readAll(), &back);
    EXPECT_EQ(fold(plainTextOf(&back).remove(QChar::ObjectReplacementCharacter)), expected);
    const QString backHtml = back.toHtml();
    EXPECT_TRUE(backHtml.contains(QStringLiteral("https://example.com/page")));
    int pictures = 0;
    for (QTextBlock b = back.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) ++pictures;
    EXPECT_EQ(pictures, 1);
}

}  // namespace
