#include "mainwindow/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

#include "store/InitDb.h"

bool enterProgramFolder(const platform::ProgramPaths& paths, QString* error) {
    if (!paths.installed) return true;
    const QString settingsDir = QFileInfo(paths.settingsFile).absolutePath();
    if (!QDir().mkpath(settingsDir)) {
        if (error) *error = QStringLiteral("无法创建文件夹：") + settingsDir;
        return false;
    }
    if (!QDir().mkpath(paths.workDir) || !QDir::setCurrent(paths.workDir)) {
        if (error) *error = QStringLiteral("无法进入文件夹：") + paths.workDir;
        return false;
    }
    return store::createInstallationDatabase(paths.workDir, error);
}
