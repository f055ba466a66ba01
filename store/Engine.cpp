#include "store/Engine.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>

#include "store/EngineDetail.h"
#include "store/Fields.h"
#include "store/FullText.h"
#include "store/SqlText.h"

namespace store {

const char* const kConnectionString =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data\\YunjanDB.mdb;Persist Security "
    "Info=False;Jet OLEDB:Database Password=qzmvtke";
const char* const kDatabasePassword = "qzmvtke";

using namespace sqltext;

StoreError::StoreError(const QString& message, ErrorCode code, int engineCode)
    : std::runtime_error(message.toStdString()),
      message_(message),
      code_(code),
      engineCode_(engineCode) {}

ErrorCode StoreError::codeFor(int engineCode) {
    switch (engineCode & 0xff) {
        case SQLITE_CANTOPEN:
            return ErrorCode::MissingFile;
        // SQLCipher reports a wrong key as "file is not a database".
        case SQLITE_NOTADB:
            return ErrorCode::WrongKey;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ErrorCode::Busy;
        case SQLITE_FULL:
            return ErrorCode::DiskFull;
        case SQLITE_CORRUPT:
            return ErrorCode::Corrupt;
        case SQLITE_CONSTRAINT:
            return ErrorCode::Constraint;
        default:
            break;
    }
    return ErrorCode::Other;
}

StoreError StoreError::fromEngine(int engineCode, const QString& message) {
    return StoreError(message, codeFor(engineCode), engineCode);
}

namespace detail {

void fail(sqlite3* db, const QString& what) {
    if (!db) throw StoreError(what + QStringLiteral(": no database"));
    const int rc = sqlite3_extended_errcode(db);
    throw StoreError::fromEngine(
        rc, what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db)));
}

Stmt::Stmt(sqlite3* db, const QString& sql) : db_(db), sql_(sql) {
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &st_, nullptr) != SQLITE_OK) {
        st_ = nullptr;
        fail(db, QStringLiteral("preparing \"%1\"").arg(sql));
    }
}

Stmt::~Stmt() {
    if (st_) sqlite3_finalize(st_);
}

Stmt::Stmt(Stmt&& o) noexcept : db_(o.db_), st_(o.st_), sql_(std::move(o.sql_)) {
    o.st_ = nullptr;
}

Stmt& Stmt::operator=(Stmt&& o) noexcept {
    if (this != &o) {
        if (st_) sqlite3_finalize(st_);
        db_ = o.db_;
        st_ = o.st_;
        sql_ = std::move(o.sql_);
        o.st_ = nullptr;
    }
    return *this;
}

void Stmt::bind(int index, const QVariant& v) {
    int rc = SQLITE_OK;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(st_, index);
    } else {
        switch (v.typeId()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int(st_, index, v.toBool() ? 1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Short:
            case QMetaType::Long:
                rc = sqlite3_bind_int64(st_, index, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(st_, index, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob64(st_, index, b.constData(), sqlite3_uint64(b.size()),
                                         SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray s = v.toString().toUtf8();
                rc = sqlite3_bind_text64(st_, index, s.constData(), sqlite3_uint64(s.size()),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
            }
        }
    }
    if (rc != SQLITE_OK) fail(db_, QStringLiteral("binding a value"));
}

void Stmt::bindParams(const Params& params) {
    const int n = sqlite3_bind_parameter_count(st_);
    for (int i = 1; i <= n; ++i) {
        const char* raw = sqlite3_bind_parameter_name(st_, i);
        if (!raw) throw StoreError("positional parameters are not supported");
        const QString name = QString::fromUtf8(raw + 1);
        bool found = false;
        for (const auto& p : params) {
            if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
                bind(i, p.second);
                found = true;
                break;
            }
        }
        if (!found)
            throw StoreError(QStringLiteral("parameter :%1 has no value").arg(name).toStdString());
    }
}

bool Stmt::step() {
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(st_);
    fail(db_, QStringLiteral("running \"%1\"").arg(sql_));
}

void Stmt::reset() {
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
}

QVariant Stmt::value(int col) const {
    switch (sqlite3_column_type(st_, col)) {
        case SQLITE_INTEGER:
            return QVariant(qlonglong(sqlite3_column_int64(st_, col)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(st_, col));
        case SQLITE_TEXT:
            return QVariant(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st_, col)),
                                  sqlite3_column_bytes(st_, col)));
        case SQLITE_BLOB:
            return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(st_, col)),
                                       sqlite3_column_bytes(st_, col)));
        default:
            return QVariant();
    }
}

