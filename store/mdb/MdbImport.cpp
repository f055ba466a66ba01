#include "store/mdb/MdbImport.h"

#include <mdbtools.h>
#include <sqlcipher/sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

#include "store/ArticleStore.h"
#include "store/Engine.h"
#include "store/Fields.h"
#include "store/LegacyImport.h"

namespace store::mdb {

namespace {

// Large enough for any memo a user writes; a longer one is refused rather
// than cut (libmdb cuts text silently at the bind size - 1).
constexpr size_t kBindSize = 4 * 1024 * 1024;

const char* const kWorkbooks[] = {"datum", "datum1", "datum2", "datum3"};

struct Failure {
    QString message;
};

[[noreturn]] void fail(const QString& message) {
    throw Failure{message};
}

struct HandleCloser {
    void operator()(MdbHandle* h) const { mdb_close(h); }
};
struct TableFree {
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};
using Handle = std::unique_ptr<MdbHandle, HandleCloser>;
using Table = std::unique_ptr<MdbTableDef, TableFree>;

// One table opened for reading with every column bound.
class TableReader {
  public:
    TableReader(MdbHandle* mdb, const QString& name) : mdb_(mdb) {
        QByteArray n = name.toUtf8();
        table_.reset(mdb_read_table_by_name(mdb, n.data(), MDB_TABLE));
        if (!table_) fail(QStringLiteral("无法读取表 %1。").arg(name));
        if (!mdb_read_columns(table_.get()) || table_->num_cols == 0)
            fail(QStringLiteral("无法读取表 %1 的字段。").arg(name));
        mdb_rewind_table(table_.get());
        const unsigned n2 = table_->num_cols;
        bufs_.resize(n2);
        lens_.assign(n2, 0);
        for (unsigned i = 0; i < n2; ++i) {
            bufs_[i].reset(static_cast<char*>(calloc(1, kBindSize)));
            if (!bufs_[i]) fail(QStringLiteral("内存不足。"));
            mdb_bind_column(table_.get(), int(i + 1), bufs_[i].get(), &lens_[i]);
        }
    }

    unsigned rowCount() const { return table_->num_rows; }
    unsigned columnCount() const { return table_->num_cols; }
    QString columnName(int c) const { return QString::fromUtf8(col(c)->name); }

    // Column index by name (case-insensitive), -1 when missing.
    int column(const char* name) const {
        for (unsigned i = 0; i < table_->num_cols; ++i) {
            auto* c = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, i));
            if (QString::fromUtf8(c->name).compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return int(i);
        }
        return -1;
    }

    bool fetch() {
        if (!mdb_fetch_row(table_.get())) return false;
        // A null and an empty value both come back with length 0: the row's
        // null mask tells them apart.
        nulls_.assign(table_->num_cols, false);
        int start = 0;
        size_t size = 0;
        if (table_->cur_row > 0 && !mdb_find_row(mdb_, int(table_->cur_row) - 1, &start, &size)) {
            std::vector<MdbField> fields(MDB_MAX_COLS);
            if (size > 0 && size_t(start) + size <= size_t(mdb_->fmt->pg_size)) {
                const int n = mdb_crack_row(table_.get(), start, size, fields.data());
                for (int i = 0; i < n && i < int(table_->num_cols); ++i) {
                    const int col = fields[size_t(i)].colnum;
                    if (col >= 0 && col < int(table_->num_cols) && fields[size_t(i)].is_null)
                        nulls_[size_t(col)] = true;
                }
            }
        }
        return true;
    }

    MdbColumn* col(int c) const {
        return static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, unsigned(c)));
    }
    int type(int c) const { return col(c)->col_type; }

    bool isNull(int c) const {
        if (c < 0) return true;
        if (type(c) == MDB_OLE || type(c) == MDB_MEMO) return col(c)->cur_value_len == 0;
        if (type(c) == MDB_BOOL) return false;
        return nulls_[size_t(c)] || (lens_[size_t(c)] == 0 && type(c) != MDB_TEXT);
    }

    QString text(int c) const {
        const int len = lens_[size_t(c)];
        if (size_t(len) >= kBindSize - 1)
            fail(QStringLiteral("表 %1 中有一个字段超过 %2 字节，无法读取。")
                     .arg(QString::fromUtf8(table_->name))
                     .arg(kBindSize - 1));
        return QString::fromUtf8(bufs_[size_t(c)].get(), len);
    }

    QVariant textOrNull(int c) const { return isNull(c) ? QVariant() : QVariant(text(c)); }

    std::optional<qint64> integer(int c) const {
        if (isNull(c)) return std::nullopt;
        bool ok = false;
        const qint64 v = text(c).trimmed().toLongLong(&ok);
        if (!ok) return std::nullopt;
        return v;
    }

    bool boolean(int c) const {
        if (c < 0) return false;
        const QString t = text(c).trimmed();
        return t == QLatin1String("1") ||
               t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    }

    // Exact bytes of a long binary value.
    QByteArray oleBytes(int c) const {
        if (col(c)->cur_value_len == 0 || lens_[size_t(c)] == 0) return QByteArray();
        size_t size = 0;
        void* p = mdb_ole_read_full(mdb_, col(c), &size);
        if (!p)
            fail(QStringLiteral("表 %1 中有无法读取的文章内容。")
                     .arg(QString::fromUtf8(table_->name)));
        QByteArray out(static_cast<const char*>(p), qsizetype(size));
        free(p);
        return out;
    }

  private:
    struct FreeDeleter {
        void operator()(char* p) const { free(p); }
    };
    MdbHandle* mdb_;
    Table table_;
    std::vector<std::unique_ptr<char, FreeDeleter>> bufs_;
    std::vector<int> lens_;
    std::vector<bool> nulls_;
};

