#include "platform/core/ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "platform/core/ProfileFile.h"

#ifndef YUNJAN_INSTALL_BINDIR
#error "YUNJAN_INSTALL_BINDIR names the folder the build installs programs to"
#endif

namespace platform {
namespace {

const char* const kFolderName = "yunjan";

QString homeFolder(const QProcessEnvironment& env) {
    const QString home = env.value(QStringLiteral("HOME"));
    return QDir::isAbsolutePath(home) ? QDir::cleanPath(home) : QDir::homePath();
}

// An XDG base folder: the variable when it holds an absolute path (relative
// ones are to be ignored), otherwise the default below the home folder.
QString baseFolder(const QProcessEnvironment& env, const char* var, const char* fallback) {
    const QString value = env.value(QString::fromLatin1(var));
    if (QDir::isAbsolutePath(value)) return QDir::cleanPath(value);
    return homeFolder(env) + QLatin1Char('/') + QString::fromLatin1(fallback);
}

}  // namespace

ProgramPaths programPathsFor(const QString& programFile, bool installed,
                             const QProcessEnvironment& env) {
    ProgramPaths p;
    p.installed = installed;
    if (!installed) {
        p.settingsFile = ProfileFile::pathForProgram(programFile);
        p.documentsDir = QFileInfo(programFile).absolutePath();
        return p;
    }
    const QString name = QString::fromLatin1(kFolderName);
    p.settingsFile = baseFolder(env, "XDG_CONFIG_HOME", ".config") + QLatin1Char('/') + name +
                     QLatin1Char('/') + name + QLatin1String(".ini");
    p.workDir = baseFolder(env, "XDG_DATA_HOME", ".local/share") + QLatin1Char('/') + name;
    p.documentsDir = homeFolder(env);
    return p;
}

QString installBinDir() {
    return QDir::cleanPath(QString::fromUtf8(YUNJAN_INSTALL_BINDIR));
}

bool isInstalledProgram(const QString& programFile) {
    const QFileInfo folder(QFileInfo(programFile).absolutePath());
    if (QDir::cleanPath(folder.absoluteFilePath()) == installBinDir()) return true;
    return !folder.isDir() || !folder.isWritable();
}

ProgramPaths programPaths() {
    const QString program = QCoreApplication::applicationFilePath();
    return programPathsFor(program, isInstalledProgram(program),
                           QProcessEnvironment::systemEnvironment());
}

ProgramPaths mainProgramPathsFor(const QString& programFile, bool installed,
                                 const QProcessEnvironment& env) {
    const QString mainProgram =
        QFileInfo(programFile).absoluteDir().absoluteFilePath(QStringLiteral("yunjan"));
    return programPathsFor(mainProgram, installed, env);
}

ProgramPaths mainProgramPaths() {
    const QString program = QCoreApplication::applicationFilePath();
    return mainProgramPathsFor(program, isInstalledProgram(program),
                               QProcessEnvironment::systemEnvironment());
}

}  // namespace platform
