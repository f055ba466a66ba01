#pragma once
// The database engine layer: one connection to the encrypted article database
// and record sets on it, with the operations the rest of the program relies on
// (positioning, fields by name, append/edit/post/delete, locate, blobs).
//
// Every failing operation throws StoreError. It says what kind of failure it
// was (code()) and keeps the engine's own text and extended result code for
// the log; callers show their own message or the Chinese text for the code
// (store/ErrorText.h), never the engine's text alone.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <stdexcept>

struct sqlite3;

namespace store {

// The kinds of failure a caller may tell apart.
enum class ErrorCode {
    MissingFile,  // the database file does not exist or cannot be read
    WrongKey,     // wrong password, or not a database of this program
    Busy,         // locked by another connection or program
    DiskFull,     // no room left on the disk (or the file's size limit)
    Corrupt,      // the file is damaged
    Constraint,   // a change broke a rule of the table (key, trigger, ...)
    Other,
};

class StoreError : public std::runtime_error {
  public:
    explicit StoreError(const QString& message, ErrorCode code = ErrorCode::Other,
                        int engineCode = 0);
    // Older throw sites: plain text, code Other.
    explicit StoreError(const char* message) : StoreError(QString::fromUtf8(message)) {}
    explicit StoreError(const std::string& message) : StoreError(QString::fromStdString(message)) {}

    // From a failed engine call: the code follows the engine's (extended)
    // result code.
    static StoreError fromEngine(int engineCode, const QString& message);
    // The code an engine result code stands for.
    static ErrorCode codeFor(int engineCode);

    ErrorCode code() const { return code_; }
    // The engine's extended result code, 0 when the failure did not come from it.
    int engineCode() const { return engineCode_; }
    QString message() const { return message_; }

  private:
    QString message_;
    ErrorCode code_;
    int engineCode_;
};

// The program's connection string and database password.
extern const char* const kConnectionString;
extern const char* const kDatabasePassword;  // "qzmvtke"

// The parts of a connection string the engine uses.
struct ConnectionInfo {
    QString dataSource;  // path as written (backslashes mapped to '/')
    QString password;    // "Jet OLEDB:Database Password"
    static ConnectionInfo parse(const QString& connectionString);
};

// The program's connection string with another data source and password
// (tests and tools open databases elsewhere).
QString makeConnectionString(const QString& dataSource, const QString& password);

class RecordSet;

// Named parameter values (":name" in SQL text). Values are QString or int;
// a null QVariant binds NULL.
using Params = QList<QPair<QString, QVariant>>;

class Connection {
  public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& cs);
    QString connectionString() const;
    // Path of the database file the connection string names (relative paths
    // resolve against the working directory).
    QString databasePath() const;

    // Opens the existing file (never creates it), applies the key and checks
    // it; holds a shared flock on the file while open. Throws StoreError on a
    // missing file, a wrong password or any engine failure.
    void open();
    // Closes every record set on this connection, then the connection.
    void close();
    bool isOpen() const;

    // Runs one SQL text as a command; any result rows are ignored.
    void execute(const QString& sql, const Params& params = {});

    // User tables (system tables left out) and the fields of one table.
    QStringList tableNames();
    QStringList fieldNames(const QString& table);

    // Transactions nest: only the outermost commit/rollback reaches the engine.
    void beginTransaction();
    void commit();
    void rollback();

    sqlite3* handle();  // for the store's own modules only

    // Whether a table exists (case-insensitive).
    bool tableExists(const QString& table);
    // Creates an empty article table (id, group, theme, isformat, content,
    // SeqNo) in the program's layout.
    void createArticleTable(const QString& table);
    // Depth of nested transactions (0 when none is open).
    int transactionDepth() const;

    // Creates a new, empty encrypted database file. Fails when the file exists.
    static void createDatabaseFile(const QString& path, const QString& password);

    // Record sets register themselves so close() can close them.
    void attach(RecordSet* rs);
    void detach(RecordSet* rs);

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// RAII transaction: rolls back unless commit() was called.
class Transaction {
  public:
    explicit Transaction(Connection& c);
    ~Transaction();
    void commit();

  private:
    Connection& c_;
    bool done_ = false;
};

// A query on a connection, used as: close, set SQL text, set parameters,
// open (rows) or execSql (command). Rows are addressed by position; wide
// columns are read only for the row that is asked for.
class RecordSet {
  public:
    explicit RecordSet(Connection& c);
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    Connection& connection();

    void close();
    bool isActive() const;

    void setSql(const QString& sql);
    void setSql(const QStringList& lines);  // joined by line breaks
    void clearSql();
    QString sql() const;

    void setParam(const QString& name, const QVariant& value);
    void clearParams();

    void open();     // opens the connection if needed; positions on row 0
    void execSql();  // runs the text as a command

    // Positioning. eof() is true on an empty set or after the last row.
    void first();
    void next();
    bool eof() const;
    void moveBy(int n);  // forward (or back) from the current row
    int recNo() const;   // 0-based current row, -1 when none
    int recordCount() const;

    // Fields by name (case-insensitive) of the current row.
    bool hasField(const QString& name) const;
    QStringList fieldNames() const;
    QVariant value(const QString& name) const;
    bool isNull(const QString& name) const;
    QString asString(const QString& name) const;  // null gives ""
    int asInteger(const QString& name) const;     // throws on null/non-number
    bool asBoolean(const QString& name) const;
    QByteArray readBlob(const QString& name) const;  // long field as bytes

    // Changing rows: append() or edit(), set values, post().
    void append();
    void edit();
    void setValue(const QString& name, const QVariant& value);
    void setNull(const QString& name);
    void writeBlob(const QString& name, const QByteArray& bytes);
    void post();
    void cancel();
    void deleteRow();  // stays on the following row

    // First row whose field equals value (exact match); positions on it.
    bool locate(const QString& field, const QVariant& value);

    // The current row's rowid in its table, -1 when none (or not a table query).
    qint64 rowId() const;
    // Loaded rows only, no SQL: for a caller that has just made the same
    // change in the table. Adds delta to `field` of every loaded row whose
    // value lies in [lo, hi], except the row with rowid `except`. Returns
    // false, changing nothing, when a loaded value of the field is neither
    // null nor an integer.
    bool shiftLoadedIntegers(const QString& field, qint64 lo, qint64 hi, qint64 delta,
                             qint64 except);
    // Puts the loaded rows in the order "order by <field>" gives for an
    // integer field: nulls first, then by value, ties by rowid; positions on
    // the first row.
    void sortLoadedRows(const QString& field);

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace store