Handle openJet(const QString& source) {
    Handle mdb(mdb_open(QFile::encodeName(source).constData(), MDB_NOFLAGS));
    if (!mdb) fail(QStringLiteral("无法打开数据库文件：") + source);
    if (mdb->f->jet_version != MDB_VER_JET3) {
        // Jet 4 text is UTF-16: read it as such, so that characters outside
        // the basic plane survive (libmdb assumes UCS-2).
        iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
        if (cd != iconv_t(-1)) {
            iconv_close(mdb->iconv_in);
            mdb->iconv_in = cd;
        }
    }
    mdb_set_bind_size(mdb.get(), kBindSize);
    return mdb;
}

QStringList userTables(MdbHandle* mdb) {
    QStringList names;
    if (!mdb_read_catalog(mdb, MDB_TABLE)) fail(QStringLiteral("无法读取数据库的表目录。"));
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (e->object_type == MDB_TABLE && mdb_is_user_table(e))
            names << QString::fromUtf8(e->object_name);
    }
    return names;
}

QString findName(const QStringList& names, const char* wanted) {
    for (const QString& n : names)
        if (n.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0) return n;
    return QString();
}

// One workbook table: every row, its key kept, in the order of the keys.
int copyWorkbook(TableReader& in, store::Connection& conn, const QString& table, bool numberRows,
                 qint64* done, qint64 total, const Progress& progress) {
    const int cId = in.column("id"), cGroup = in.column("group"), cTheme = in.column("theme"),
              cFormat = in.column("isformat"), cContent = in.column("content"),
              cSeq = in.column("SeqNo");
    store::RecordSet rs(conn);
    rs.setSql(QStringLiteral("select * from ") + table + QStringLiteral(" where 1=2"));
    rs.open();
    int rows = 0;
    while (in.fetch()) {
        ++rows;
        rs.append();
        if (cId >= 0) {
            const std::optional<qint64> id = in.integer(cId);
            if (id) rs.setValue(store::kFieldId, QVariant(*id));
        }
        rs.setValue(store::kFieldGroup, cGroup >= 0 ? in.textOrNull(cGroup) : QVariant());
        rs.setValue(store::kFieldTheme, cTheme >= 0 ? in.textOrNull(cTheme) : QVariant());
        const bool rtf = in.boolean(cFormat);
        rs.setValue(store::kFieldIsFormat, rtf);
        if (cContent >= 0 && !in.isNull(cContent)) {
            if (in.type(cContent) == MDB_OLE || in.type(cContent) == MDB_BINARY) {
                const QByteArray bytes = in.oleBytes(cContent);
                if (rtf)
                    rs.writeBlob(store::kFieldContent, bytes);
                else
                    rs.setValue(store::kFieldContent, store::decodeLegacyPlainText(bytes));
            } else if (rtf) {
                rs.writeBlob(store::kFieldContent, store::rtfBytesFromText(in.text(cContent)));
            } else {
                rs.setValue(store::kFieldContent, in.text(cContent));
            }
        }
        if (numberRows) {
            rs.setValue(store::kFieldSeqNo, rows);
        } else if (cSeq >= 0) {
            const std::optional<qint64> seq = in.integer(cSeq);
            if (seq) rs.setValue(store::kFieldSeqNo, QVariant(*seq));
        }
        rs.post();
        ++*done;
        if (progress && (*done % 200 == 0)) progress(*done, total);
    }
    rs.close();
    return rows;
}

