// The RTF reader: decoding, formats, structure, malformed input and the
// sample files of other writers.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>

#include "RtfTestUtil.h"
#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfKeywords.h"

using namespace richtext;
using rtftest::find;
using rtftest::formatAt;
using rtftest::read;

namespace {

// A rich-edit style header for Chinese documents.
const QByteArray kHead =
    "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"
    "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss\\fcharset0 Arial;}"
    "{\\f2\\fnil\\fcharset2 Symbol;}{\\f3\\fnil\\fcharset136 "
    "\\'b7\\'73\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;}}"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
    "\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs20 ";

struct TextCase {
    const char* name;
    QByteArray body;  // after kHead, before the closing brace
    QString text;
};

class ReaderText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ReaderText, DecodesToExpectedText) {
    const TextCase& c = GetParam();
    EXPECT_EQ(rtfToPlainText(kHead + c.body + "}"), c.text) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderText,
    ::testing::Values(
        TextCase{"gbk_hex", "\\'d6\\'d0\\'ce\\'c4", QStringLiteral("中文")},
        TextCase{"gbk_hex_plus_raw_byte", "\\'b0a\\'b0a", QStringLiteral("癮癮")},
        TextCase{"raw_gbk_bytes", "\xd6\xd0\xce\xc4", QStringLiteral("中文")},
        TextCase{"euro_is_0x80_in_cp936", "\\'80", QStringLiteral("€")},
        TextCase{"u_with_gbk_fallback_uc2", "\\uc2\\u20013\\'d6\\'d0\\u25991\\'ce\\'c4",
                 QStringLiteral("中文")},
        TextCase{"u_negative", "\\u-3913?x", QStringLiteral("\uF0B7x")},
        TextCase{"u_surrogate_pair", "\\u-10179?\\u-8704?", QString::fromUtf8("\xF0\x9F\x98\x80")},
        TextCase{"uc0_no_fallback", "\\uc0\\u8804 a", QStringLiteral("≤a")},
        TextCase{"brace_ends_skip", "{\\uc3\\u20013}ab", QStringLiteral("中ab")},
        TextCase{"control_word_counts_one", "\\u20013\\par x", QStringLiteral("中x")},
        TextCase{"uc_is_scoped", "{\\uc2\\u20013\\'d6\\'d0}\\u25991?", QStringLiteral("中文")},
        TextCase{"big5_font", "\\f3\\'a4\\'a4\\'a4\\'e5", QStringLiteral("中文")},
        TextCase{"symbol_bullet_b7", "\\f2\\'b7\\f0 x", QStringLiteral("•x")},
        TextCase{"plain_back_to_deff", "\\f2\\'b7\\plain\\'d6\\'d0", QStringLiteral("•中")},
        TextCase{"charset0_uses_ansicpg", "\\f1\\'d6\\'d0", QStringLiteral("中")},
        TextCase{"loch_dbch_do_not_change_code_page", "\\f0\\loch\\af1\\dbch\\'d6\\'d0",
                 QStringLiteral("中")},
        TextCase{"specials",
                 "a\\~b\\-c\\_d\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet",
                 QStringLiteral("a\u00A0b\u00ADc\u2011d—–‘’“”•")},
        TextCase{"escapes", "\\\\\\{\\}", QStringLiteral("\\{}")},
        TextCase{"tab_and_line", "a\\tab b\\line c", QStringLiteral("a\tb\nc")},
        TextCase{"paragraphs", "a\\par b\\par\r\n c", QStringLiteral("a\nb\n c")},
        TextCase{"backslash_newline_is_par", "a\\\nb", QStringLiteral("a\nb")},
        TextCase{"page_break_ends_a_paragraph_once", "a\\page b\\par\\page c",
                 QStringLiteral("a\nb\nc")},
        TextCase{"unknown_star_destination_skipped", "a{\\*\\foo b{c}}d", QStringLiteral("ad")},
        TextCase{"info_and_stylesheet_skipped", "{\\info{\\title t}}{\\stylesheet{\\s1 Normal;}}x",
                 QStringLiteral("x")},
        TextCase{"upr_uses_ud", "{\\upr{a}{\\*\\ud{\\u20013?}}}", QStringLiteral("中")},
        TextCase{"shppict_preferred_nonshppict_skipped",
                 "{\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict\\wmetafile8 00}}x",
                 QStringLiteral("\uFFFCx")},
        TextCase{"field_result_shown", "{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}",
                 QStringLiteral("3")},
        TextCase{"object_shows_result",
                 "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}{\\result r}}",
                 QStringLiteral("r")},
        TextCase{"bin_is_raw", "{\\pict\\pngblip\\bin3 {}\\}x", QStringLiteral("\uFFFCx")},
        TextCase{"text_after_document_end_ignored", "x}tail{", QStringLiteral("x")}));

