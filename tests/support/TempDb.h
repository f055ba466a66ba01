#pragma once
// A temporary program folder with an encrypted article database:
//
//     testsupport::TempDb db;                       // data/YunjanDB.mdb with an empty `datum`
//     db.addArticle("datum", "读书", "标题", 1);     // one row (SeqNo 1)
//     store::ArticleStore s;                        // opens data\YunjanDB.mdb as the program does
//
// The working directory is the temporary folder for the fixture's life, so the
// program's own connection string finds the file. The fixture has its own
// connection for setting up and checking rows; close it before operations that
// need the file to themselves (compaction).

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>
#include <optional>

#include "store/Engine.h"

namespace testsupport {

class TempDb {
  public:
    enum class Kind {
        Empty,         // only the table `datum`, no rows
        Installation,  // the installation's database (datum with the welcome articles)
        NoFile,        // the folder and data/, but no database file
    };
    explicit TempDb(Kind kind = Kind::Empty);
    ~TempDb();
    TempDb(const TempDb&) = delete;
    TempDb& operator=(const TempDb&) = delete;

    QString dir() const;     // the program folder (working directory)
    QString dbPath() const;  // absolute path of data/YunjanDB.mdb

    // The fixture's own connection (opened on first use).
    store::Connection& conn();
    void closeConnection();

    // Appends an article; no seqNo stores NULL. A plain-text body is stored as
    // text, an RTF body (isFormat) as bytes. Returns the new id.
    qint64 addArticle(const QString& table, const QString& group, const QString& theme,
                      std::optional<int> seqNo = std::nullopt, bool isFormat = false,
                      const QByteArray& body = QByteArray("正文"));
    // Appends `count` articles of one category titled prefix + 1..count,
    // numbered 1..count.
    void addArticles(const QString& table, const QString& group, const QString& prefix, int count);

    // Runs a statement of the program's dialect on the fixture's connection.
    void exec(const QString& sql, const store::Params& params = {});
    // First field of the first row ("" when there is none).
    QVariant scalar(const QString& sql, const store::Params& params = {});
    // One field over all rows of a query, as text ("<null>" for null).
    QStringList column(const QString& sql, const QString& field, const store::Params& params = {});

  private:
    QTemporaryDir tmp_;
    QString oldCwd_;
    std::unique_ptr<store::Connection> conn_;
};

}  // namespace testsupport
