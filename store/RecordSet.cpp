// Record sets: the rows of one query, addressed by position.
//
// A query on one table ("select <fields or *> from T [where ...] [order by
// ...]") keeps, per row, its rowid and the narrow fields in a compact record
// (RowStore); the body (`content`) is read only for the row that asks for it. Changes are
// written back by rowid. Any other query is read whole and is read-only.

#include <QtGlobal>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "store/Engine.h"
#include "store/EngineDetail.h"
#include "store/Fields.h"
#include "store/RowStore.h"
#include "store/SqlText.h"

namespace store {

using namespace detail;
using namespace sqltext;

namespace {

bool sameValue(const QVariant& a, const QVariant& b) {
    const bool na = !a.isValid() || a.isNull();
    const bool nb = !b.isValid() || b.isNull();
    if (na || nb) return na && nb;
    if (a.typeId() == QMetaType::QByteArray && b.typeId() == QMetaType::QByteArray)
        return a.toByteArray() == b.toByteArray();
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString ||
        a.typeId() == QMetaType::QByteArray || b.typeId() == QMetaType::QByteArray)
        return a.toString() == b.toString();
    if (a.typeId() == QMetaType::Double || b.typeId() == QMetaType::Double)
        return a.toDouble() == b.toDouble();
    return a.toLongLong() == b.toLongLong();
}

}  // namespace

struct RecordSet::Impl {
    explicit Impl(Connection& c) : conn(c) {}

    Connection& conn;
    QString sql;
    Params params;
    bool active = false;

    bool writable = false;
    QString table;
    bool split = false;
    QStringList fields;   // as presented
    QStringList columns;  // the table's field behind each one
    int wide = -1;        // field read on demand
    QList<int> slot;      // field -> value index in a record, -1 for the wide one

    RowStore rows;
    int pos = 0;

    enum Mode { Browse, Editing, Inserting } mode = Browse;
    QList<QVariant> buf;
    QList<bool> dirty;

    Stmt fetch;
    qint64 cachedRowid = -1;
    QVariant cachedWide;

    sqlite3* db() { return conn.handle(); }
    int count() const { return rows.count(); }
    bool atRow() const { return active && pos >= 0 && pos < count(); }

    qint64 rowidAt(int r) const { return rows.rowid(r); }

    int fieldIndex(const QString& name) const {
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i].compare(name, Qt::CaseInsensitive) == 0) return i;
        if (!columns.isEmpty())
            for (int i = 0; i < columns.size(); ++i)
                if (columns[i].compare(name, Qt::CaseInsensitive) == 0) return i;
        throw StoreError(QStringLiteral("no field named %1").arg(name).toStdString());
    }

    QVariant wideAt(int r) {
        const qint64 rowid = rowidAt(r);
        if (rowid == cachedRowid) return cachedWide;
        if (!fetch) {
            fetch = split ? Stmt(db(), QStringLiteral("SELECT content FROM %1 WHERE rid=?")
                                           .arg(bracket(bodyTable(table))))
                          : Stmt(db(), QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?")
                                           .arg(bracket(columns[wide]), bracket(table)));
        }
        fetch.bind(1, QVariant(qlonglong(rowid)));
        QVariant v;
        if (fetch.step()) v = fetch.value(0);
        fetch.reset();
        cachedRowid = rowid;
        cachedWide = v;
        return v;
    }

    QVariant valueAt(int r, int f) {
        if (f == wide) return wideAt(r);
        return rows.field(r, slot[f]);
    }

    void requireWritable() const {
        if (!active) throw StoreError("the record set is closed");
        if (!writable) throw StoreError("the record set cannot be changed");
    }

    QString narrowList() const {
        QStringList l{bracket(table) + QStringLiteral(".rowid")};
        for (int i = 0; i < fields.size(); ++i)
            if (i != wide) l << bracket(columns[i]);
        return l.join(u',');
    }

    void openTable(const Tokens& t, const SimpleSelect& ss, bool* handled);
    void openMaterialized(const QString& text);
    void post();
};