TEST(RtfReader, NotRtfIsAnError) {
    QTextDocument doc;
    EXPECT_THROW(readRtf("hello", &doc), RtfError);
    EXPECT_THROW(readRtf("", &doc), RtfError);
    EXPECT_FALSE(looksLikeRtf("{rtf"));
    EXPECT_TRUE(looksLikeRtf("\xEF\xBB\xBF  {\\rtf1}"));
}

TEST(RtfReader, CharacterFormats) {
    auto doc = read(kHead +
                    "n{\\b b}{\\i i}{\\ul u}{\\ul\\ulnone x}{\\ul0 y}{\\strike s}{\\sub d}"
                    "{\\super p}{\\super\\nosupersub q}{\\cf1 r}{\\cf0 a}{\\highlight2 h}"
                    "{\\fs40 L}{\\f1 A}{\\b\\b0 o}{\\v v}{\\protect t}{\\disabled g}"
                    "{\\b\\i\\plain z}}");
    const QString text = doc->toPlainText();
    auto fmt = [&](QChar ch) { return formatAt(doc.get(), int(text.indexOf(ch))); };
    EXPECT_EQ(fmt('n').fontWeight(), QFont::Normal);
    EXPECT_EQ(fmt('b').fontWeight(), QFont::Bold);
    EXPECT_TRUE(fmt('i').fontItalic());
    EXPECT_TRUE(fmt('u').fontUnderline());
    EXPECT_FALSE(fmt('x').fontUnderline());
    EXPECT_FALSE(fmt('y').fontUnderline());
    EXPECT_TRUE(fmt('s').fontStrikeOut());
    EXPECT_EQ(fmt('d').verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(fmt('p').verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(fmt('q').verticalAlignment(), QTextCharFormat::AlignNormal);
    EXPECT_EQ(trueTextColor(fmt('r')), QColor(255, 0, 0));
    EXPECT_FALSE(trueTextColor(fmt('a')).isValid()) << "empty first colour is automatic";
    EXPECT_EQ(fmt('h').background().color(), QColor(0, 0, 255));
    EXPECT_EQ(fmt('L').fontPointSize(), 20.0);
    EXPECT_EQ(fmt('n').fontPointSize(), 10.0);
    EXPECT_EQ(fmt('A').fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
    EXPECT_EQ(fmt('n').fontFamilies().toStringList().value(0), QStringLiteral("宋体"));
    EXPECT_EQ(fmt('n').intProperty(PropCharset), 134);
    EXPECT_EQ(fmt('o').fontWeight(), QFont::Normal);
    EXPECT_TRUE(fmt('v').boolProperty(PropHidden));
    EXPECT_EQ(fmt('v').foreground().color().alpha(), 0) << "hidden text is not drawn";
    EXPECT_TRUE(fmt('t').boolProperty(PropProtected));
    EXPECT_TRUE(fmt('g').boolProperty(PropDisabled));
    EXPECT_EQ(fmt('z').fontWeight(), QFont::Normal);
    EXPECT_FALSE(fmt('z').fontItalic());
}

TEST(RtfReader, ParagraphFormats) {
    auto doc = read(kHead +
                    "\\qc c\\par\\pard\\qr r\\par\\pard\\qj j\\par\\pard\\li720\\ri360\\fi-360 "
                    "i\\par\\pard\\sb240\\sa120 s\\par\\pard\\sl360\\slmult0 m\\par"
                    "\\pard\\sl-300\\slmult0 x\\par\\pard\\sl480\\slmult1 d\\par\\pard l}");
    auto block = [&](int n) { return doc->findBlockByNumber(n).blockFormat(); };
    EXPECT_EQ(block(0).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(block(1).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(block(2).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    const ParaTwips t = paraIndents(block(3));
    EXPECT_EQ(t.li, 720);
    EXPECT_EQ(t.ri, 360);
    EXPECT_EQ(t.fi, -360);
    EXPECT_EQ(pxToTwips(block(4).topMargin()), 240);
    EXPECT_EQ(pxToTwips(block(4).bottomMargin()), 120);
    EXPECT_EQ(block(5).lineHeightType(), QTextBlockFormat::MinimumHeight);
    EXPECT_EQ(pxToTwips(block(5).lineHeight()), 360);
    EXPECT_EQ(block(6).lineHeightType(), QTextBlockFormat::FixedHeight);
    EXPECT_EQ(block(7).lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_EQ(block(7).lineHeight(), 200.0);
    EXPECT_EQ(block(8).alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(doc->blockCount(), 9);
}

// The last paragraph has the properties in force at its end, whether the
// document ends it with a final \par or not; a final \par opens no paragraph.
TEST(RtfReader, LastParagraphKeepsItsFormat) {
    const struct {
        const char* name;
        QByteArray body;  // after kHead
        QString text;
        Qt::Alignment align;  // of the last paragraph
        int li, sb, minHeight;
        bool bullet;
    } cases[] = {
        {"centred, no final mark", "first\\par\\pard\\qc\\li720\\sb240\\sl480 last centred}",
         QStringLiteral("first\nlast centred"), Qt::AlignHCenter, 720, 240, 480, false},
        {"centred, final mark", "first\\par\\pard\\qc\\li720\\sb240\\sl480 last centred\\par}",
         QStringLiteral("first\nlast centred"), Qt::AlignHCenter, 720, 240, 480, false},
        {"bullet, no final mark",
         "first\\par\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0"
         "{\\pntxtb\\'B7}}\\fi-200\\li400 item}",
         QStringLiteral("first\nitem"), Qt::AlignLeft, 400, 0, 0, true},
        {"bullet, final mark",
         "first\\par\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0"
         "{\\pntxtb\\'B7}}\\fi-200\\li400 item\\par}",
         QStringLiteral("first\nitem"), Qt::AlignLeft, 400, 0, 0, true},
        {"empty last paragraph before the mark", "first\\par\\pard\\qc\\par}",
         QStringLiteral("first\n"), Qt::AlignHCenter, 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = read(kHead + c.body);
        EXPECT_EQ(doc->toPlainText(), c.text);
        const QTextBlock last = doc->lastBlock();
        const QTextBlockFormat bf = last.blockFormat();
        EXPECT_EQ(bf.alignment() & Qt::AlignHorizontal_Mask, c.align);
        const ParaTwips t = paraIndents(bf);
        EXPECT_EQ(t.li + (c.bullet ? 0 : t.fi), c.li);
        EXPECT_EQ(pxToTwips(bf.topMargin()), c.sb);
        if (c.minHeight) {
            EXPECT_EQ(bf.lineHeightType(), QTextBlockFormat::MinimumHeight);
            EXPECT_EQ(pxToTwips(bf.lineHeight()), c.minHeight);
        }
        EXPECT_EQ(last.textList() != nullptr, c.bullet);
    }
}

TEST(RtfReader, RichEditBulletsAreListsWithoutTheirTextDoubled) {
    // what a rich-edit control writes for two bullets and a plain paragraph
    auto doc = read(kHead +
                    "{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}"
                    "\\fi-200\\li200 \\'d2\\'bb\\par{\\pntext\\f2\\'B7\\tab}\\'b6\\'fe\\par"
                    "\\pard three}");
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("一\n二\nthree"));
    const QTextBlock b0 = doc->findBlockByNumber(0), b1 = doc->findBlockByNumber(1);
    ASSERT_NE(b0.textList(), nullptr);
    EXPECT_EQ(b0.textList(), b1.textList());
    EXPECT_EQ(doc->findBlockByNumber(2).textList(), nullptr);
    EXPECT_EQ(paraIndents(b0.blockFormat()).fi, -200);
}

TEST(RtfReader, ListTextOfLaterWriters) {
    // \ls with a bullet list text: a bullet; with a number: the number stays as text
    auto doc = read(kHead +
                    "{\\listtext\\f2\\'b7\\tab}\\ls1 a\\par\\pard{\\listtext 1.\\tab}\\ls2 b\\par"
                    "\\pard c}");
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("a\n1.\tb\nc"));
    EXPECT_NE(doc->findBlockByNumber(0).textList(), nullptr);
}

TEST(RtfReader, HyperlinkFieldBecomesLink) {
    auto doc = read(kHead +
                    "see {\\field{\\*\\fldinst{HYPERLINK \"https://example.com/a b\"}}"
                    "{\\fldrslt{\\ul\\cf2 \\'d5\\'be\\'b5\\'e3}}} and "
                    "{\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt up}} end}");
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("see 站点 and up end"));
    const QTextCharFormat link = formatAt(doc.get(), find(doc.get(), QStringLiteral("站")));
    EXPECT_TRUE(link.isAnchor());
    EXPECT_EQ(link.anchorHref(), QStringLiteral("https://example.com/a b"));
    EXPECT_TRUE(link.fontUnderline());
    EXPECT_EQ(formatAt(doc.get(), find(doc.get(), QStringLiteral("up"))).anchorHref(),
              QStringLiteral("#top"));
    EXPECT_FALSE(formatAt(doc.get(), find(doc.get(), QStringLiteral("end"))).isAnchor());
}

TEST(RtfReader, TablesKeepTextInOrder) {
    auto doc = read(kHead +
                    "before\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
                    "\\trowd\\cellx1000\\cellx2000\\pard\\intbl c\\cell d\\cell\\row\\pard after}");
    QTextTable* table = nullptr;
    for (QTextFrame* f : doc->rootFrame()->childFrames())
        if ((table = qobject_cast<QTextTable*>(f))) break;
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 2);
    auto cellText = [&](int r, int c) {
        QTextCursor k = table->cellAt(r, c).firstCursorPosition();
        k.setPosition(table->cellAt(r, c).lastPosition(), QTextCursor::KeepAnchor);
        return k.selectedText();
    };
    EXPECT_EQ(cellText(0, 0), QStringLiteral("a"));
    EXPECT_EQ(cellText(0, 1), QStringLiteral("b"));
    EXPECT_EQ(cellText(1, 0), QStringLiteral("c"));
    EXPECT_EQ(cellText(1, 1), QStringLiteral("d"));
    const QString plain = doc->toPlainText();
    EXPECT_LT(plain.indexOf(QStringLiteral("before")), plain.indexOf('a'));
    EXPECT_GT(plain.indexOf(QStringLiteral("after")), plain.indexOf('d'));
}

TEST(RtfReader, PicturesKeepTheirBytesAndSize) {
    QImage red(1, 1, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    red.save(&buf, "PNG");
    auto doc =
        read(kHead + "{\\pict\\pngblip\\picw1\\pich1\\picwgoal300\\pichgoal150\\picscalex200 " +
             png.toHex() + "}}");
    const QTextCharFormat f = formatAt(doc.get(), 0);
    ASSERT_TRUE(f.isImageFormat());
    const QTextImageFormat img = f.toImageFormat();
    EXPECT_EQ(img.property(PropPicBytes).toByteArray(), png);
    EXPECT_EQ(img.stringProperty(PropPicType), QStringLiteral("png"));
    EXPECT_DOUBLE_EQ(img.width(), 40.0);  // 300 twips at 200 %
    EXPECT_DOUBLE_EQ(img.height(), 10.0);
    registerPictures(doc.get());
    EXPECT_FALSE(
        doc->resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>().isNull());
}

// A picture without its type word (or marked \wbitmap) is recognised by its
// bytes, and a PNG or JPEG so recognised is kept as it is.
TEST(RtfReader, PictureWithoutTypeWordIsRecognisedByItsBytes) {
    QImage green(2, 3, QImage::Format_RGB32);
    green.fill(Qt::green);
    struct Case {
        const char* format;
        const char* lead;
        const char* type;
    };
    const Case cases[] = {{"PNG", "{\\pict ", "png"},
                          {"JPEG", "{\\pict ", "jpeg"},
                          {"PNG", "{\\pict\\wbitmap0 ", "png"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + c.lead);
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        green.save(&buf, c.format);
        auto doc = read(kHead + c.lead + bytes.toHex() + "}}");
        const QTextCharFormat f = formatAt(doc.get(), 0);
        ASSERT_TRUE(f.isImageFormat());
        const QTextImageFormat img = f.toImageFormat();
        EXPECT_EQ(img.stringProperty(PropPicType), QLatin1String(c.type));
        EXPECT_DOUBLE_EQ(img.width(), 2.0);  // its own size: no goal size given
        EXPECT_DOUBLE_EQ(img.height(), 3.0);
        // written back unchanged, not decoded and encoded again
        QByteArray out = writeRtf(doc.get());
        out.replace('\n', "");
        EXPECT_TRUE(out.contains(bytes.toHex()));
    }
}

TEST(RtfReader, MetafileShowsTheBitmapItCarries) {
    // a 2x1 24-bit DIB inside a WMF STRETCHDIB record, as rich-edit controls store pictures
    QByteArray dib = QByteArray::fromHex(
        "28000000020000000100000001001800000000000800000000000000"
        "0000000000000000000000000000ffff00000000");
    QByteArray rec;
    auto put16 = [&rec](int v) { rec.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto put32 = [&](quint32 v) { put16(int(v & 0xFFFF)), put16(int(v >> 16)); };
    const int words = (6 + 22 + int(dib.size())) / 2;
    put32(quint32(words));
    put16(0x0F43);
    put32(0x00CC0020);
    for (int i = 0; i < 9; ++i) put16(i == 1 ? 1 : i == 2 ? 2 : 0);
    rec.append(dib);
    QByteArray wmf;
    auto w16 = [&wmf](int v) { wmf.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    w16(1), w16(9), w16(0x300), w16(0), w16(0), w16(0), w16(0), w16(0), w16(0);
    wmf.append(rec);
    wmf.append(QByteArray::fromHex("030000000000"));
    const QImage img = decodePicture(wmf, QStringLiteral("wmf"));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(2, 1));
    EXPECT_EQ(QColor(img.pixel(0, 0)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(img.pixel(1, 0)), QColor(0, 0, 255));
}

// Malformed input: the reader returns what it could read, never crashes or hangs.
TEST(RtfReader, MalformedInputIsReadAsFarAsPossible) {
    const QByteArray deep = "{\\rtf1 " + QByteArray(100000, '{') + "x";
    const QList<QByteArray> inputs = {
        "{\\rtf1 abc",                                                    // truncated
        "{\\rtf1 a}}}}}b",                                                // unbalanced
        "{\\rtf1 {\\pict\\pngblip\\bin999999999 ab}}",                    // \bin past the end
        "{\\rtf1 \\'zz\\'4 \\'",                                          // bad hex
        "{\\rtf1\\ansicpg99999 \\'c1\\'c2}",                              // unknown code page
        "{\\rtf1{\\pict\\pngblip}x}",                                     // zero-size picture
        "{\\rtf1{\\pict\\dibitmap0 28000000ffffff7fffffff7f01002000}x}",  // absurd DIB
        "{\\rtf1\\u99999999999\\uc99999999 a\\fs-5 b\\li999999999 c\\par}",
        "{\\rtf1\\cell\\row\\cell\\intbl\\cell\\row\\nestcell}",
        "{\\rtf1{\\field{\\fldrslt{\\field{\\*\\fldinst HYPERLINK}}}}}",
        deep,
    };
    for (const QByteArray& in : inputs) {
        QTextDocument doc;
        EXPECT_NO_THROW(readRtf(in, &doc)) << in.left(60).constData();
        registerPictures(&doc);
    }
    QTextDocument doc;
    readRtf(deep, &doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("x"));
    readRtf("{\\rtf1 abc", &doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("abc"));
}

// Every sample of other writers reads to the text another reader extracted
// (white space and table bars folded).
TEST(RtfReader, SamplesOfOtherWriters) {
    const QString dir = rtftest::samplesDir();
    if (dir.isEmpty()) GTEST_SKIP() << "no ../shared/rtf-samples beside the checkout";
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.rtf")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    static const QRegularExpression fold(QStringLiteral("[\\s|\\x{00A0}]+"));
    int compared = 0;
    for (const QString& name : files) {
        QFile expectedFile(dir + '/' +
                           QString(name).replace(QLatin1String(".rtf"), QLatin1String(".txt")));
        if (!expectedFile.open(QIODevice::ReadOnly)) continue;
        QString expected = QString::fromUtf8(expectedFile.readAll());
        QFile in(dir + '/' + name);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        QTextDocument doc;
        readRtf(in.readAll(), &doc);
        if (name == QLatin1String("hyperlinks.rtf")) {
            // the other reader writes each link's address after its text; ours
            // makes the text a link to that address
            static const QRegularExpression addr(QStringLiteral("\\(\"([^\"]*)\"\\)"));
            for (auto it = addr.globalMatch(expected); it.hasNext();) {
                const QString href = it.next().captured(1);
                EXPECT_TRUE(doc.toHtml().contains(href.toHtmlEscaped())) << href.toStdString();
            }
            expected.remove(addr);
        }
        EXPECT_EQ(doc.toPlainText().remove(fold), expected.remove(fold)) << name.toStdString();
        ++compared;
    }
    EXPECT_GE(compared, 10);
}

}  // namespace

// The keyword table is an open-addressing hash: words that share a slot,
// prefixes and longer words must not find each other.
TEST(RtfKeywordTable, FindsExactlyItsWords) {
    struct Case {
        const char* word;
        bool known;
        Kw kw;
    };
    const Case cases[] = {
        {"par", true, Kw::par},         {"pard", true, Kw::pard},    {"b", true, Kw::b},
        {"ud", true, Kw::ud},           {"pngblip", true, Kw::blip}, {"highlight", true, Kw::cb},
        {"cb", true, Kw::cb},           {"pa", false, Kw::par},      {"parx", false, Kw::par},
        {"PAR", false, Kw::par},        {"", false, Kw::par},        {"pngblipx", false, Kw::par},
        {"nosuchword", false, Kw::par},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        const KwInfo* k = findKeyword(c.word);
        ASSERT_EQ(k != nullptr, c.known);
        if (k) {
            EXPECT_EQ(k->kw, c.kw);
        }
    }
}
