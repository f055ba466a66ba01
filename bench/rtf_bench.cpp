// Speed of the RTF engine: reading 1 MB of formatted Chinese RTF, reading an
// RTF that carries a 4 MB PNG, and writing the 1 MB document back.

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTextDocument>

#include "platform/core/TextCodec.h"
#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"

namespace {

// About 1 MB of rich-edit style RTF: Chinese text in code page 936 with
// bold, italic, underline, colour and size changes and paragraphs.
const QByteArray& chineseRtf() {
    static const QByteArray rtf = [] {
        const QString chars = QStringLiteral(
            "云笺录是一个收集和阅读文章的个人文库每篇文章都有标题分类和正文正文可以保存为带格式的"
            "文本或者纯文本数据库文件由密码保护主窗口列出当前工作簿的文章标题按分类筛选");
        QList<QByteArray> gbk;
        for (QChar c : chars) {
            const QByteArray b = platform::toGbk(QString(c));
            QByteArray hex;
            for (char ch : b) hex += "\\'" + QByteArray::number(static_cast<unsigned char>(ch), 16);
            gbk << hex;
        }
        QByteArray out =
            "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil"
            "\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fnil\\fcharset134 "
            "\\'ba\\'da\\'cc\\'e5;}}\r\n"
            "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
            "\\viewkind4\\uc1\\pard\\lang2052\\f0\\fs20 ";
        static const char* kOn[] = {"\\b ", "\\i ", "\\ul ", "\\cf1 ", "\\fs28 ", "\\f1 "};
        static const char* kOff[] = {"\\b0 ", "\\i0 ", "\\ulnone ", "\\cf0 ", "\\fs20 ", "\\f0 "};
        quint32 n = 0;
        while (out.size() < 1024 * 1024) {
            const int fmt = int(n % 6);
            out += kOn[fmt];
            for (int i = 0; i < 12; ++i)
                out += gbk[int((n * 7 + quint32(i)) % quint32(gbk.size()))];
            out += kOff[fmt];
            for (int i = 0; i < 20; ++i)
                out += gbk[int((n * 3 + quint32(i)) % quint32(gbk.size()))];
            out += "abc 123 ";
            if (++n % 8 == 0) out += "\\par\r\n";
        }
        out += "\\par\r\n}\r\n";
        return out;
    }();
    return rtf;
}

// An RTF carrying one PNG of about 4 MB as hex digits.
const QByteArray& pictureRtf() {
    static const QByteArray rtf = [] {
        QImage img(1180, 1180, QImage::Format_RGB888);
        QRandomGenerator gen(42);
        for (int y = 0; y < img.height(); ++y) {
            uchar* line = img.scanLine(y);
            for (int x = 0; x < img.width() * 3; ++x) line[x] = uchar(gen.bounded(256));
        }
        QByteArray png;
        QBuffer buf(&png);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, "PNG", 0);
        QByteArray out =
            "{\\rtf1\\ansi\\ansicpg936{\\pict\\pngblip\\picw1180\\pich1180"
            "\\picwgoal17700\\pichgoal17700\r\n";
        const QByteArray hex = png.toHex();
        for (qsizetype i = 0; i < hex.size(); i += 128) out += hex.mid(i, 128) + "\r\n";
        out += "}}\r\n";
        return out;
    }();
    return rtf;
}

void BM_ReadRtfText(benchmark::State& state) {
    const QByteArray& rtf = chineseRtf();
    for (auto _ : state) {
        QTextDocument doc;
        richtext::readRtf(rtf, &doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadRtfText)->Unit(benchmark::kMillisecond);

void BM_ReadRtfPicture(benchmark::State& state) {
    const QByteArray& rtf = pictureRtf();
    for (auto _ : state) {
        QTextDocument doc;
        richtext::readRtf(rtf, &doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["rtf_MB"] = double(rtf.size()) / (1024 * 1024);
}
BENCHMARK(BM_ReadRtfPicture)->Unit(benchmark::kMillisecond);

// The same with the picture decoded for display, as the control does after a load.
void BM_ReadRtfPictureAndDecode(benchmark::State& state) {
    const QByteArray& rtf = pictureRtf();
    for (auto _ : state) {
        QTextDocument doc;
        richtext::readRtf(rtf, &doc);
        richtext::registerPictures(&doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadRtfPictureAndDecode)->Unit(benchmark::kMillisecond);

void BM_WriteRtf(benchmark::State& state) {
    QTextDocument doc;
    richtext::readRtf(chineseRtf(), &doc);
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray out = richtext::writeRtf(&doc);
        bytes += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