void RecordSet::Impl::openTable(const Tokens& t, const SimpleSelect& ss, bool* handled) {
    *handled = false;
    const QStringList phys = tableColumns(db(), ss.table);
    const bool body = hasBody(db(), ss.table);
    QStringList logical = phys;
    if (body) logical << store::kFieldContent;
    QStringList f, c;
    for (const QString& col : ss.columns) {
        if (col == QLatin1String("*")) {
            f << logical;
            c << logical;
            continue;
        }
        int found = -1;
        for (int i = 0; i < logical.size(); ++i)
            if (logical[i].compare(col, Qt::CaseInsensitive) == 0) found = i;
        if (found < 0) return;  // not a plain field: let the engine judge it
        f << col;
        c << logical[found];
    }
    table = ss.table;
    split = body;
    fields = f;
    columns = c;
    wide = -1;
    slot.clear();
    int next = 0;
    for (int i = 0; i < columns.size(); ++i) {
        if (wide < 0 && isWideField(columns[i])) {
            wide = i;
            slot << -1;
        } else {
            slot << next++;
        }
    }
    bool usesBody = false;
    for (int i = ss.restToken; i < t.size(); ++i)
        if (t[i].isName() && isWideField(t[i].name())) usesBody = true;
    QString from = join(t, ss.tableToken, ss.tableToken + 1);
    if (split && usesBody)
        from += QStringLiteral(" LEFT JOIN %1 ON %1.rid=%2.rowid")
                    .arg(bracket(bodyTable(table)), bracket(table));
    const QString text = QStringLiteral("SELECT ") + narrowList() + QStringLiteral(" FROM ") +
                         from + join(t, ss.restToken, t.size());
    Stmt st(db(), text);
    st.bindParams(params);
    while (st.step()) rows.append(rows.read(st.get(), 1, next, st.int64(0)));
    writable = true;
    *handled = true;
}

void RecordSet::Impl::openMaterialized(const QString& text) {
    Stmt st(db(), text);
    st.bindParams(params);
    const int n = st.columnCount();
    fields.clear();
    columns.clear();
    slot.clear();
    for (int i = 0; i < n; ++i) {
        fields << QString::fromUtf8(sqlite3_column_name(st.get(), i));
        slot << i;
    }
    wide = -1;
    writable = false;
    while (st.step()) rows.append(rows.read(st.get(), 0, n, 0));
}

void RecordSet::Impl::post() {
    if (mode == Browse) return;
    requireWritable();
    sqlite3* h = db();
    QStringList names;
    QList<QVariant> values;
    bool wideDirty = false;
    QVariant wideValue;
    for (int i = 0; i < fields.size(); ++i) {
        if (!dirty[i]) continue;
        if (i == wide && split) {
            wideDirty = true;
            wideValue = buf[i];
        } else {
            names << bracket(columns[i]);
            values << buf[i];
        }
    }
    Savepoint sp(h);
    qint64 rowid;
    if (mode == Inserting) {
        QStringList marks;
        for (int i = 0; i < names.size(); ++i) marks << QStringLiteral("?");
        Stmt ins(h, names.isEmpty()
                        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(bracket(table))
                        : QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                              .arg(bracket(table), names.join(u','), marks.join(u',')));
        for (int i = 0; i < values.size(); ++i) ins.bind(i + 1, values[i]);
        ins.step();
        rowid = sqlite3_last_insert_rowid(h);
    } else {
        rowid = rowidAt(pos);
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString& n : names) sets << n + QStringLiteral("=?");
            Stmt upd(h, QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?")
                            .arg(bracket(table), sets.join(u',')));
            for (int i = 0; i < values.size(); ++i) upd.bind(i + 1, values[i]);
            upd.bind(int(values.size()) + 1, QVariant(qlonglong(rowid)));
            upd.step();
        }
    }
    if (wideDirty) {
        Stmt b(h, QStringLiteral("INSERT OR REPLACE INTO %1(rid,content) VALUES(?,?)")
                      .arg(bracket(bodyTable(table))));
        b.bind(1, QVariant(qlonglong(rowid)));
        b.bind(2, wideValue);
        b.step();
    }
    Stmt back(h,
              QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(narrowList(), bracket(table)));
    back.bind(1, QVariant(qlonglong(rowid)));
    if (!back.step()) throw StoreError("the changed row cannot be read back");
    const char* rec = rows.read(back.get(), 1, back.columnCount() - 1, rowid);
    back.reset();
    sp.release();
    if (mode == Inserting) {
        rows.append(rec);
        pos = count() - 1;
    } else {
        rows.replace(pos, rec);
    }
    mode = Browse;
    cachedRowid = -1;
    cachedWide = QVariant();
}

