// libFuzzer target: any bytes through the RTF reader, the picture decoders
// and the writer, and the writer's output through the reader again.

#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>

#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "rtf_fuzz";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);  // fonts and images need one; lives for the run
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // most mutations lose the signature; keep exploring the reader behind it
    if (!richtext::looksLikeRtf(bytes)) bytes.prepend("{\\rtf1 ");
    QTextDocument doc;
    richtext::readRtf(bytes, &doc);
    richtext::registerPictures(&doc);
    const QByteArray out = richtext::writeRtf(&doc);
    QTextDocument again;
    richtext::readRtf(out, &again);
    (void)richtext::plainTextOf(&again);
    return 0;
}
