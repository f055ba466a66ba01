// libFuzzer target: the settings (INI) file reader and writer on any bytes
// (the input is the file). Requirements in fuzz/Checks.h.

#include <unistd.h>

#include <QDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/Checks.h"

namespace {
QString g_path;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // In memory where possible: the writer syncs the file to disk.
    const QString dir =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    g_path = dir + QStringLiteral("/profile_fuzz_%1.ini").arg(::getpid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!fuzzcheck::profileRoundTripHolds(g_path, content)) std::abort();
    return 0;
}