void exec(sqlite3* db, const QString& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "error");
        sqlite3_free(err);
        throw StoreError::fromEngine(sqlite3_extended_errcode(db),
                                     QStringLiteral("running \"%1\": %2").arg(sql, msg));
    }
}

void runPlain(sqlite3* db, const QString& sql, const Params& params) {
    const QByteArray utf8 = sql.toUtf8();
    const char* p = utf8.constData();
    const char* end = p + utf8.size();
    while (p < end) {
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, p, int(end - p), &raw, &tail) != SQLITE_OK)
            fail(db, QStringLiteral("preparing \"%1\"").arg(sql));
        if (!raw) break;
        Stmt st(db, raw, sql);
        st.bindParams(params);
        while (st.step()) {
        }
        p = tail;
    }
}

static std::atomic<int> savepointCounter{0};

Savepoint::Savepoint(sqlite3* db) : db_(db), name_(QStringLiteral("sp%1").arg(++savepointCounter)) {
    exec(db_, QStringLiteral("SAVEPOINT ") + name_);
}

Savepoint::~Savepoint() {
    if (done_ || sqlite3_get_autocommit(db_)) return;
    sqlite3_exec(db_, ("ROLLBACK TO " + name_ + "; RELEASE " + name_).toUtf8().constData(), nullptr,
                 nullptr, nullptr);
}

void Savepoint::release() {
    exec(db_, QStringLiteral("RELEASE ") + name_);
    done_ = true;
}

QString bodyTable(const QString& table) {
    return table + QStringLiteral("$body");
}

bool tableExists(sqlite3* db, const QString& table) {
    Stmt st(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND "
                               "name=:n COLLATE NOCASE"));
    st.bindParams({{QStringLiteral("n"), table}});
    return st.step();
}

bool hasBody(sqlite3* db, const QString& table) {
    return tableExists(db, bodyTable(table));
}

QStringList tableColumns(sqlite3* db, const QString& table) {
    QStringList cols;
    Stmt st(db, QStringLiteral("PRAGMA table_info(") + bracket(table) + u')');
    while (st.step()) cols << st.value(1).toString();
    if (cols.isEmpty())
        throw StoreError(QStringLiteral("no such table: %1").arg(table).toStdString());
    return cols;
}

bool isWideField(const QString& name) {
    return name.compare(store::kFieldContent, Qt::CaseInsensitive) == 0;
}

void createBodyFor(sqlite3* db, const QString& table) {
    const QString t = bracket(table);
    const QString b = bracket(bodyTable(table));
    exec(db, QStringLiteral("CREATE TABLE %1(rid INTEGER PRIMARY KEY, content TEXT COLLATE NOCASE)")
                 .arg(b));
    exec(db, QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN DELETE FROM %3 WHERE "
                            "rid=old.rowid; END")
                 .arg(bracket(table + QStringLiteral("$bodydel")), t, b));
    // Titles are sorted and order numbers ranged over all the time.
    for (const QString& c : tableColumns(db, table)) {
        if (c.compare(store::kFieldTheme, Qt::CaseInsensitive) == 0)
            exec(db, QStringLiteral("CREATE INDEX %1 ON %2(theme)")
                         .arg(bracket(table + QStringLiteral("$theme")), t));
        if (c.compare(store::kFieldSeqNo, Qt::CaseInsensitive) == 0)
            exec(db, QStringLiteral("CREATE INDEX %1 ON %2(SeqNo)")
                         .arg(bracket(table + QStringLiteral("$seqno")), t));
    }
    attachFullTextTable(db, table);
}

