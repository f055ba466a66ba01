// The RTF writer: header, text encoding, and round trips of every format
// through writer and reader.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <functional>
#include <vector>

#include "RtfTestUtil.h"
#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"

using namespace richtext;
using rtftest::find;
using rtftest::formatAt;
using rtftest::read;

namespace {

QByteArray writeText(const QString& text) {
    QTextDocument doc;
    QTextCursor(&doc).insertText(text);
    return writeRtf(&doc);
}

TEST(RtfWriter, RichEditStyleHeaderWithChineseFontNames) {
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("宋体"), 9));
    QTextCursor c(&doc);
    QTextCharFormat arial;
    arial.setFontFamilies(QStringList{QStringLiteral("Arial")});
    c.insertText(QStringLiteral("x"), arial);
    const QByteArray rtf = writeRtf(&doc);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"));
    EXPECT_TRUE(rtf.contains("{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("{\\f1\\fnil\\fcharset134 Arial;}"));
    EXPECT_FALSE(rtf.contains("\\colortbl")) << "no colours used";
    EXPECT_TRUE(rtf.trimmed().endsWith('}'));
}

struct EncodeCase {
    const char* name;
    QString text;
    QByteArray expected;  // must appear in the output
};

class WriterEncoding : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(WriterEncoding, WritesAndReadsBack) {
    const EncodeCase& c = GetParam();
    const QByteArray rtf = writeText(c.text);
    EXPECT_TRUE(rtf.contains(c.expected)) << c.name << "\n" << rtf.constData();
    for (char ch : rtf) ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << "RTF is 7-bit";
    EXPECT_EQ(rtfToPlainText(rtf), c.text) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriterEncoding,
    ::testing::Values(EncodeCase{"ascii_as_is", QStringLiteral("Hello, world"), "Hello, world"},
                      EncodeCase{"escapes", QStringLiteral("a\\b{c}d"), "a\\\\b\\{c\\}d"},
                      EncodeCase{"gbk_with_fallback_bytes", QStringLiteral("中文"),
                                 "\\uc2 \\u20013\\'d6\\'d0\\u25991\\'ce\\'c4"},
                      EncodeCase{"single_byte_gbk_under_uc1", QStringLiteral("中€"),
                                 "\\u20013\\'d6\\'d0\\uc1 \\u8364\\'80"},
                      EncodeCase{"not_in_gbk", QStringLiteral("ก"), "\\u3585?"},
                      EncodeCase{"emoji_as_surrogate_pair",
                                 QString::fromUtf8("a\xF0\x9F\x98\x80"
                                                   "b"),
                                 "\\u-10179?\\u-8704?"},
                      EncodeCase{"mixed", QString::fromUtf8("中\xF0\x9F\x98\x80文ก"),
                                 "\\u25991\\'ce\\'c4"},
                      EncodeCase{"tab_and_specials", QStringLiteral("a\tb\u00A0c\u00ADd\u2011e"),
                                 "a\\tab b\\~c\\-d\\_e"},
                      EncodeCase{"paragraphs", QStringLiteral("一\n二\n\n三"), "\\par"}));

// Character formats survive writer and reader.
struct CharCase {
    const char* name;
    std::function<void(QTextCharFormat&)> set;
    std::function<bool(const QTextCharFormat&)> check;
};

TEST(RtfWriter, CharacterFormatsRoundTrip) {
    const std::vector<CharCase> cases = {
        {"bold", [](auto& f) { f.setFontWeight(QFont::Bold); },
         [](auto& f) { return f.fontWeight() == QFont::Bold; }},
        {"italic", [](auto& f) { f.setFontItalic(true); }, [](auto& f) { return f.fontItalic(); }},
        {"underline", [](auto& f) { f.setFontUnderline(true); },
         [](auto& f) { return f.fontUnderline(); }},
        {"strike", [](auto& f) { f.setFontStrikeOut(true); },
         [](auto& f) { return f.fontStrikeOut(); }},
        {"sub", [](auto& f) { f.setVerticalAlignment(QTextCharFormat::AlignSubScript); },
         [](auto& f) { return f.verticalAlignment() == QTextCharFormat::AlignSubScript; }},
        {"super", [](auto& f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); },
         [](auto& f) { return f.verticalAlignment() == QTextCharFormat::AlignSuperScript; }},
        {"size", [](auto& f) { f.setFontPointSize(21.5); },
         [](auto& f) { return f.fontPointSize() == 21.5; }},
        {"face", [](auto& f) { f.setFontFamilies(QStringList{QStringLiteral("黑体")}); },
         [](auto& f) {
             return f.fontFamilies().toStringList().value(0) == QStringLiteral("黑体");
         }},
        {"colour", [](auto& f) { f.setForeground(QColor(10, 20, 30)); },
         [](auto& f) { return trueTextColor(f) == QColor(10, 20, 30); }},
        {"background", [](auto& f) { f.setBackground(QColor(255, 255, 0)); },
         [](auto& f) { return f.background().color() == QColor(255, 255, 0); }},
        {"protected", [](auto& f) { f.setProperty(PropProtected, true); },
         [](auto& f) { return f.boolProperty(PropProtected); }},
        {"hidden_keeps_colour",
         [](auto& f) {
             f.setForeground(QColor(0, 128, 0));
             setDisplayFlag(f, PropHidden, true);
         },
         [](auto& f) {
             return f.boolProperty(PropHidden) && trueTextColor(f) == QColor(0, 128, 0) &&
                    f.foreground().color().alpha() == 0;
         }},
        {"disabled", [](auto& f) { setDisplayFlag(f, PropDisabled, true); },
         [](auto& f) { return f.boolProperty(PropDisabled) && !trueTextColor(f).isValid(); }},
        {"link",
         [](auto& f) {
             f.setAnchor(true);
             f.setAnchorHref(QStringLiteral("https://example.com/?q=\"x\"&y=\\z"));
         },
         [](auto& f) {
             return f.isAnchor() &&
                    f.anchorHref() == QStringLiteral("https://example.com/?q=\"x\"&y=\\z");
         }},
        {"other_field", [](auto& f) { f.setProperty(PropFieldInst, QStringLiteral("PAGE")); },
         [](auto& f) { return f.stringProperty(PropFieldInst) == QStringLiteral("PAGE"); }},
    };
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("plain "));
    for (const CharCase& cc : cases) {
        QTextCharFormat f;
        cc.set(f);
        c.insertText(QStringLiteral("[%1]").arg(QLatin1String(cc.name)), f);
        c.insertText(QStringLiteral(" "), QTextCharFormat());
    }
    const QByteArray rtf = writeRtf(&doc);
    auto back = read(rtf);
    EXPECT_EQ(back->toPlainText(), doc.toPlainText());
    for (const CharCase& cc : cases) {
        const int at = find(back.get(), QStringLiteral("[%1]").arg(QLatin1String(cc.name)));
        ASSERT_GE(at, 0) << cc.name;
        EXPECT_TRUE(cc.check(formatAt(back.get(), at + 1))) << cc.name << "\n" << rtf.constData();
        EXPECT_FALSE(cc.check(formatAt(back.get(), 0))) << cc.name << " leaked into plain text";
    }
    // the writer is stable: a second trip writes the same bytes
    EXPECT_EQ(writeRtf(back.get()), rtf);
}

