// yunjan-import-mdb SOURCE.mdb DEST.mdb: writes DEST as a new article
// database of this program holding every workbook and user of the
// Access/Jet file SOURCE. Prints one line per workbook with its count
// ("datum: 12"); with --progress also "progress DONE TOTAL" lines for a
// parent process. Exit status 0 on success, 1 on failure (message on
// stderr), 2 on wrong usage.

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "store/mdb/MdbImport.h"

namespace {

const char* const kUsage =
    "用法：yunjan-import-mdb [选项] 源文件.mdb 目标文件.mdb\n"
    "把 Access（Jet 4）格式的文章数据库转换为本程序的数据库。\n"
    "目标文件不能已经存在。\n"
    "\n"
    "选项：\n"
    "  --progress   输出转换进度（progress 已完成 总数）\n"
    "  --help       显示本说明\n"
    "  --version    显示版本\n";

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList files;
    bool progress = false;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && a == QLatin1String("--help")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (options && a == QLatin1String("--version")) {
            std::printf("yunjan-import-mdb %s\n", YUNJAN_VERSION);
            return 0;
        } else if (options && a == QLatin1String("--progress")) {
            progress = true;
        } else if (options && a.startsWith(u'-') && a.size() > 1) {
            std::fprintf(stderr, "未知选项：%s\n%s", argv[i], kUsage);
            return 2;
        } else {
            files << a;
        }
    }
    if (files.size() != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    store::mdb::Progress report;
    if (progress)
        report = [](qint64 done, qint64 total) {
            std::printf("progress %lld %lld\n", static_cast<long long>(done),
                        static_cast<long long>(total));
            std::fflush(stdout);
        };
    const auto imported = store::mdb::importMdb(files[0], files[1], report);
    if (!imported) {
        std::fprintf(stderr, "%s\n", imported.error().toLocal8Bit().constData());
        return 1;
    }
    const store::mdb::ImportResult& result = imported.value();
    for (const auto& [table, n] : result.counts)
        std::printf("%s: %d\n", table.toUtf8().constData(), n);
    std::printf("UsersData: %d\n", result.users);
    return 0;
}