// "INSERT INTO T [(cols)] SELECT ..." where T or the source keeps bodies in a
// side table: copies row by row. Returns false when the statement is not of
// this form or needs nothing special.
static bool tryInsertSelect(sqlite3* db, const Tokens& t, const Params& params) {
    int i = nextSignificant(t, 0);
    i = nextSignificant(t, i + 1);
    if (i < 0 || !t[i].is("into")) return false;
    const int tgt = nextSignificant(t, i + 1);
    if (tgt < 0 || !t[tgt].isName()) return false;
    const QString target = t[tgt].name();
    int k = nextSignificant(t, tgt + 1);
    QStringList cols;
    if (k >= 0 && t[k].isPunct(u'(')) {
        const int close = matchingParen(t, k);
        if (close < 0) return false;
        for (int j = k + 1; j < close; ++j)
            if (t[j].isName()) cols << t[j].name();
        k = nextSignificant(t, close + 1);
    }
    if (k < 0 || !t[k].is("select")) return false;
    Tokens sel = t.mid(k);
    SimpleSelect ss;
    const bool simple = parseSimpleSelect(sel, &ss) && tableExists(db, ss.table);
    if (cols.isEmpty()) {
        // Without a field list the selected fields are matched by name.
        if (!simple || ss.columns.contains(QStringLiteral("*"))) return false;
        cols = ss.columns;
    }
    if (!tableExists(db, target)) return false;
    const bool tgtBody = hasBody(db, target);
    const bool srcBody = simple && hasBody(db, ss.table);
    QStringList bracketed;
    for (const QString& c : cols) bracketed << bracket(c);
    if (!tgtBody && !srcBody) {
        runPlain(db,
                 QStringLiteral("INSERT INTO %1(%2) ").arg(bracket(target), bracketed.join(u',')) +
                     join(sel),
                 params);
        return true;
    }
    if (srcBody) {
        if (ss.columns.contains(QStringLiteral("*")))
            throw StoreError("INSERT ... SELECT * from an article table needs a field list");
        bool usesContent = false;
        for (const Token& tok : sel)
            if (tok.isName() && isWideField(tok.name())) usesContent = true;
        if (usesContent)
            sel.insert(
                ss.tableToken + 1,
                Token{Token::Word, QStringLiteral(" LEFT JOIN %1 ON %1.rid=%2.rowid")
                                       .arg(bracket(bodyTable(ss.table)), bracket(ss.table))});
    }
    int wideIx = -1;
    QStringList narrow;
    for (int j = 0; j < cols.size(); ++j) {
        if (tgtBody && isWideField(cols[j]))
            wideIx = j;
        else
            narrow << bracket(cols[j]);
    }
    QStringList marks;
    for (int j = 0; j < narrow.size(); ++j) marks << QStringLiteral("?");
    Savepoint sp(db);
    Stmt select(db, join(sel));
    select.bindParams(params);
    if (select.columnCount() != cols.size())
        throw StoreError("INSERT ... SELECT: the field counts differ");
    Stmt ins(db, narrow.isEmpty()
                     ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(bracket(target))
                     : QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                           .arg(bracket(target), narrow.join(u','), marks.join(u',')));
    Stmt body;
    if (wideIx >= 0)
        body = Stmt(db, QStringLiteral("INSERT INTO %1(rid,content) VALUES(?,?)")
                            .arg(bracket(bodyTable(target))));
    // Reading and writing the same table: collect the rows first.
    const bool sameTable = simple && ss.table.compare(target, Qt::CaseInsensitive) == 0;
    QList<QList<QVariant>> rows;
    auto insertRow = [&](const QList<QVariant>& values) {
        int p = 1;
        for (int j = 0; j < values.size(); ++j)
            if (j != wideIx) ins.bind(p++, values[j]);
        ins.step();
        ins.reset();
        if (wideIx >= 0) {
            body.bind(1, QVariant(qlonglong(sqlite3_last_insert_rowid(db))));
            body.bind(2, values[wideIx]);
            body.step();
            body.reset();
        }
    };
    while (select.step()) {
        QList<QVariant> values;
        for (int j = 0; j < cols.size(); ++j) values << select.value(j);
        if (sameTable)
            rows << values;
        else
            insertRow(values);
    }
    select.reset();
    for (const auto& r : rows) insertRow(r);
    sp.release();
    return true;
}

