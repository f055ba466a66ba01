// yunjan-initdb [DIR]: creates DIR/data/YunjanDB.mdb (the installation's
// article database with a short user guide) when it is missing. DIR defaults
// to the working directory; an existing database is left untouched.

#include <QFileInfo>
#include <QString>
#include <cstdio>

#include "platform/core/CommandLine.h"
#include "store/InitDb.h"

int main(int argc, char** argv) {
    platform::ToolUsage usage;
    usage.tool = "yunjan-initdb";
    usage.synopsis = QStringLiteral("[选项] [程序文件夹]");
    usage.description = QStringLiteral(
        "在程序文件夹（默认为当前文件夹）中创建数据库 data/YunjanDB.mdb，\n"
        "其中有几篇欢迎文章。已有的数据库保持不变。");
    usage.maxOperands = 1;
    const platform::ToolArguments args = platform::parseToolArguments(argc, argv, usage);
    if (args.exitCode >= 0) return args.exitCode;
    const QString dir = args.operands.isEmpty() ? QStringLiteral(".") : args.operands.first();
    const QString path = store::installationDatabasePath(dir);
    const bool existed = QFileInfo::exists(path);
    if (const auto created = store::createInstallationDatabase(dir); !created) {
        std::fprintf(stderr, "%s\n", created.error().toLocal8Bit().constData());
        return 1;
    }
    std::printf("%s%s\n", existed ? "数据库已存在：" : "已创建数据库：",
                path.toLocal8Bit().constData());
    return 0;
}
