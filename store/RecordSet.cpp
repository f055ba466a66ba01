// Record sets: the rows of one query, addressed by position.
//
// A query on one table ("select <fields or *> from T [where ...] [order by
// ...]") keeps, per row, its rowid and the narrow fields in a compact record;
// the body (`content`) is read only for the row that asks for it. Changes are
// written back by rowid. Any other query is read whole and is read-only.

#include <QtGlobal>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "store/Engine.h"
#include "store/EngineDetail.h"
#include "store/Fields.h"
#include "store/SqlText.h"

namespace store {

using namespace detail;
using namespace sqltext;

namespace {

// Row records live in large chunks: a record set of 100,000 rows costs a few
// bytes over its data.
class Arena {
  public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    ~Arena() {
        reset();
        for (char* c : chunks_) ::operator delete(c);
    }
    char* alloc(size_t n) {
        if (n > kChunk) {
            big_.push_back(static_cast<char*>(::operator new(n)));
            return big_.back();
        }
        if (current_ >= chunks_.size() || used_ + n > kChunk) {
            if (current_ < chunks_.size()) ++current_;
            if (current_ == chunks_.size())
                chunks_.push_back(static_cast<char*>(::operator new(kChunk)));
            used_ = 0;
        }
        char* p = chunks_[current_] + used_;
        used_ += n;
        return p;
    }
    // Forgets the records but keeps the memory for the next ones: a record
    // set is reopened often, with about as many rows.
    void reset() {
        for (char* b : big_) ::operator delete(b);
        big_.clear();
        current_ = 0;
        used_ = 0;
    }

  private:
    static constexpr size_t kChunk = 1 << 20;
    std::vector<char*> chunks_;
    std::vector<char*> big_;
    size_t current_ = 0;
    size_t used_ = 0;
};

enum Tag : char { kNull = 0, kInt = 1, kReal = 2, kText = 3, kBlob = 4 };

const char* skip(const char* p) {
    switch (*p) {
        case kInt:
        case kReal:
            return p + 9;
        case kText:
        case kBlob: {
            quint32 n;
            std::memcpy(&n, p + 1, 4);
            return p + 5 + n;
        }
        default:
            return p + 1;
    }
}

QVariant decode(const char* p) {
    switch (*p) {
        case kInt: {
            qint64 v;
            std::memcpy(&v, p + 1, 8);
            return QVariant(qlonglong(v));
        }
        case kReal: {
            double v;
            std::memcpy(&v, p + 1, 8);
            return QVariant(v);
        }
        case kText:
        case kBlob: {
            quint32 n;
            std::memcpy(&n, p + 1, 4);
            if (*p == kText) return QVariant(QString::fromUtf8(p + 5, qsizetype(n)));
            return QVariant(QByteArray(p + 5, qsizetype(n)));
        }
        default:
            return QVariant();
    }
}

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

    Arena arena;
    std::vector<char> scratch;      // the record being built
    std::vector<const char*> rows;  // record: int64 rowid, then the values
    int pos = 0;

    enum Mode { Browse, Editing, Inserting } mode = Browse;
    QList<QVariant> buf;
    QList<bool> dirty;

    Stmt fetch;
    qint64 cachedRowid = -1;
    QVariant cachedWide;

    sqlite3* db() { return conn.handle(); }
    int count() const { return int(rows.size()); }
    bool atRow() const { return active && pos >= 0 && pos < count(); }

    qint64 rowidAt(int r) const {
        qint64 v;
        std::memcpy(&v, rows[size_t(r)], 8);
        return v;
    }

    const char* record(sqlite3_stmt* st, int first, int n, qint64 rowid) {
        scratch.resize(8);
        std::memcpy(scratch.data(), &rowid, 8);
        for (int c = first; c < first + n; ++c) append(st, c);
        char* p = arena.alloc(scratch.size());
        std::memcpy(p, scratch.data(), scratch.size());
        return p;
    }

    void append(sqlite3_stmt* st, int col) {
        const int type = sqlite3_column_type(st, col);
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
            char buf[9];
            buf[0] = type == SQLITE_INTEGER ? kInt : kReal;
            if (type == SQLITE_INTEGER) {
                const qint64 v = sqlite3_column_int64(st, col);
                std::memcpy(buf + 1, &v, 8);
            } else {
                const double v = sqlite3_column_double(st, col);
                std::memcpy(buf + 1, &v, 8);
            }
            scratch.insert(scratch.end(), buf, buf + 9);
        } else if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
            const void* data = type == SQLITE_TEXT
                                   ? static_cast<const void*>(sqlite3_column_text(st, col))
                                   : sqlite3_column_blob(st, col);
            const quint32 len = quint32(sqlite3_column_bytes(st, col));
            char head[5];
            head[0] = type == SQLITE_TEXT ? kText : kBlob;
            std::memcpy(head + 1, &len, 4);
            scratch.insert(scratch.end(), head, head + 5);
            const char* bytes = static_cast<const char*>(data);
            if (len) scratch.insert(scratch.end(), bytes, bytes + len);
        } else {
            scratch.push_back(kNull);
        }
    }

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
        const char* p = rows[size_t(r)] + 8;
        for (int i = 0; i < slot[f]; ++i) p = skip(p);
        return decode(p);
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
    while (st.step()) rows.push_back(record(st.get(), 1, next, st.int64(0)));
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
    while (st.step()) rows.push_back(record(st.get(), 0, n, 0));
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
    const char* rec = record(back.get(), 1, back.columnCount() - 1, rowid);
    back.reset();
    sp.release();
    if (mode == Inserting) {
        rows.push_back(rec);
        pos = count() - 1;
    } else {
        rows[size_t(pos)] = rec;
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
    d->arena.reset();
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
    d->rows.erase(d->rows.begin() + d->pos);
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
    // Values sit in the records in field order; an integer is a tag and 8 bytes.
    auto valueOf = [&](int r) {
        char* p = const_cast<char*>(d->rows[size_t(r)]) + 8;
        for (int i = 0; i < d->slot[f]; ++i) p = const_cast<char*>(skip(p));
        return p;
    };
    for (int r = 0; r < d->count(); ++r) {
        const char tag = *valueOf(r);
        if (tag != kInt && tag != kNull) return false;
    }
    for (int r = 0; r < d->count(); ++r) {
        char* p = valueOf(r);
        if (*p != kInt || d->rowidAt(r) == except) continue;
        qint64 v;
        std::memcpy(&v, p + 1, 8);
        if (v < lo || v > hi) continue;
        v += delta;
        std::memcpy(p + 1, &v, 8);
    }
    return true;
}

void RecordSet::sortLoadedRows(const QString& field) {
    d->post();
    const int f = d->fieldIndex(field);
    if (!d->active || f == d->wide) return;
    struct Key {
        bool notNull;
        qint64 value;
        qint64 rowid;
        const char* rec;
    };
    std::vector<Key> keys;
    keys.reserve(d->rows.size());
    for (int r = 0; r < d->count(); ++r) {
        const char* p = d->rows[size_t(r)] + 8;
        for (int i = 0; i < d->slot[f]; ++i) p = skip(p);
        qint64 v = 0;
        if (*p == kInt) std::memcpy(&v, p + 1, 8);
        keys.push_back({*p != kNull, v, d->rowidAt(r), d->rows[size_t(r)]});
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        if (a.notNull != b.notNull) return !a.notNull;
        if (a.value != b.value) return a.value < b.value;
        return a.rowid < b.rowid;
    });
    for (size_t i = 0; i < keys.size(); ++i) d->rows[i] = keys[i].rec;
    d->pos = 0;
}

}  // namespace store
