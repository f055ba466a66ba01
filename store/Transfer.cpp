// Bulk transfer of a workbook's articles to another workbook.
//
// The whole transfer is one transaction: the copy, the deletes of the moving
// modes, the order-number fix-up and both renumberings commit together or not
// at all.
//
// Every mode first lists the source rows to copy, in stored order, in a
// temporary table: all rows (of the category) for the set modes; for the modes
// without duplicates the rows whose titles the target lacks, decided in memory
// with a hash set of the target's titles that grows with every copy of the run.
// The listed rows are then copied, and for the moving modes deleted, with one
// statement each.

#include "store/Transfer.h"

#include <QSet>

#include "store/EngineDetail.h"
#include "store/SqlText.h"

namespace store {

namespace {

using detail::exec;
using detail::Stmt;
using sqltext::bracket;

// k: order of copying (1..n), src: rowid of the source row.
const QString kRows = QStringLiteral("temp.yj_transfer_rows");

void checkTable(const QString& table) {
    if (workbookPosition(table) < 0)
        throw StoreError(QStringLiteral("not a workbook table: %1").arg(table).toStdString());
}

void resetRows(sqlite3* db) {
    exec(db, QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS yj_transfer_rows(k INTEGER PRIMARY "
                            "KEY, src INTEGER)"));
    exec(db, QStringLiteral("DELETE FROM ") + kRows);
}

using Category = std::optional<QString>;

QString sourceQuery(const QString& columns, const QString& source, const Category& category) {
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns, bracket(source));
    if (category) sql += QStringLiteral(" WHERE ") + categoryCondition(QStringLiteral("grp"));
    return sql + QStringLiteral(" ORDER BY rowid");
}

Params categoryParam(const Category& category) {
    return category ? Params{{QStringLiteral("grp"), *category}} : Params{};
}

// Lists every source row (of the category).
int listAllRows(sqlite3* db, const QString& source, const Category& category) {
    resetRows(db);
    Stmt st(db, QStringLiteral("INSERT INTO %1(src) ").arg(kRows) +
                    sourceQuery(QStringLiteral("rowid"), source, category));
    st.bindParams(categoryParam(category));
    st.step();
    return sqlite3_changes(db);
}

// The titles of a table (whole values, compared with their case).
QSet<QString> titlesOf(sqlite3* db, const QString& table) {
    QSet<QString> titles;
    Stmt st(db, QStringLiteral("SELECT theme FROM %1").arg(bracket(table)));
    while (st.step()) titles.insert(st.value(0).toString());
    return titles;
}

// Lists the source rows whose titles the target lacks; each listed row counts
// for the later ones.
int listNewTitles(sqlite3* db, const QString& source, const QString& target,
                  const Category& category, const std::function<void()>& afterEachRow) {
    QSet<QString> titles = titlesOf(db, target);
    resetRows(db);
    Stmt add(db, QStringLiteral("INSERT INTO %1(src) VALUES(?)").arg(kRows));
    Stmt rows(db, sourceQuery(QStringLiteral("rowid, theme"), source, category));
    rows.bindParams(categoryParam(category));
    int listed = 0;
    while (rows.step()) {
        const QString theme = rows.value(1).toString();
        if (!titles.contains(theme)) {
            titles.insert(theme);
            add.bind(1, rows.value(0));
            add.step();
            add.reset();
            ++listed;
        }
        if (afterEachRow) afterEachRow();
    }
    return listed;
}

// Copies the listed rows in list order; the copies get new keys and no order
// number. Tables that keep their bodies in side tables are copied with two set
// statements (fields, then bodies); others through the engine's own copy.
void copyListedRows(Connection& conn, sqlite3* db, const QString& source, const QString& target,
                    int count) {
    if (!detail::hasBody(db, source) || !detail::hasBody(db, target)) {
        conn.execute(QStringLiteral("insert into ") + target +
                     QStringLiteral(" select group,theme,isformat,content from ") + source +
                     QStringLiteral(" where rowid in (select src from %1)").arg(kRows));
        return;
    }
    exec(db, QStringLiteral("INSERT INTO %1([group], theme, isformat) SELECT s.[group], s.theme, "
                            "s.isformat FROM %2 r JOIN %3 s ON s.rowid = r.src ORDER BY r.k")
                 .arg(bracket(target), kRows, bracket(source)));
    // The new keys follow one another in list order.
    const qint64 base = sqlite3_last_insert_rowid(db) - count;
    Stmt check(db, QStringLiteral("SELECT min(rowid), max(rowid), count(*) FROM %1 WHERE rowid > ?")
                       .arg(bracket(target)));
    check.bind(1, QVariant(base));
    check.step();
    if (check.int64(0) != base + 1 || check.int64(1) != base + count || check.int64(2) != count)
        throw StoreError("the copied articles did not get consecutive keys");
    Stmt bodies(db, QStringLiteral("INSERT INTO %1(rid, content) SELECT ? + r.k, b.content FROM "
                                   "%2 r JOIN %3 b ON b.rid = r.src")
                        .arg(bracket(detail::bodyTable(target)), kRows,
                             bracket(detail::bodyTable(source))));
    bodies.bind(1, QVariant(base));
    bodies.step();
}

}  // namespace

void transferArticles(ArticleStore& s, const QString& sourceTable, const QString& targetTable,
                      const std::optional<QString>& category, TransferMode mode,
                      const std::function<void()>& afterEachRow,
                      const std::function<void()>& progressStep) {
    checkTable(sourceTable);
    checkTable(targetTable);
    if (mode < TransferMode::All || mode > TransferMode::NoDuplicatesDelete)
        throw StoreError("unknown transfer mode");
    if (sourceTable.compare(targetTable, Qt::CaseInsensitive) == 0)
        throw StoreError("the source and the target are the same workbook");
    auto step = [&] {
        if (progressStep) progressStep();
    };
    const QString& C = sourceTable;
    const QString& T = targetTable;

    Connection& conn = s.connection();
    Transaction tx(conn);
    sqlite3* db = conn.handle();

    step();
    const bool setMode = mode == TransferMode::All || mode == TransferMode::AllDelete;
    const int count =
        setMode ? listAllRows(db, C, category) : listNewTitles(db, C, T, category, afterEachRow);
    if (count > 0) {
        copyListedRows(conn, db, C, T, count);
        if (mode == TransferMode::AllDelete || mode == TransferMode::NoDuplicatesDelete)
            conn.execute(QStringLiteral("delete from ") + C +
                         QStringLiteral(" where rowid in (select src from %1)").arg(kRows));
    }
    exec(db, QStringLiteral("DELETE FROM ") + kRows);

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
