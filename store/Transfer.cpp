// Bulk transfer of a workbook's articles to another workbook.
//
// The whole transfer is one transaction: the copy, the deletes of the moving
// modes, the order-number fix-up and both renumberings commit together or not
// at all. The modes without duplicates decide in memory which source rows to
// copy (a hash set of the target's titles, grown by every copy of the run) and
// then copy and delete those rows with one statement each.

#include "store/Transfer.h"

#include <QSet>

#include "store/EngineDetail.h"
#include "store/SqlText.h"

namespace store {

namespace {

using detail::Stmt;

const QString kChosen = QStringLiteral("temp.yj_transfer_rows");

void checkTable(const QString& table) {
    if (workbookPosition(table) < 0)
        throw StoreError(QStringLiteral("not a workbook table: %1").arg(table).toStdString());
}

// The titles of a table (whole values, compared with their case).
QSet<QString> titlesOf(sqlite3* db, const QString& table) {
    QSet<QString> titles;
    Stmt st(db, QStringLiteral("SELECT theme FROM %1").arg(sqltext::bracket(table)));
    while (st.step()) titles.insert(st.value(0).toString());
    return titles;
}

// Fills the temporary row list with the source rows whose titles the target
// lacks, in the source's stored order; each copy counts for the later rows.
int chooseRows(sqlite3* db, const QString& source, const QString& target, const QString& category,
               const std::function<void()>& afterEachRow) {
    QSet<QString> titles = titlesOf(db, target);
    detail::exec(db,
                 QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS yj_transfer_rows(id INTEGER)"));
    detail::exec(db, QStringLiteral("DELETE FROM ") + kChosen);
    Stmt add(db, QStringLiteral("INSERT INTO %1(id) VALUES(?)").arg(kChosen));
    QString sql = QStringLiteral("SELECT id, theme FROM %1").arg(sqltext::bracket(source));
    if (!category.isEmpty()) sql += QStringLiteral(" WHERE [group] = :grp");
    sql += QStringLiteral(" ORDER BY rowid");
    Stmt rows(db, sql);
    if (!category.isEmpty()) rows.bindParams({{QStringLiteral("grp"), category}});
    int chosen = 0;
    while (rows.step()) {
        const QString theme = rows.value(1).toString();
        if (!titles.contains(theme)) {
            titles.insert(theme);
            add.bind(1, rows.value(0));
            add.step();
            add.reset();
            ++chosen;
        }
        if (afterEachRow) afterEachRow();
    }
    return chosen;
}

}  // namespace

void transferArticles(ArticleStore& s, const QString& sourceTable, const QString& targetTable,
                      const QString& category, int mode, const std::function<void()>& afterEachRow,
                      const std::function<void()>& progressStep) {
    checkTable(sourceTable);
    checkTable(targetTable);
    if (mode < TransferAll || mode > TransferNoDuplicatesDelete)
        throw StoreError("unknown transfer mode");
    auto step = [&] {
        if (progressStep) progressStep();
    };
    const QString& C = sourceTable;
    const QString& T = targetTable;
    const QString condition =
        category.isEmpty() ? QString() : QStringLiteral(" where [group]= :grp");
    const Params params = category.isEmpty() ? Params{} : Params{{QStringLiteral("grp"), category}};

    Connection& conn = s.connection();
    Transaction tx(conn);
    sqlite3* db = conn.handle();

    step();
    if (mode == TransferAll || mode == TransferAllDelete) {
        conn.execute(QStringLiteral("insert into ") + T +
                         QStringLiteral(" select group,theme,isformat,content from ") + C +
                         condition,
                     params);
        if (mode == TransferAllDelete)
            conn.execute(QStringLiteral("delete * from ") + C + condition, params);
    } else {
        if (chooseRows(db, C, T, category, afterEachRow) > 0) {
            const QString rows = QStringLiteral(" where id in (select id from %1)").arg(kChosen);
            // Copies carry no order number yet: the fix-up below gives them
            // 999999999 like the copies of the set modes.
            conn.execute(QStringLiteral("insert into ") + T +
                         QStringLiteral(" select group,theme,isformat,content from ") + C + rows);
            if (mode == TransferNoDuplicatesDelete)
                conn.execute(QStringLiteral("delete from ") + C + rows);
        }
        detail::exec(db, QStringLiteral("DELETE FROM ") + kChosen);
    }

    step();
    conn.execute(QStringLiteral("update ") + T +
                 QStringLiteral(" Set SeqNo=999999999 where ISNULL(SeqNo)"));
    step();
    s.RenumberSeqNo(T, true);
    step();
    s.RenumberSeqNo(C, true);
    tx.commit();
}

}  // namespace store
