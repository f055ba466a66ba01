// libFuzzer target: any bytes through the RTF reader and the picture
// decoders; on a share of the inputs also through the writer and the
// writer's output through the reader again.
//
// Speed: the application and the two documents live for the whole run (a
// document is cleared by the reader), no layout is ever asked for and
// nothing is painted. Whether an input takes the writer's round trip
// depends on its bytes only, so a saved crash reproduces when replayed.

#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>

#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"

namespace {

QTextDocument* g_doc = nullptr;
QTextDocument* g_again = nullptr;

// Small inputs always, larger ones one in eight (by a hash of the bytes).
bool takesRoundTrip(const uint8_t* data, size_t size) {
    if (size <= 2048) return true;
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; i += 61) h = (h ^ data[i]) * 16777619u;
    return (h & 7u) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "rtf_fuzz";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);  // fonts and images need one; lives for the run
    g_doc = new QTextDocument;
    g_again = new QTextDocument;
    g_doc->setUndoRedoEnabled(false);
    g_again->setUndoRedoEnabled(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // most mutations lose the signature; keep exploring the reader behind it
    if (!richtext::looksLikeRtf(bytes)) bytes.prepend("{\\rtf1 ");
    richtext::readRtf(bytes, g_doc);
    richtext::registerPictures(g_doc);
    if (takesRoundTrip(data, size)) {
        const QByteArray out = richtext::writeRtf(g_doc);
        richtext::readRtf(out, g_again);
        (void)richtext::plainTextOf(g_again);
    }
    return 0;
}
