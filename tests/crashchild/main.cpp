// Runs one maintenance operation on <folder>/data/YunjanDB.mdb with <folder>
// as the working directory, as the program does:
//
//     yunjan_crashchild <folder> compact|transfer0|transfer1|transfer2|transfer3|clear|rename|
//                                  backup|restore
//     yunjan_crashchild <folder> convertjet <import tool>
//
// Writes "R" once the database is open and the operation starts, "D" when it
// is done; restore restores the newest copy in data/backup. Exit code 0 on
// success, 1 on a store error, 2 on bad arguments.

#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QString>
#include <cstdio>

#include "store/ArticleStore.h"
#include "store/Backup.h"
#include "store/Categories.h"
#include "store/LegacyImport.h"
#include "store/Maintenance.h"
#include "store/Transfer.h"

namespace {

void say(char c) {
    (void)!::write(STDOUT_FILENO, &c, 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) return 2;
    const QByteArray op = argv[2];
    if (op == "convertjet") {
        // The Jet file is converted in place by the import tool.
        if (argc != 4) return 2;
        store::setImportToolPath(QString::fromLocal8Bit(argv[3]));
        say('R');
        const store::JetConversion r =
            store::convertJetDatabase(QStringLiteral("data/YunjanDB.mdb"));
        if (!r.ok) {
            std::fprintf(stderr, "%s\n", r.message.toLocal8Bit().constData());
            return 1;
        }
        say('D');
        return 0;
    }
    if (argc != 3) return 2;
    try {
        store::ArticleStore s;
        s.connection().open();
        say('R');
        if (op == "compact") {
            store::CompactDB(s, QStringLiteral("data/YunjanDB.mdb"),
                             QString::fromLatin1(store::kDatabasePassword));
        } else if (op.startsWith("transfer")) {
            store::transferArticles(s, QStringLiteral("datum"), QStringLiteral("datum1"),
                                    std::nullopt,
                                    static_cast<store::TransferMode>(op.mid(8).toInt()));
        } else if (op == "clear") {
            store::clearWorkbook(s, QStringLiteral("datum"));
        } else if (op == "rename") {
            store::renameCategory(s.connection(), QStringLiteral("datum"), QStringLiteral("分类1"),
                                  QStringLiteral("分类2"));
        } else if (op == "backup") {
            store::writeBackup(s.connection(), QStringLiteral("data/backup"), 10);
        } else if (op == "restore") {
            const auto copies = store::listBackups(QStringLiteral("data/backup"),
                                                   QString::fromLatin1(store::kDatabasePassword));
            if (copies.isEmpty()) return 2;
            store::restoreBackup(s, copies.front().path, QStringLiteral("data/backup"), 10);
        } else {
            return 2;
        }
        say('D');
    } catch (const store::StoreError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