TEST(RtfWriter, ParagraphFormatsAndBulletsRoundTrip) {
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centre);
    c.insertText(QStringLiteral("居中"));
    QTextBlockFormat indents;
    setParaIndents(indents, ParaTwips{720, 360, -360}, false);
    indents.setTopMargin(twipsToPx(240));
    indents.setBottomMargin(twipsToPx(120));
    indents.setLineHeight(twipsToPx(400), QTextBlockFormat::MinimumHeight);
    indents.setAlignment(Qt::AlignJustify);
    c.insertBlock(indents);
    c.insertText(QStringLiteral("缩进"));
    QTextBlockFormat bullet;
    setParaIndents(bullet, ParaTwips{400, 0, -200}, true);
    c.insertBlock(bullet);
    QTextListFormat lf;
    lf.setStyle(QTextListFormat::ListDisc);
    lf.setIndent(0);
    c.createList(lf);
    c.insertText(QStringLiteral("甲"));
    c.insertBlock();
    c.insertText(QStringLiteral("乙"));
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("end"));
    if (c.block().textList()) c.block().textList()->remove(c.block());

    const QByteArray rtf = writeRtf(&doc);
    auto back = read(rtf);
    ASSERT_EQ(back->blockCount(), 5) << rtf.constData();
    EXPECT_EQ(back->toPlainText(), QStringLiteral("居中\n缩进\n甲\n乙\nend"));
    auto bf = [&](int n) { return back->findBlockByNumber(n).blockFormat(); };
    EXPECT_EQ(bf(0).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(bf(1).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    const ParaTwips t = paraIndents(bf(1));
    EXPECT_EQ(t.li, 720);
    EXPECT_EQ(t.ri, 360);
    EXPECT_EQ(t.fi, -360);
    EXPECT_EQ(pxToTwips(bf(1).topMargin()), 240);
    EXPECT_EQ(pxToTwips(bf(1).bottomMargin()), 120);
    EXPECT_EQ(bf(1).lineHeightType(), QTextBlockFormat::MinimumHeight);
    EXPECT_EQ(pxToTwips(bf(1).lineHeight()), 400);
    ASSERT_NE(back->findBlockByNumber(2).textList(), nullptr);
    EXPECT_EQ(back->findBlockByNumber(2).textList(), back->findBlockByNumber(3).textList());
    EXPECT_EQ(back->findBlockByNumber(4).textList(), nullptr);
    EXPECT_EQ(paraIndents(bf(2)).fi, -200);
    EXPECT_EQ(paraIndents(bf(2)).li, 400);
    EXPECT_EQ(writeRtf(back.get()), rtf);
}

// What a paragraph carries, for comparing documents block by block.
QString paragraphSummary(const QTextBlock& b) {
    const QTextBlockFormat bf = b.blockFormat();
    const ParaTwips t = paraIndents(bf);
    return QStringLiteral("%1|align %2 li %3 ri %4 fi %5 sb %6 sa %7 line %8/%9 list %10 cell %11")
        .arg(b.text())
        .arg(int(bf.alignment() & Qt::AlignHorizontal_Mask))
        .arg(t.li)
        .arg(t.ri)
        .arg(t.fi)
        .arg(pxToTwips(bf.topMargin()))
        .arg(pxToTwips(bf.bottomMargin()))
        .arg(bf.lineHeightType())
        .arg(bf.lineHeight(), 0, 'f', 2)
        .arg(b.textList() ? int(b.textList()->format().style()) : 0)
        .arg(QTextCursor(b).currentTable() ? 1 : 0);
}

QStringList paragraphs(const QTextDocument* doc) {
    QStringList out;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) out << paragraphSummary(b);
    return out;
}

