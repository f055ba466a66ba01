// yunjan-initdb [DIR]: creates DIR/data/YunjanDB.mdb (the installation's
// article database with a short user guide) when it is missing. DIR defaults
// to the working directory; an existing database is left untouched.

#include <QFileInfo>
#include <QString>
#include <cstdio>

#include "store/InitDb.h"

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "用法：yunjan-initdb [程序文件夹]\n");
        return 2;
    }
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QString path = store::installationDatabasePath(dir);
    const bool existed = QFileInfo::exists(path);
    QString error;
    if (!store::createInstallationDatabase(dir, &error)) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%s%s\n", existed ? "数据库已存在：" : "已创建数据库：",
                path.toLocal8Bit().constData());
    return 0;
}