// "SELECT * INTO T FROM S [WHERE ...]": T gets the fields of S (declared
// types, collations, the id key) and the selected rows.
static bool trySelectInto(sqlite3* db, const Tokens& t, const Params& params) {
    int i = nextSignificant(t, 0);
    const int star = nextSignificant(t, i + 1);
    if (star < 0 || !t[star].isPunct(u'*')) return false;
    const int into = nextSignificant(t, star + 1);
    if (into < 0 || !t[into].is("into")) return false;
    const int tgt = nextSignificant(t, into + 1);
    const int from = tgt < 0 ? -1 : nextSignificant(t, tgt + 1);
    const int src = from < 0 ? -1 : nextSignificant(t, from + 1);
    if (tgt < 0 || !t[tgt].isName() || from < 0 || !t[from].is("from") || src < 0 ||
        !t[src].isName())
        return false;
    const QString target = t[tgt].name();
    const QString source = t[src].name();
    Stmt q(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type='table' AND name=:n "
                              "COLLATE NOCASE"));
    q.bindParams({{QStringLiteral("n"), source}});
    if (!q.step()) throw StoreError(QStringLiteral("no such table: %1").arg(source).toStdString());
    Tokens create = tokenize(q.value(0).toString());
    q.reset();
    int n = nextSignificant(create, 0);
    while (n >= 0 && !create[n].is("table")) n = nextSignificant(create, n + 1);
    n = nextSignificant(create, n + 1);
    if (n >= 0 && create[n].is("if")) {
        n = nextSignificant(create, n + 1);  // not
        n = nextSignificant(create, n + 1);  // exists
        n = nextSignificant(create, n + 1);
    }
    if (n < 0) throw StoreError("cannot read the structure of the source table");
    create[n] = Token{Token::Quoted, bracket(target)};

    Savepoint sp(db);
    exec(db, join(create));
    if (hasBody(db, source)) createBodyFor(db, target);
    // Rows: nothing to copy for the usual "where 1=2".
    const Tokens rest = t.mid(src + 1);
    QStringList sig;
    for (const Token& tok : rest)
        if (tok.significant() && !tok.isPunct(u';')) sig << tok.text.toLower();
    if (sig != QStringList{QStringLiteral("where"), QStringLiteral("1"), QStringLiteral("="),
                           QStringLiteral("2")}) {
        QStringList fields = tableColumns(db, source);
        if (hasBody(db, source)) fields << store::kFieldContent;
        QStringList b;
        for (const QString& f : fields) b << bracket(f);
        const QString copy = QStringLiteral("INSERT INTO %1(%2) SELECT %2 FROM %3")
                                 .arg(bracket(target), b.join(u','), bracket(source)) +
                             join(rest);
        const Tokens ct = tokenize(copy);
        if (!tryInsertSelect(db, ct, params)) runPlain(db, copy, params);
    }
    sp.release();
    return true;
}

void runStatement(sqlite3* db, const QString& sql, const Params& params) {
    const Tokens t = toSqlite(tokenize(sql));
    const int f = nextSignificant(t, 0);
    if (f >= 0 && t[f].is("select") && trySelectInto(db, t, params)) return;
    if (f >= 0 && t[f].is("insert") && tryInsertSelect(db, t, params)) return;
    runPlain(db, join(t), params);
}

}  // namespace detail

using namespace detail;

// ---------------------------------------------------------------- ConnectionInfo

ConnectionInfo ConnectionInfo::parse(const QString& connectionString) {
    ConnectionInfo info;
    for (const QString& part : connectionString.split(u';', Qt::SkipEmptyParts)) {
        const int eq = part.indexOf(u'=');
        if (eq < 0) continue;
        const QString key = part.left(eq).trimmed();
        QString value = part.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.startsWith(u'"') || value.startsWith(u'\'')) &&
            value.endsWith(value[0]))
            value = value.mid(1, value.size() - 2);
        if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            info.dataSource = value.replace(u'\\', u'/');
        else if (key.compare(QLatin1String("Jet OLEDB:Database Password"), Qt::CaseInsensitive) ==
                 0)
            info.password = value;
    }
    return info;
}