// The last paragraph of a document keeps every paragraph property through
// write, read and write again.
TEST(RtfWriter, LastParagraphFormatRoundTrips) {
    using Make = std::function<void(QTextCursor&)>;
    auto para = [](const std::function<void(QTextBlockFormat&)>& set) -> Make {
        return [set](QTextCursor& c) {
            QTextBlockFormat bf;
            set(bf);
            c.insertBlock(bf);
            c.insertText(QStringLiteral("最后一段"));
        };
    };
    const struct {
        const char* name;
        Make last;
    } cases[] = {
        {"left after centred", para([](auto& bf) { bf.setAlignment(Qt::AlignLeft); })},
        {"right", para([](auto& bf) { bf.setAlignment(Qt::AlignRight); })},
        {"centred", para([](auto& bf) { bf.setAlignment(Qt::AlignHCenter); })},
        {"justified", para([](auto& bf) { bf.setAlignment(Qt::AlignJustify); })},
        {"left indent", para([](auto& bf) {
             setParaIndents(bf, ParaTwips{720, 0, 0}, false);
         })},
        {"right indent", para([](auto& bf) {
             setParaIndents(bf, ParaTwips{0, 360, 0}, false);
         })},
        {"first line in", para([](auto& bf) {
             setParaIndents(bf, ParaTwips{0, 0, 480}, false);
         })},
        {"hanging", para([](auto& bf) {
             setParaIndents(bf, ParaTwips{720, 0, -360}, false);
         })},
        {"space before", para([](auto& bf) { bf.setTopMargin(twipsToPx(240)); })},
        {"space after", para([](auto& bf) { bf.setBottomMargin(twipsToPx(120)); })},
        {"at least",
         para([](auto& bf) { bf.setLineHeight(twipsToPx(400), QTextBlockFormat::MinimumHeight); })},
        {"exactly",
         para([](auto& bf) { bf.setLineHeight(twipsToPx(300), QTextBlockFormat::FixedHeight); })},
        {"proportional",
         para([](auto& bf) { bf.setLineHeight(115, QTextBlockFormat::ProportionalHeight); })},
        {"bullet",
         [](QTextCursor& c) {
             QTextBlockFormat bf;
             setParaIndents(bf, ParaTwips{400, 0, -200}, true);
             c.insertBlock(bf);
             QTextListFormat lf;
             lf.setStyle(QTextListFormat::ListDisc);
             lf.setIndent(0);
             c.createList(lf);
             c.insertText(QStringLiteral("项目"));
         }},
        {"numbered item",  // as read from another writer: the number is text
         [](QTextCursor& c) {
             QTextBlockFormat bf;
             setParaIndents(bf, ParaTwips{720, 0, -360}, false);
             c.insertBlock(bf);
             c.insertText(QStringLiteral("1.\t第一项"));
         }},
        {"table row",
         [](QTextCursor& c) {
             c.insertBlock();
             QTextTableFormat tf;
             QTextTable* t = c.insertTable(1, 2, tf);
             QTextCursor cell = t->cellAt(0, 1).firstCursorPosition();
             QTextBlockFormat bf;
             bf.setAlignment(Qt::AlignHCenter);
             bf.setTopMargin(twipsToPx(120));
             cell.setBlockFormat(bf);
             cell.insertText(QStringLiteral("格"));
             t->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("甲"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTextDocument doc;
        QTextCursor cur(&doc);
        QTextBlockFormat first;
        first.setAlignment(Qt::AlignHCenter);
        first.setTopMargin(twipsToPx(60));
        cur.setBlockFormat(first);
        cur.insertText(QStringLiteral("第一段"));
        c.last(cur);
        const QByteArray rtf = writeRtf(&doc);
        auto back = read(rtf);
        EXPECT_EQ(paragraphs(back.get()), paragraphs(&doc)) << rtf.constData();
        EXPECT_EQ(writeRtf(back.get()), rtf);
    }
}

// The document ends with a final paragraph mark, and its default font is a
// real face, never Qt's generic family.
TEST(RtfWriter, EndsWithAParagraphMarkAndNamesARealDefaultFace) {
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Sans Serif"), 9));
    QTextCursor(&doc).insertText(QStringLiteral("x"));
    const QByteArray rtf = writeRtf(&doc);
    EXPECT_TRUE(rtf.trimmed().endsWith("\\par\n}")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("{\\f0\\fnil\\fcharset134 Arial;}")) << rtf.constData();
    EXPECT_FALSE(rtf.contains("Sans Serif"));
    EXPECT_EQ(read(rtf)->blockCount(), 1);
}

QByteArray pngBytes(const QImage& img) {
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return b;
}

TEST(RtfWriter, PicturesKeepTheirOriginalBytes) {
    QImage img(7, 5, QImage::Format_ARGB32);
    img.fill(QColor(1, 2, 3, 200));
    QByteArray jpeg;
    {
        QBuffer buf(&jpeg);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, "JPEG", 50);
    }
    const QByteArray png = pngBytes(img);
    const QByteArray rtf0 = "{\\rtf1{\\pict\\pngblip\\picw7\\pich5\\picwgoal210\\pichgoal150 " +
                            png.toHex() + "}{\\pict\\jpegblip\\picwgoal105\\pichgoal75 " +
                            jpeg.toHex() + "}}";
    auto doc = read(rtf0);
    const QByteArray rtf = writeRtf(doc.get());
    EXPECT_TRUE(rtf.contains("\\pngblip"));
    EXPECT_TRUE(rtf.contains("\\jpegblip"));
    auto back = read(rtf);
    const QTextImageFormat a = formatAt(back.get(), 0).toImageFormat();
    const QTextImageFormat b = formatAt(back.get(), 1).toImageFormat();
    EXPECT_EQ(a.property(PropPicBytes).toByteArray(), png);
    EXPECT_EQ(b.property(PropPicBytes).toByteArray(), jpeg);
    EXPECT_DOUBLE_EQ(a.width(), 14.0);
    EXPECT_DOUBLE_EQ(b.height(), 5.0);
}

TEST(RtfWriter, PictureWithoutOriginalBytesIsWrittenAsPng) {
    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QTextDocument doc;
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mem:1")), img);
    QTextImageFormat f;
    f.setName(QStringLiteral("mem:1"));
    QTextCursor(&doc).insertImage(f);
    auto back = read(writeRtf(&doc));
    const QTextImageFormat g = formatAt(back.get(), 0).toImageFormat();
    ASSERT_TRUE(g.isValid());
    EXPECT_EQ(g.stringProperty(PropPicType), QStringLiteral("png"));
    const QImage decoded = QImage::fromData(g.property(PropPicBytes).toByteArray(), "PNG");
    EXPECT_EQ(decoded.size(), QSize(3, 2));
    EXPECT_EQ(QColor(decoded.pixel(0, 0)), QColor(Qt::blue));
}

TEST(RtfWriter, TablesRoundTripWithoutGrowing) {
    auto doc = read(
        "{\\rtf1 before\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl \\'41\\cell B\\cell\\row"
        "\\trowd\\cellx1000\\cellx2000\\pard\\intbl C\\cell D\\cell\\row\\pard after}");
    const QByteArray rtf = writeRtf(doc.get());
    auto back = read(rtf);
    EXPECT_EQ(back->toPlainText(), doc->toPlainText()) << rtf.constData();
    EXPECT_EQ(back->blockCount(), doc->blockCount());
    EXPECT_EQ(writeRtf(back.get()), rtf);
}

// Column widths come from the cell boundaries (15 twips a pixel) and are
// written back as the same boundaries.
TEST(RtfWriter, TableColumnWidthsRoundTrip) {
    const struct {
        const char* name;
        const char* row;             // the row definition
        std::vector<double> widths;  // pixels; 0: a free column
        const char* written;         // boundaries written back
    } cases[] = {
        {"two columns", "\\trowd\\cellx1440\\cellx4320", {96, 192}, "\\cellx1440\\cellx4320"},
        {"left indent", "\\trowd\\trleft300\\cellx1800", {100}, "\\cellx1500"},
        {"boundary not moving right",
         "\\trowd\\cellx1500\\cellx1500\\cellx3000",
         {100, 0, 100},
         "\\cellx1500\\cellx4500\\cellx6000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray cells;
        for (size_t i = 0; i < c.widths.size(); ++i) cells += "x\\cell ";
        auto doc = read(QByteArray("{\\rtf1 ") + c.row + "\\pard\\intbl " + cells + "\\row\\pard}");
        QTextTable* table = nullptr;
        for (QTextFrame* f : doc->rootFrame()->childFrames())
            if ((table = qobject_cast<QTextTable*>(f))) break;
        ASSERT_NE(table, nullptr);
        const QList<QTextLength> got = table->format().columnWidthConstraints();
        ASSERT_EQ(got.size(), qsizetype(c.widths.size()));
        for (size_t i = 0; i < c.widths.size(); ++i) {
            if (c.widths[i] == 0) {
                EXPECT_NE(got[qsizetype(i)].type(), QTextLength::FixedLength) << i;
            } else {
                EXPECT_EQ(got[qsizetype(i)].type(), QTextLength::FixedLength) << i;
                EXPECT_DOUBLE_EQ(got[qsizetype(i)].rawValue(), c.widths[i]) << i;
            }
        }
        const QByteArray rtf = writeRtf(doc.get());
        EXPECT_TRUE(rtf.contains(c.written)) << rtf.constData();
    }
}

TEST(RtfWriter, PageBreaksRoundTrip) {
    auto doc = read("{\\rtf1 a\\page b\\par\\page c}");
    ASSERT_EQ(doc->blockCount(), 3);
    EXPECT_TRUE(doc->findBlockByNumber(1).blockFormat().pageBreakPolicy() &
                QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_TRUE(doc->findBlockByNumber(2).blockFormat().pageBreakPolicy() &
                QTextFormat::PageBreak_AlwaysBefore);
    const QByteArray rtf = writeRtf(doc.get());
    EXPECT_EQ(rtf.count("\\page"), 2);
    EXPECT_EQ(writeRtf(read(rtf).get()), rtf);
}

TEST(RtfWriter, EmptyDocument) {
    QTextDocument doc;
    EXPECT_EQ(rtfToPlainText(writeRtf(&doc)), QString());
}

}  // namespace
