// Every RTF file the tests know goes through the reader and the writer; the
// document's structure and the writer's bytes must match the recorded
// output in tests/richtext/golden/expected. A change of either shows up as
// a diff of those files.
//
// To record anew (after an intended change of the output), run the test
// with YUNJAN_UPDATE_GOLDEN=1 and review the diff before committing it.

#include <gtest/gtest.h>

#include <QBrush>
#include <QColor>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <algorithm>

#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"

using namespace richtext;

namespace {

QString sourceDir() {
    const QString env = qEnvironmentVariable("YUNJAN_SOURCE_DIR");
    return env.isEmpty() ? QStringLiteral(YUNJAN_SOURCE_DIR) : env;
}

QString hashOf(const QByteArray& bytes) {
    return QString::fromLatin1(
        QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(16));
}

// Dumps a document's text, formats, lists, tables and pictures. Picture
// resource names come from a process-wide counter, so they are numbered
// here in their order of appearance.
class Dumper {
  public:
    explicit Dumper(QTextDocument* doc) : doc_(doc) {}

    QString dump() {
        QString out;
        out += QStringLiteral("document blocks=%1\n").arg(doc_->blockCount());
        out += QStringLiteral("root frame ") + props(doc_->rootFrame()->frameFormat()) + '\n';
        for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
            out += QStringLiteral("block %1 pos=%2").arg(b.blockNumber()).arg(b.position());
            if (QTextList* l = b.textList())
                out +=
                    QStringLiteral(" list=%1 item=%2").arg(idOf(lists_, l)).arg(l->itemNumber(b));
            QTextCursor c(b);
            if (QTextTable* t = c.currentTable()) {
                const QTextTableCell cell = t->cellAt(c);
                out += QStringLiteral(" table=%1 cell=%2,%3 span=%4,%5")
                           .arg(idOf(tables_, t))
                           .arg(cell.row())
                           .arg(cell.column())
                           .arg(cell.rowSpan())
                           .arg(cell.columnSpan());
            }
            out += '\n';
            out += QStringLiteral("  format ") + props(b.blockFormat()) + '\n';
            out += QStringLiteral("  char ") + props(b.charFormat()) + '\n';
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (!f.isValid()) continue;
                out += QStringLiteral("  text \"%1\" ").arg(escaped(f.text())) +
                       props(f.charFormat()) + '\n';
            }
        }
        for (std::size_t i = 0; i < lists_.size(); ++i)
            out += QStringLiteral("list %1 ").arg(i) + props(lists_[i]->format()) + '\n';
        for (std::size_t i = 0; i < tables_.size(); ++i) {
            QTextTable* t = tables_[i];
            out += QStringLiteral("table %1 rows=%2 columns=%3 ")
                       .arg(i)
                       .arg(t->rows())
                       .arg(t->columns()) +
                   props(t->format()) + '\n';
            for (int r = 0; r < t->rows(); ++r)
                for (int col = 0; col < t->columns(); ++col) {
                    const QTextTableCell cell = t->cellAt(r, col);
                    if (cell.row() != r || cell.column() != col) continue;
                    out += QStringLiteral("  cell %1,%2 ").arg(r).arg(col) + props(cell.format()) +
                           '\n';
                }
        }
        for (std::size_t i = 0; i < pictures_.size(); ++i) {
            const QVariant res = doc_->resource(QTextDocument::ImageResource, QUrl(pictures_[i]));
            const QImage img = res.value<QImage>();
            out +=
                QStringLiteral("picture %1 size=%2x%3").arg(i).arg(img.width()).arg(img.height());
            if (!img.isNull()) {
                const QImage rgb = img.convertToFormat(QImage::Format_ARGB32);
                out += QStringLiteral(" pixels=") +
                       hashOf(QByteArray(reinterpret_cast<const char*>(rgb.constBits()),
                                         qsizetype(rgb.sizeInBytes())));
            }
            out += '\n';
        }
        return out;
    }

  private:
    template <class T>
    static std::size_t idOf(std::vector<T*>& seen, T* p) {
        auto it = std::find(seen.begin(), seen.end(), p);
        if (it != seen.end()) return std::size_t(it - seen.begin());
        seen.push_back(p);
        return seen.size() - 1;
    }

    static QString escaped(const QString& s) {
        QString out;
        for (QChar ch : s) {
            const ushort u = ch.unicode();
            if (u == '\\' || u == '"')
                out += '\\' + QString(ch);
            else if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0x2028 || u == 0x2029 ||
                     u == 0xFFFC || ch.isSurrogate() || u == 0xAD || u == 0xA0)
                out += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
            else
                out += ch;
        }
        return out;
    }

    QString value(int key, const QVariant& v) {
        if (key == QTextFormat::ImageName) {
            const QString name = v.toString();
            auto it = std::find(pictures_.begin(), pictures_.end(), name);
            std::size_t n = std::size_t(it - pictures_.begin());
            if (it == pictures_.end()) pictures_.push_back(name);
            return QStringLiteral("picture%1").arg(n);
        }
        switch (v.metaType().id()) {
            case QMetaType::QBrush: {
                const QBrush b = v.value<QBrush>();
                return QStringLiteral("brush(%1,%2)")
                    .arg(int(b.style()))
                    .arg(b.color().name(QColor::HexArgb));
            }
            case QMetaType::QColor:
                return v.value<QColor>().name(QColor::HexArgb);
            case QMetaType::QPen: {
                const QPen p = v.value<QPen>();
                return QStringLiteral("pen(%1,%2,%3)")
                    .arg(int(p.style()))
                    .arg(p.widthF())
                    .arg(p.color().name(QColor::HexArgb));
            }
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                return QStringLiteral("bytes(%1,%2)").arg(b.size()).arg(hashOf(b));
            }
            case QMetaType::QString:
                return '"' + escaped(v.toString()) + '"';
            case QMetaType::QStringList:
                return '[' + v.toStringList().join(',') + ']';
            case QMetaType::Double:
                return QString::number(v.toDouble(), 'g', 12);
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
                return v.toString();
            default:
                break;
        }
        if (v.canConvert<QList<QTextLength>>()) {
            QStringList parts;
            for (const QTextLength& l : v.value<QList<QTextLength>>())
                parts << QStringLiteral("%1:%2").arg(int(l.type())).arg(l.rawValue());
            return '[' + parts.join(',') + ']';
        }
        if (v.canConvert<QTextLength>()) {
            const QTextLength l = v.value<QTextLength>();
            return QStringLiteral("%1:%2").arg(int(l.type())).arg(l.rawValue());
        }
        return QStringLiteral("%1(%2)").arg(QString::fromLatin1(v.typeName()), v.toString());
    }

    QString props(const QTextFormat& f) {
        QStringList parts;
        const QMap<int, QVariant> all = f.properties();
        for (auto it = all.constBegin(); it != all.constEnd(); ++it)
            parts << QStringLiteral("%1=%2").arg(it.key(), 0, 16).arg(value(it.key(), it.value()));
        return '{' + parts.join(' ') + '}';
    }

    QTextDocument* doc_;
    std::vector<QTextList*> lists_;
    std::vector<QTextTable*> tables_;
    std::vector<QString> pictures_;
};

