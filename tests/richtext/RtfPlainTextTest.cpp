// The text-only pass the full-text index uses, against the document the
// reader builds: over the fuzz corpus and its regressions both give the same
// letters and digits, except what the reader keeps but nobody sees (hidden
// text) and what it generates (list numbers).

#include <gtest/gtest.h>

#include <QFile>

#include "richtext/Rtf.h"
#include "richtext/core/RtfPlainText.h"

namespace {

QString lettersOf(const QString& s) {
    QString out;
    for (QChar c : s)
        if (c.isLetterOrNumber()) out += c;
    return out;
}

QByteArray sourceFile(const char* path) {
    QFile f(QStringLiteral(YUNJAN_SOURCE_DIR "/") + QString::fromLatin1(path));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path;
    return f.readAll();
}

}  // namespace

TEST(RtfPlainText, GivesTheLettersOfTheReadersDocument) {
    struct Case {
        const char* file;
        const char* onlyInDocument;  // removed from the document's letters
    };
    const Case cases[] = {
        {"fuzz/corpus/lists_later_writers.rtf", "1"},  // a generated list number
        {"fuzz/corpus/pictures.rtf", ""},
        {"fuzz/corpus/richedit_cn.rtf", "hidden"},  // \v text
        {"fuzz/corpus/unicode_uc2.rtf", ""},        // \ucN, surrogates, Big5, \upr
        {"fuzz/corpus/word_fields.rtf", ""},        // fonts by \dbch, fields, tables
        {"fuzz/regressions/rtf/bad_hex_and_codepage.rtf", ""},
        {"fuzz/regressions/rtf/bin_past_end.rtf", ""},
        {"fuzz/regressions/rtf/deep_nesting.rtf", ""},
        {"fuzz/regressions/rtf/unbalanced.rtf", ""},
    };
    for (const Case& c : cases) {
        const QByteArray rtf = sourceFile(c.file);
        QString expected = lettersOf(richtext::rtfToPlainText(rtf));
        expected.remove(QString::fromUtf8(c.onlyInDocument));
        EXPECT_EQ(lettersOf(richtext::rtfPlainText(rtf)).toStdString(), expected.toStdString())
            << c.file;
    }
}

TEST(RtfPlainText, BreaksParagraphsCellsAndTabs) {
    const QByteArray rtf(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 a\\par b\\tab c\\line d"
        "\\trowd\\cellx100\\cellx200\\intbl e\\cell f\\cell\\row g\\{\\}\\\\}");
    EXPECT_EQ(richtext::rtfPlainText(rtf), "a\nb\tc\nd\ne\tf\t\ng{}\\");
}