int copyUsers(TableReader& in, store::Connection& conn) {
    const int cUser = in.column("userID"), cPass = in.column("Passwords"),
              cGrade = in.column("Grade");
    store::RecordSet rs(conn);
    rs.setSql(QStringLiteral("Select * from UsersData"));
    rs.open();
    int rows = 0;
    while (in.fetch()) {
        if (cUser < 0 || in.isNull(cUser)) continue;  // the key: a row without one cannot be kept
        rs.append();
        rs.setValue(QStringLiteral("userID"), in.text(cUser));
        rs.setValue(QStringLiteral("Passwords"), cPass >= 0 ? in.textOrNull(cPass) : QVariant());
        const std::optional<qint64> grade = cGrade >= 0 ? in.integer(cGrade) : std::nullopt;
        rs.setValue(QStringLiteral("Grade"), grade ? QVariant(*grade) : QVariant());
        rs.post();
        ++rows;
    }
    rs.close();
    return rows;
}

void writeDatabase(MdbHandle* mdb, const QString& dest, ImportResult* result,
                   const Progress& progress, bool* created) {
    const QStringList tables = userTables(mdb);
    if (findName(tables, "datum").isEmpty())
        fail(QStringLiteral("这个数据库中没有文章表 datum，不是本程序的文章数据库。"));

    // libmdb reads one table at a time well: each is opened when its turn comes.
    QStringList names;
    qint64 total = 0;
    for (const char* w : kWorkbooks) {
        names << findName(tables, w);
        if (names.back().isEmpty()) continue;
        QByteArray n = names.back().toUtf8();
        Table t(mdb_read_table_by_name(mdb, n.data(), MDB_TABLE));
        if (!t) fail(QStringLiteral("无法读取表 %1。").arg(names.back()));
        total += t->num_rows;
    }

    const QString password = QString::fromLatin1(store::kDatabasePassword);
    store::Connection::createDatabaseFile(dest, password);
    *created = true;  // from here on DEST is ours to remove on failure
    store::Connection conn;
    conn.setConnectionString(store::makeConnectionString(dest, password));
    conn.open();
    // The whole file is written in one transaction: a page cache that holds
    // the indexes keeps pages from being encrypted, spilled and read back.
    sqlite3_exec(conn.handle(), "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    store::Transaction tx(conn);
    qint64 done = 0;
    if (progress) progress(0, total);
    for (size_t i = 0; i < std::size(kWorkbooks); ++i) {
        const QString table = QString::fromLatin1(kWorkbooks[i]);
        conn.createArticleTable(table);
        int rows = 0;
        if (!names[qsizetype(i)].isEmpty()) {
            TableReader in(mdb, names[qsizetype(i)]);
            // A file whose main workbook predates order numbers gets them as
            // the program's start-up check would give them.
            const bool number = i == 0 && in.column("SeqNo") < 0;
            rows = copyWorkbook(in, conn, table, number, &done, total, progress);
        }
        result->counts << qMakePair(table, rows);
    }
    conn.execute(
        QStringLiteral("Create table UsersData(userID char(50) PRIMARY key,Passwords "
                       "char(50),Grade int Default 1)"));
    const QString users = findName(tables, "UsersData");
    if (!users.isEmpty()) {
        TableReader in(mdb, users);
        result->users = copyUsers(in, conn);
    } else {
        conn.execute(QStringLiteral("insert into UsersData(userID) values('Admin')"));
        result->users = 1;
    }
    tx.commit();
    conn.close();
    if (progress) progress(total, total);
}

}  // namespace

base::Result<ImportResult> importMdb(const QString& source, const QString& dest,
                                     const Progress& progress) {
    ImportResult result;
    auto failWith = [](const QString& m) { return base::failure(m); };
    if (!QFileInfo::exists(source)) return failWith(QStringLiteral("找不到文件：") + source);
    if (QFileInfo::exists(dest)) return failWith(QStringLiteral("目标文件已经存在：") + dest);
    if (!store::isJetFile(source))
        return failWith(QStringLiteral("不是 Access（Jet）格式的数据库文件：") + source);

    bool created = false;
    try {
        Handle mdb = openJet(source);
        writeDatabase(mdb.get(), dest, &result, progress, &created);
    } catch (const Failure& f) {
        if (created) QFile::remove(dest);
        return failWith(f.message);
    } catch (const std::exception& e) {
        if (created) QFile::remove(dest);
        return failWith(QStringLiteral("写入数据库时出错：") + QString::fromUtf8(e.what()));
    }
    return result;
}

base::Result<QList<QMap<QString, QString>>> readTextTable(const QString& source,
                                                          const QString& table) {
    QList<QMap<QString, QString>> rows;
    try {
        Handle mdb = openJet(source);
        if (findName(userTables(mdb.get()), table.toUtf8().constData()).isEmpty())
            fail(QStringLiteral("没有表 %1。").arg(table));
        TableReader in(mdb.get(), table);
        while (in.fetch()) {
            QMap<QString, QString> row;
            for (int c = 0; c < int(in.columnCount()); ++c)
                if (!in.isNull(c)) row.insert(in.columnName(c), in.text(c));
            rows.append(row);
        }
    } catch (const Failure& f) {
        return base::failure(f.message);
    }
    return rows;
}

}  // namespace store::mdb