struct Input {
    QString path;  // the RTF file
    QString key;   // base name of its recorded output
};

// The RTF files the tests know: the fuzzer's seeds and regressions and the
// fixtures beside the recorded output.
std::vector<Input> inputs() {
    std::vector<Input> out;
    const struct {
        const char* dir;
        const char* prefix;
    } kDirs[] = {
        {"/fuzz/corpus", "corpus-"},
        {"/fuzz/regressions/rtf", "regressions-"},
        {"/tests/richtext/golden/input", "fixture-"},
    };
    for (const auto& d : kDirs) {
        const QDir dir(sourceDir() + QLatin1String(d.dir));
        for (const QString& name :
             dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name))
            out.push_back({dir.filePath(name), QLatin1String(d.prefix) + name});
    }
    return out;
}

QByteArray readFile(const QString& path, bool* ok) {
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    return *ok ? f.readAll() : QByteArray();
}

// Compares with the recorded file, or records it when asked to.
void compareWithRecorded(const QString& name, const QByteArray& actual) {
    const QString path = sourceDir() + QStringLiteral("/tests/richtext/golden/expected/") + name;
    if (qEnvironmentVariableIntValue("YUNJAN_UPDATE_GOLDEN") == 1) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        ASSERT_EQ(f.write(actual), actual.size());
        return;
    }
    bool ok = false;
    const QByteArray expected = readFile(path, &ok);
    ASSERT_TRUE(ok) << "no recorded output " << path.toStdString();
    if (expected == actual) return;
    // show the first line that differs, not two whole documents
    const QList<QByteArray> a = actual.split('\n'), e = expected.split('\n');
    qsizetype i = 0;
    while (i < a.size() && i < e.size() && a[i] == e[i]) ++i;
    ADD_FAILURE() << name.toStdString() << " differs at line " << i + 1
                  << "\n  recorded: " << (i < e.size() ? e[i].left(300).toStdString() : "<end>")
                  << "\n  now:      " << (i < a.size() ? a[i].left(300).toStdString() : "<end>");
}

TEST(RtfGolden, ReaderAndWriterOutputMatchRecorded) {
    const std::vector<Input> all = inputs();
    ASSERT_FALSE(all.empty());
    for (const Input& in : all) {
        SCOPED_TRACE(in.key.toStdString());
        bool ok = false;
        QByteArray bytes = readFile(in.path, &ok);
        ASSERT_TRUE(ok) << in.path.toStdString();
        if (!looksLikeRtf(bytes)) bytes.prepend("{\\rtf1 ");  // as the fuzzer does
        QTextDocument doc;
        readRtf(bytes, &doc);
        registerPictures(&doc);
        compareWithRecorded(in.key + QStringLiteral(".doc.txt"), Dumper(&doc).dump().toUtf8());
        compareWithRecorded(in.key + QStringLiteral(".writer.out"), writeRtf(&doc));
    }
}

}  // namespace