// ---------------------------------------------------------------- RecordSet

RecordSet::RecordSet(Connection& c) : d(std::make_unique<Impl>(c)) {
    c.attach(this);
}

RecordSet::~RecordSet() {
    close();
    d->conn.detach(this);
}

Connection& RecordSet::connection() {
    return d->conn;
}

void RecordSet::close() {
    d->active = false;
    d->mode = Impl::Browse;
    d->rows.clear();
    d->fetch = Stmt();
    d->cachedRowid = -1;
    d->cachedWide = QVariant();
    d->pos = 0;
}

bool RecordSet::isActive() const {
    return d->active;
}

void RecordSet::setSql(const QString& sql) {
    d->sql = sql;
    d->params.clear();
}

void RecordSet::setSql(const QStringList& lines) {
    setSql(lines.join(u'\n'));
}

void RecordSet::clearSql() {
    setSql(QString());
}

QString RecordSet::sql() const {
    return d->sql;
}

void RecordSet::setParam(const QString& name, const QVariant& value) {
    for (auto& p : d->params) {
        if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    }
    d->params.append({name, value});
}

void RecordSet::clearParams() {
    d->params.clear();
}

void RecordSet::open() {
    close();
    sqlite3* db = d->conn.handle();
    const Tokens t = toSqlite(tokenize(d->sql));
    const int first = nextSignificant(t, 0);
    if (first < 0) throw StoreError("the record set has no SQL text");
    d->fields.clear();
    d->columns.clear();
    d->slot.clear();
    d->wide = -1;
    d->writable = false;
    if (!t[first].is("select") && !t[first].is("pragma") && !t[first].is("with")) {
        runStatement(db, d->sql, d->params);
    } else {
        SimpleSelect ss;
        bool handled = false;
        if (parseSimpleSelect(t, &ss) && tableExists(db, ss.table)) d->openTable(t, ss, &handled);
        if (!handled) d->openMaterialized(join(t));
    }
    d->active = true;
    d->pos = 0;
}

void RecordSet::execSql() {
    d->conn.open();
    runStatement(d->conn.handle(), d->sql, d->params);
}

void RecordSet::first() {
    d->post();
    d->pos = 0;
}

void RecordSet::next() {
    d->post();
    if (d->pos < d->count()) ++d->pos;
}

bool RecordSet::eof() const {
    return !d->atRow();
}

void RecordSet::moveBy(int n) {
    d->post();
    d->pos = qBound(0, d->pos + n, d->count());
}

int RecordSet::recNo() const {
    return d->atRow() ? d->pos : -1;
}

int RecordSet::recordCount() const {
    return d->active ? d->count() : 0;
}

bool RecordSet::hasField(const QString& name) const {
    try {
        d->fieldIndex(name);
        return true;
    } catch (const StoreError&) {
        return false;
    }
}

QStringList RecordSet::fieldNames() const {
    return d->fields;
}

QVariant RecordSet::value(const QString& name) const {
    const int f = d->fieldIndex(name);
    if (d->mode != Impl::Browse && d->dirty[f]) return d->buf[f];
    if (d->mode == Impl::Inserting) return QVariant();
    if (!d->atRow()) throw StoreError("no current row");
    return d->valueAt(d->pos, f);
}

bool RecordSet::isNull(const QString& name) const {
    const QVariant v = value(name);
    return !v.isValid() || v.isNull();
}