QString makeConnectionString(const QString& dataSource, const QString& password) {
    return QStringLiteral(
               "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Persist Security "
               "Info=False;Jet OLEDB:Database Password=%2")
        .arg(dataSource, password);
}

// ---------------------------------------------------------------- Connection

struct Connection::Impl {
    QString connectionString = QString::fromLatin1(kConnectionString);
    sqlite3* db = nullptr;
    int lockFd = -1;
    QList<RecordSet*> sets;
    int depth = 0;
};

static void applyKey(sqlite3* db, const QString& password) {
    if (password.isEmpty()) return;
    const QByteArray key = password.toUtf8();
    if (sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)
        fail(db, QStringLiteral("applying the key"));
    exec(db, QStringLiteral("PRAGMA cipher_page_size = 4096"));
}

Connection::Connection() : d(std::make_unique<Impl>()) {}

Connection::~Connection() {
    try {
        close();
    } catch (...) {
    }
}

void Connection::setConnectionString(const QString& cs) {
    d->connectionString = cs;
}
QString Connection::connectionString() const {
    return d->connectionString;
}

QString Connection::databasePath() const {
    const QString ds = ConnectionInfo::parse(d->connectionString).dataSource;
    return QDir::current().absoluteFilePath(ds);
}

void Connection::open() {
    if (d->db) return;
    const ConnectionInfo info = ConnectionInfo::parse(d->connectionString);
    if (info.dataSource.isEmpty()) throw StoreError("the connection string names no data source");
    const QString path = databasePath();
    const QFileInfo fi(path);
    if (!fi.exists() || !fi.isFile())
        throw StoreError(QStringLiteral("the database file does not exist: %1").arg(path),
                         ErrorCode::MissingFile);
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw StoreError(QStringLiteral("the database file cannot be read: %1").arg(path),
                         ErrorCode::MissingFile);
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd);
        throw StoreError(
            QStringLiteral("the database file is locked by another program: %1").arg(path),
            ErrorCode::Busy);
    }
    sqlite3* db = nullptr;
    // One thread uses a connection: no engine mutexes.
    const int rc = sqlite3_open_v2(native.constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (rc != SQLITE_OK) fail(db, QStringLiteral("opening %1").arg(path));
        applyKey(db, info.password);
        // A wrong key shows when the schema is read.
        if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            fail(db, QStringLiteral("wrong password or not a database: %1").arg(path));
        registerCollation(db);
        sqlite3_busy_timeout(db, 2000);
        // The narrow part of a workbook of 100,000 articles (about 15 MB with
        // the title index) stays in the page cache, and sorts run in memory.
        exec(db, QStringLiteral("PRAGMA cache_size = -32768; PRAGMA temp_store = MEMORY"));
    } catch (...) {
        sqlite3_close(db);
        ::flock(fd, LOCK_UN);
        ::close(fd);
        throw;
    }
    d->db = db;
    d->lockFd = fd;
    d->depth = 0;
}

void Connection::close() {
    const QList<RecordSet*> sets = d->sets;
    for (RecordSet* rs : sets) rs->close();
    if (d->db) {
        sqlite3_close_v2(d->db);
        d->db = nullptr;
    }
    if (d->lockFd >= 0) {
        ::flock(d->lockFd, LOCK_UN);
        ::close(d->lockFd);
        d->lockFd = -1;
    }
    d->depth = 0;
}

bool Connection::isOpen() const {
    return d->db != nullptr;
}

void Connection::execute(const QString& sql, const Params& params) {
    open();
    runStatement(d->db, sql, params);
}

QStringList Connection::tableNames() {
    open();
    QStringList names;
    Stmt st(d->db,
            QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY rowid"));
    while (st.step()) {
        const QString n = st.value(0).toString();
        if (n.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) ||
            n.endsWith(QLatin1String("$body"), Qt::CaseInsensitive) ||
            n.startsWith(QLatin1String("fulltext$"), Qt::CaseInsensitive))
            continue;
        names << n;
    }
    return names;
}

