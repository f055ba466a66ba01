#pragma once
// Tests that drive LibreOffice (import, paste of web content, RTF read by a
// real word processor). Set-up installs it, so a missing LibreOffice or
// Python bridge fails them; they skip only where the word processor was left
// out on purpose: a build with -DYUNJAN_WORD_PROCESSOR=OFF, or
// YUNJAN_WITHOUT_WORD_PROCESSOR=1 in the environment.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace testsupport {

inline bool wordProcessorLeftOut() {
#ifdef YUNJAN_WITHOUT_WORD_PROCESSOR
    return true;
#else
    return qEnvironmentVariable("YUNJAN_WITHOUT_WORD_PROCESSOR") == QLatin1String("1");
#endif
}

// soffice on the path and the system Python importing `uno`.
inline bool wordProcessorInstalled() {
    static const bool ok = [] {
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty()) return false;
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"), QStringLiteral("import uno")});
        return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    }();
    return ok;
}

}  // namespace testsupport

#define REQUIRE_WORD_PROCESSOR()                                                          \
    if (testsupport::wordProcessorLeftOut())                                              \
        GTEST_SKIP() << "built without the word processor";                               \
    else if (!testsupport::wordProcessorInstalled())                                      \
    FAIL() << "LibreOffice (soffice) or its Python bridge (python3-uno) is missing: run " \
              "scripts/setup.sh, or leave the word processor out on purpose with "        \
              "-DYUNJAN_WORD_PROCESSOR=OFF or YUNJAN_WITHOUT_WORD_PROCESSOR=1"