QString RecordSet::asString(const QString& name) const {
    const QVariant v = value(name);
    if (!v.isValid() || v.isNull()) return QString();
    if (v.typeId() == QMetaType::QByteArray) return QString::fromUtf8(v.toByteArray());
    return v.toString();
}

int RecordSet::asInteger(const QString& name) const {
    const QVariant v = value(name);
    if (!v.isValid() || v.isNull())
        throw StoreError(QStringLiteral("field %1 is null").arg(name).toStdString());
    bool ok = false;
    const double x = v.toDouble(&ok);
    if (!ok) throw StoreError(QStringLiteral("field %1 is not a number").arg(name).toStdString());
    return int(x);
}

bool RecordSet::asBoolean(const QString& name) const {
    const QVariant v = value(name);
    if (!v.isValid() || v.isNull()) return false;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
        bool ok = false;
        const double x = s.toDouble(&ok);
        return ok && x != 0;
    }
    return v.toDouble() != 0;
}

QByteArray RecordSet::readBlob(const QString& name) const {
    const QVariant v = value(name);
    if (!v.isValid() || v.isNull()) return QByteArray();
    if (v.typeId() == QMetaType::QByteArray) return v.toByteArray();
    return v.toString().toUtf8();
}

void RecordSet::append() {
    d->requireWritable();
    d->post();
    d->mode = Impl::Inserting;
    d->buf = QList<QVariant>(d->fields.size());
    d->dirty = QList<bool>(d->fields.size(), false);
}

void RecordSet::edit() {
    d->requireWritable();
    if (d->mode != Impl::Browse) return;
    if (!d->atRow()) throw StoreError("no current row to edit");
    d->mode = Impl::Editing;
    d->buf = QList<QVariant>(d->fields.size());
    d->dirty = QList<bool>(d->fields.size(), false);
}

void RecordSet::setValue(const QString& name, const QVariant& value) {
    const int f = d->fieldIndex(name);
    if (d->mode == Impl::Browse) edit();
    d->buf[f] = value;
    d->dirty[f] = true;
}

void RecordSet::setNull(const QString& name) {
    setValue(name, QVariant());
}

void RecordSet::writeBlob(const QString& name, const QByteArray& bytes) {
    setValue(name, QVariant(bytes));
}

void RecordSet::post() {
    d->post();
}

void RecordSet::cancel() {
    d->mode = Impl::Browse;
}

void RecordSet::deleteRow() {
    d->requireWritable();
    d->mode = Impl::Browse;
    if (!d->atRow()) throw StoreError("no current row to delete");
    Stmt del(d->db(), QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(bracket(d->table)));
    del.bind(1, QVariant(qlonglong(d->rowidAt(d->pos))));
    del.step();
    d->rows.erase(d->pos);
    d->cachedRowid = -1;
    d->cachedWide = QVariant();
}

bool RecordSet::locate(const QString& field, const QVariant& value) {
    if (!d->active) throw StoreError("the record set is closed");
    const int f = d->fieldIndex(field);
    d->post();
    for (int r = 0; r < d->count(); ++r) {
        if (sameValue(d->valueAt(r, f), value)) {
            d->pos = r;
            return true;
        }
    }
    return false;
}

qint64 RecordSet::rowId() const {
    if (!d->atRow() || !d->writable) return -1;
    return d->rowidAt(d->pos);
}

bool RecordSet::shiftLoadedIntegers(const QString& field, qint64 lo, qint64 hi, qint64 delta,
                                    qint64 except) {
    d->post();
    const int f = d->fieldIndex(field);
    if (!d->active || !d->writable || f == d->wide) return false;
    if (!d->rows.integersOnly(d->slot[f])) return false;
    d->rows.shiftIntegers(d->slot[f], lo, hi, delta, except);
    return true;
}

void RecordSet::sortLoadedRows(const QString& field) {
    d->post();
    const int f = d->fieldIndex(field);
    if (!d->active || f == d->wide) return;
    d->rows.sortByInteger(d->slot[f]);
    d->pos = 0;
}

}  // namespace store
