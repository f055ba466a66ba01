#include "mainwindow/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

#include "store/InitDb.h"

base::Result<void> enterProgramFolder(const platform::ProgramPaths& paths) {
    if (!paths.installed) return {};
    const QString settingsDir = QFileInfo(paths.settingsFile).absolutePath();
    if (!QDir().mkpath(settingsDir))
        return base::failure(QStringLiteral("无法创建文件夹：") + settingsDir);
    if (!QDir().mkpath(paths.workDir) || !QDir::setCurrent(paths.workDir))
        return base::failure(QStringLiteral("无法进入文件夹：") + paths.workDir);
    return store::createInstallationDatabase(paths.workDir);
}
