// AddDB [-s]: appends the articles of another library to a workbook. With
// "-s" the target is data/YunjanDB.mdb of the working directory (the main
// program starts it so); without it the window asks for the target file.

#include <QApplication>
#include <QFont>
#include <cstdio>
#include <cstring>

#include "adddb/AddDBForm.h"

namespace {

const char* const kUsage =
    "用法：AddDB [-s]\n"
    "把其他文章数据库（本程序的数据库或 Access 格式的数据库）中一个工作簿的文章追加到目标数据库。\n"
    "\n"
    "选项：\n"
    "  -s          目标为当前文件夹中的 data/YunjanDB.mdb\n"
    "  --help      显示本说明\n"
    "  --version   显示版本\n";

}  // namespace

int main(int argc, char** argv) {
    bool here = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-s") == 0) {
            here = true;
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("AddDB %s\n", YUNJAN_VERSION);
            return 0;
        } else {
            std::fprintf(stderr, "未知选项：%s\n%s", argv[i], kUsage);
            return 2;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("AddDB"));
    QFont ui(QStringLiteral("Tahoma"));
    ui.setPointSize(9);
    QApplication::setFont(ui);
    TAddDBForm w(here ? QStringLiteral("data/YunjanDB.mdb") : QString());
    w.show();
    return app.exec();
}
