// rtfconv IN OUT: converts between RTF and text through the program's own
// RTF reader and writer, for tests, debugging and fuzz seeds.
//   IN  .rtf (RTF) or .txt (GBK text)
//   OUT .txt (plain text, UTF-8), .rtf (reader + writer) or .html (Qt's HTML)

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdio>

#include "platform/core/CommandLine.h"
#include "platform/core/TextCodec.h"
#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"

static int fail(const QString& message) {
    std::fprintf(stderr, "rtfconv: %s\n", message.toLocal8Bit().constData());
    return 1;
}

int main(int argc, char** argv) {
    platform::ToolUsage usage;
    usage.tool = "rtfconv";
    usage.synopsis = QStringLiteral("[选项] IN.rtf|IN.txt OUT.txt|OUT.rtf|OUT.html");
    usage.description = QStringLiteral(
        "用程序自己的 RTF 读写器转换文件：IN 为 RTF 或 GBK 文本；OUT 为 UTF-8 文本、\n"
        "重新写出的 RTF 或 Qt 的 HTML。");
    usage.minOperands = usage.maxOperands = 2;
    // Read before Qt sees the arguments: they are all ours.
    const platform::ToolArguments args = platform::parseToolArguments(argc, argv, usage);
    if (args.exitCode >= 0) return args.exitCode;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    const QString in = args.operands[0], out = args.operands[1];
    const QString inExt = QFileInfo(in).suffix().toLower();
    const QString outExt = QFileInfo(out).suffix().toLower();
    if (inExt != QLatin1String("rtf") && inExt != QLatin1String("txt"))
        return fail(QStringLiteral("%1: input must be .rtf or .txt").arg(in));
    if (outExt != QLatin1String("txt") && outExt != QLatin1String("rtf") &&
        outExt != QLatin1String("html"))
        return fail(QStringLiteral("%1: output must be .txt, .rtf or .html").arg(out));

    QFile f(in);
    if (!f.open(QIODevice::ReadOnly)) return fail(QStringLiteral("cannot read %1").arg(in));
    const QByteArray bytes = f.readAll();
    f.close();

    QTextDocument doc;
    if (inExt == QLatin1String("rtf")) {
        try {
            richtext::readRtf(bytes, &doc);
        } catch (const richtext::RtfError&) {
            return fail(QStringLiteral("%1 is not an RTF document").arg(in));
        }
    } else {
        QString text = platform::fromGbk(bytes);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        QTextCursor(&doc).insertText(text);
    }

    QByteArray result;
    if (outExt == QLatin1String("txt")) {
        result = doc.toPlainText().toUtf8();
    } else if (outExt == QLatin1String("rtf")) {
        richtext::registerPictures(&doc);
        result = richtext::writeRtf(&doc);
    } else {
        richtext::registerPictures(&doc);
        result = doc.toHtml().toUtf8();
    }
    QFile o(out);
    if (!o.open(QIODevice::WriteOnly | QIODevice::Truncate) || o.write(result) != result.size())
        return fail(QStringLiteral("cannot write %1").arg(out));
    return 0;
}