QStringList Connection::fieldNames(const QString& table) {
    open();
    QStringList cols = tableColumns(d->db, table);
    if (hasBody(d->db, table)) cols << store::kFieldContent;
    return cols;
}

bool Connection::tableExists(const QString& table) {
    open();
    return detail::tableExists(d->db, table);
}

void Connection::createArticleTable(const QString& table) {
    open();
    Savepoint sp(d->db);
    exec(d->db,
         QStringLiteral("CREATE TABLE %1(id INTEGER PRIMARY KEY AUTOINCREMENT, [group] TEXT "
                        "COLLATE %2, theme TEXT COLLATE %2, isformat BOOLEAN, SeqNo INT NULL)")
             .arg(bracket(table), QLatin1String(kTextCollation)));
    createBodyFor(d->db, table);
    sp.release();
}

int Connection::transactionDepth() const {
    return d->depth;
}

void Connection::beginTransaction() {
    open();
    exec(d->db, QStringLiteral("SAVEPOINT tx%1").arg(d->depth + 1));
    ++d->depth;
}

void Connection::commit() {
    if (!d->db || d->depth == 0) throw StoreError("commit without a transaction");
    exec(d->db, QStringLiteral("RELEASE tx%1").arg(d->depth));
    --d->depth;
}

void Connection::rollback() {
    if (!d->db || d->depth == 0) return;
    const int level = d->depth--;
    if (sqlite3_get_autocommit(d->db)) {
        d->depth = 0;  // the engine already rolled everything back
        return;
    }
    exec(d->db, QStringLiteral("ROLLBACK TO tx%1; RELEASE tx%1").arg(level));
}

sqlite3* Connection::handle() {
    open();
    return d->db;
}

void Connection::attach(RecordSet* rs) {
    if (!d->sets.contains(rs)) d->sets << rs;
}

void Connection::detach(RecordSet* rs) {
    d->sets.removeAll(rs);
}

void Connection::createDatabaseFile(const QString& path, const QString& password) {
    const QByteArray native = QFile::encodeName(path);
    if (QFileInfo::exists(path))
        throw StoreError(QStringLiteral("the file already exists: %1").arg(path).toStdString());
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(native.constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    try {
        if (rc != SQLITE_OK) fail(db, QStringLiteral("creating %1").arg(path));
        applyKey(db, password);
        // Writes the first page, so that a wrong key is detected later.
        exec(db, QStringLiteral("PRAGMA user_version = 1"));
    } catch (...) {
        sqlite3_close(db);
        QFile::remove(path);
        throw;
    }
    sqlite3_close(db);
}

// ---------------------------------------------------------------- Transaction

Transaction::Transaction(Connection& c) : c_(c) {
    c_.beginTransaction();
}

Transaction::~Transaction() {
    if (done_) return;
    try {
        c_.rollback();
    } catch (...) {
    }
}

void Transaction::commit() {
    c_.commit();
    done_ = true;
}

namespace detail {

KeyedDb::KeyedDb(const QString& path, const QString& password, int flags) {
    const QByteArray native = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(native.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        // The handle is made even when opening fails; close it before leaving.
        struct Close {
            sqlite3* db;
            ~Close() { sqlite3_close_v2(db); }
        } close{db_};
        fail(db_, QStringLiteral("opening %1").arg(path));
    }
    try {
        if (!password.isEmpty()) {
            const QByteArray key = password.toUtf8();
            if (sqlite3_key(db_, key.constData(), int(key.size())) != SQLITE_OK)
                fail(db_, QStringLiteral("applying the key"));
            exec(db_, QStringLiteral("PRAGMA cipher_page_size = 4096"));
        }
    } catch (...) {
        sqlite3_close_v2(db_);
        throw;
    }
}

KeyedDb::~KeyedDb() {
    if (db_) sqlite3_close_v2(db_);
}

}  // namespace detail

}  // namespace store
