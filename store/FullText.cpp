#include "store/FullText.h"

#include <QByteArray>
#include <cstring>
#include <string>

#include "richtext/core/RtfPlainText.h"
#include "store/ArticleStore.h"
#include "store/EngineDetail.h"
#include "store/SqlText.h"

namespace store {

using detail::exec;
using detail::Stmt;

namespace {

const char* const kIndex = "fulltext$index";
const char* const kBuild = "fulltext$build";
constexpr int kWorkbooks = 4;
constexpr int kBookShift = 40;  // docid = workbook << 40 | article id
// The build's last phase, after every workbook: the merges left over are
// finished, so that the writes after a build do not pay for them.
constexpr int kMergePhase = 100;
constexpr int kMergePagesPerStep = 2000;

qint64 docidOf(int book, qint64 id) {
    return (qint64(book) << kBookShift) | id;
}

QString indexName() {
    return QString::fromLatin1(kIndex);
}

// ---------------------------------------------------------------- characters

enum CharClass { Separator, WordChar, SingleChar };

char32_t foldChar(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E)
        c -= 0xFEE0;  // full-width ASCII
    else if (c == 0x3000)
        c = u' ';
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toLower(c);
}

CharClass classOf(char32_t c) {
    if (c < 0x80) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            return WordChar;
        return Separator;
    }
    switch (QChar::category(c)) {
        case QChar::Letter_Other:
            return SingleChar;  // Chinese and other scripts without spaces
        case QChar::Letter_Uppercase:
        case QChar::Letter_Lowercase:
        case QChar::Letter_Titlecase:
        case QChar::Letter_Modifier:
        case QChar::Number_DecimalDigit:
        case QChar::Number_Letter:
        case QChar::Number_Other:
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
            return WordChar;
        default:
            return Separator;
    }
}

// One code point of UTF-8 at p (< end); *len gets its byte count. A broken
// sequence gives U+FFFD for one byte.
char32_t decodeUtf8(const unsigned char* p, const unsigned char* end, int* len) {
    const unsigned char b = p[0];
    if (b < 0x80) {
        *len = 1;
        return b;
    }
    int n = 0;
    char32_t c = 0;
    if ((b & 0xE0) == 0xC0) {
        n = 2;
        c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        n = 3;
        c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        n = 4;
        c = b & 0x07;
    } else {
        *len = 1;
        return 0xFFFD;
    }
    if (end - p < n) {
        *len = 1;
        return 0xFFFD;
    }
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            *len = 1;
            return 0xFFFD;
        }
        c = (c << 6) | (p[i] & 0x3F);
    }
    *len = n;
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// ---------------------------------------------------------------- the tokenizer
// The FTS3 tokenizer interface (fts3_tokenizer.h, which the engine's
// development package does not install; the layout is fixed by the engine).

struct sqlite3_tokenizer_module;
struct sqlite3_tokenizer {
    const sqlite3_tokenizer_module* pModule;
};
struct sqlite3_tokenizer_cursor {
    sqlite3_tokenizer* pTokenizer;
};
struct sqlite3_tokenizer_module {
    int iVersion;
    int (*xCreate)(int argc, const char* const* argv, sqlite3_tokenizer** ppTokenizer);
    int (*xDestroy)(sqlite3_tokenizer* pTokenizer);
    int (*xOpen)(sqlite3_tokenizer* pTokenizer, const char* pInput, int nBytes,
                 sqlite3_tokenizer_cursor** ppCursor);
    int (*xClose)(sqlite3_tokenizer_cursor* pCursor);
    int (*xNext)(sqlite3_tokenizer_cursor* pCursor, const char** ppToken, int* pnBytes,
                 int* piStartOffset, int* piEndOffset, int* piPosition);
};

struct Cursor : sqlite3_tokenizer_cursor {
    const unsigned char* begin;
    const unsigned char* p;
    const unsigned char* end;
    int position = -1;
    std::string token;
};

int tokCreate(int, const char* const*, sqlite3_tokenizer** out) {
    auto* t = static_cast<sqlite3_tokenizer*>(sqlite3_malloc(sizeof(sqlite3_tokenizer)));
    if (!t) return SQLITE_NOMEM;
    std::memset(t, 0, sizeof *t);
    *out = t;
    return SQLITE_OK;
}

int tokDestroy(sqlite3_tokenizer* t) {
    sqlite3_free(t);
    return SQLITE_OK;
}

int tokOpen(sqlite3_tokenizer*, const char* input, int n, sqlite3_tokenizer_cursor** out) {
    auto* c = new (std::nothrow) Cursor;
    if (!c) return SQLITE_NOMEM;
    if (!input) n = 0;
    if (n < 0) n = input ? int(std::strlen(input)) : 0;
    c->begin = c->p = reinterpret_cast<const unsigned char*>(input);
    c->end = c->begin + n;
    *out = c;
    return SQLITE_OK;
}

int tokClose(sqlite3_tokenizer_cursor* base) {
    delete static_cast<Cursor*>(base);
    return SQLITE_OK;
}

int tokNext(sqlite3_tokenizer_cursor* base, const char** token, int* nBytes, int* start,
            int* endOffset, int* position) {
    auto* c = static_cast<Cursor*>(base);
    bool gap = false;
    int len = 0;
    char32_t ch = 0;
    CharClass cls = Separator;
    while (c->p < c->end) {
        ch = foldChar(decodeUtf8(c->p, c->end, &len));
        cls = classOf(ch);
        if (cls != Separator) break;
        gap = true;
        c->p += len;
    }
    if (c->p >= c->end) return SQLITE_DONE;
    *start = int(c->p - c->begin);
    c->token.clear();
    appendUtf8(c->token, ch);
    c->p += len;
    if (cls == WordChar) {
        while (c->p < c->end) {
            const char32_t d = foldChar(decodeUtf8(c->p, c->end, &len));
            if (classOf(d) != WordChar) break;
            appendUtf8(c->token, d);
            c->p += len;
        }
    }
    // A separator leaves a hole, so that a phrase never spans one.
    c->position += (gap && c->position >= 0) ? 2 : 1;
    *endOffset = int(c->p - c->begin);
    *token = c->token.data();
    *nBytes = int(c->token.size());
    *position = c->position;
    return SQLITE_OK;
}

const sqlite3_tokenizer_module kModule = {0, tokCreate, tokDestroy, tokOpen, tokClose, tokNext};

// ---------------------------------------------------------------- the text function

void plainTextFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
        return;
    }
    const bool isFormat =
        sqlite3_value_type(argv[0]) != SQLITE_NULL && sqlite3_value_int(argv[0]) != 0;
    const char* data = static_cast<const char*>(sqlite3_value_blob(argv[1]));
    const int n = sqlite3_value_bytes(argv[1]);
    if (!data) {
        sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
        return;
    }
    const QByteArray bytes = QByteArray::fromRawData(data, n);
    if (!isFormat || !richtext::startsAsRtf(bytes)) {
        sqlite3_result_text(ctx, data, n, SQLITE_TRANSIENT);
        return;
    }
    const QByteArray text = richtext::rtfPlainText(bytes).toUtf8();
    sqlite3_result_text(ctx, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

// The index keeps its texts (for snippets and for removing a changed
// article's words) zlib-compressed: bodies shrink to about half. Short texts
// stay as they are.
constexpr int kCompressFrom = 64;

void zipFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const char* data = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int n = sqlite3_value_bytes(argv[0]);
    if (!data || n < kCompressFrom) {
        sqlite3_result_text(ctx, data ? data : "", data ? n : 0, SQLITE_TRANSIENT);
        return;
    }
    const QByteArray z = qCompress(reinterpret_cast<const uchar*>(data), n, 1);
    sqlite3_result_blob(ctx, z.constData(), int(z.size()), SQLITE_TRANSIENT);
}

void unzipFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
        case SQLITE_NULL:
            sqlite3_result_null(ctx);
            return;
        case SQLITE_BLOB: {
            const QByteArray z = qUncompress(static_cast<const uchar*>(sqlite3_value_blob(argv[0])),
                                             sqlite3_value_bytes(argv[0]));
            sqlite3_result_text(ctx, z.constData(), int(z.size()), SQLITE_TRANSIENT);
            return;
        }
        default:
            sqlite3_result_value(ctx, argv[0]);
    }
}

// ---------------------------------------------------------------- schema

bool indexExists(sqlite3* db) {
    return detail::tableExists(db, indexName());
}

QString b(const QString& name) {
    return sqltext::bracket(name);
}

void createTriggers(sqlite3* db, const QString& table, int book) {
    const QString t = b(table);
    const QString idx = b(indexName());
    const QString k = QString::number(docidOf(book, 0));
    const bool body = detail::hasBody(db, table);
    const QString bt = b(detail::bodyTable(table));
    const QString bodyOfNew =
        body ? QStringLiteral("(SELECT content FROM %1 WHERE rid=new.rowid)").arg(bt)
             : QStringLiteral("new.content");
    const QString insertNew =
        QStringLiteral(
            "INSERT OR REPLACE INTO %1(docid,body,title) VALUES(new.rowid+%2, "
            "yunjan_plaintext(new.isformat,%3), new.theme);")
            .arg(idx, k, bodyOfNew);
    auto name = [&](const char* suffix) { return b(table + QLatin1String(suffix)); };
    exec(db, QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 BEGIN %3 END")
                 .arg(name("$ftins"), t, insertNew));
    QString changed = QStringLiteral(
        "old.rowid IS NOT new.rowid OR CAST(old.theme AS BLOB) IS NOT CAST(new.theme AS BLOB) "
        "OR old.isformat IS NOT new.isformat");
    QString columns = QStringLiteral("id, theme, isformat");
    if (!body) {
        changed += QStringLiteral(" OR CAST(old.content AS BLOB) IS NOT CAST(new.content AS BLOB)");
        columns += QStringLiteral(", content");
    }
    exec(db, QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %2 ON %3 WHEN %4 BEGIN DELETE FROM "
                            "%5 WHERE docid=old.rowid+%6; %7 END")
                 .arg(name("$ftupd"), columns, t, changed, idx, k, insertNew));
    exec(db, QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN DELETE FROM %3 WHERE "
                            "docid=old.rowid+%4; END")
                 .arg(name("$ftdel"), t, idx, k));
    if (!body) return;
    const QString setBody =
        QStringLiteral(
            "UPDATE %1 SET body=yunjan_plaintext((SELECT isformat FROM %2 WHERE "
            "rowid=new.rid), new.content) WHERE docid=new.rid+%3;")
            .arg(idx, t, k);
    exec(db, QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 BEGIN %3 END")
                 .arg(name("$ftbodyins"), bt, setBody));
    exec(db, QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF rid, content ON %2 BEGIN UPDATE %3 "
                            "SET body='' WHERE docid=old.rid+%4 AND old.rid IS NOT new.rid; %5 END")
                 .arg(name("$ftbodyupd"), bt, idx, k, setBody));
    exec(db, QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN UPDATE %3 SET body='' "
                            "WHERE docid=old.rid+%4; END")
                 .arg(name("$ftbodydel"), bt, idx, k));
}

void dropTriggers(sqlite3* db) {
    QStringList names;
    {
        Stmt st(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type='trigger' AND (name "
                                   "LIKE '%$ftins' OR name LIKE '%$ftupd' OR name LIKE '%$ftdel' "
                                   "OR name LIKE '%$ftbody%')"));
        while (st.step()) names << st.value(0).toString();
    }
    for (const QString& n : names) exec(db, QStringLiteral("DROP TRIGGER ") + b(n));
}

qint64 scalar(sqlite3* db, const QString& sql, const Params& params = {}) {
    Stmt st(db, sql);
    st.bindParams(params);
    return st.step() ? st.int64(0) : 0;
}

}  // namespace

// ---------------------------------------------------------------- public

void registerFullText(sqlite3* db) {
    if (sqlite3_create_function_v2(db, "yunjan_plaintext", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                   nullptr, &plainTextFunction, nullptr, nullptr,
                                   nullptr) != SQLITE_OK)
        detail::fail(db, QStringLiteral("registering the text function"));
    if (sqlite3_create_function_v2(db, "yunjan_zip", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   &zipFunction, nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_create_function_v2(db, "yunjan_unzip", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                   nullptr, &unzipFunction, nullptr, nullptr, nullptr) != SQLITE_OK)
        detail::fail(db, QStringLiteral("registering the compression functions"));
    // Registering a tokenizer takes its address through SQL; the door for
    // that is opened only for this one statement.
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 1, nullptr);
    const sqlite3_tokenizer_module* module = &kModule;
    int rc = SQLITE_OK;
    {
        sqlite3_stmt* st = nullptr;
        rc = sqlite3_prepare_v2(db, "SELECT fts3_tokenizer('yunjan', ?)", -1, &st, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_bind_blob(st, 1, &module, sizeof module, SQLITE_STATIC);
            rc = sqlite3_step(st);
            if (rc == SQLITE_ROW) rc = SQLITE_OK;
        }
        sqlite3_finalize(st);
    }
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 0, nullptr);
    if (rc != SQLITE_OK) detail::fail(db, QStringLiteral("registering the tokenizer"));
}

QString articlePlainText(bool isFormat, const QByteArray& content) {
    if (isFormat && richtext::startsAsRtf(content)) return richtext::rtfPlainText(content);
    return QString::fromUtf8(content);
}

FullTextState fullTextState(Connection& c) {
    sqlite3* db = c.handle();
    if (!indexExists(db)) return FullTextState::Missing;
    if (!detail::tableExists(db, QString::fromLatin1(kBuild))) return FullTextState::Partial;
    const qint64 open =
        scalar(db, QStringLiteral("SELECT count(*) FROM %1 WHERE finished=0").arg(b(kBuild)));
    return open > 0 ? FullTextState::Partial : FullTextState::Ready;
}

void createFullTextIndex(Connection& c) {
    sqlite3* db = c.handle();
    if (indexExists(db)) return;
    Transaction tx(c);
    // Body first: positions of the body then need no column marker, which
    // keeps the index small. matchinfo=fts3: no per-document sizes (nothing
    // ranks by them, and without them no token is checked by reading rows).
    exec(db, QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts4(body, title, tokenize=yunjan, "
                            "matchinfo=fts3, compress=yunjan_zip, uncompress=yunjan_unzip)")
                 .arg(b(indexName())));
    // Segments are merged a little after every write instead of all at once
    // when a level fills up, so that a single write rarely pays for a big one.
    exec(db, QStringLiteral("INSERT INTO %1(%1) VALUES('automerge=8')").arg(b(indexName())));
    exec(db, QStringLiteral("CREATE TABLE %1(book INTEGER PRIMARY KEY, done INTEGER NOT NULL, "
                            "finished INTEGER NOT NULL)")
                 .arg(b(kBuild)));
    for (int k = 0; k < kWorkbooks; ++k) {
        const QString table = workbookTable(k);
        if (!detail::tableExists(db, table)) continue;
        createTriggers(db, table, k);
        exec(db, QStringLiteral("INSERT INTO %1(book,done,finished) VALUES(%2,0,0)")
                     .arg(b(kBuild))
                     .arg(k));
    }
    exec(db, QStringLiteral("INSERT INTO %1(book,done,finished) VALUES(%2,0,0)")
                 .arg(b(kBuild))
                 .arg(kMergePhase));
    tx.commit();
}

void dropFullTextIndex(Connection& c) {
    sqlite3* db = c.handle();
    Transaction tx(c);
    dropTriggers(db);
    if (indexExists(db)) exec(db, QStringLiteral("DROP TABLE ") + b(indexName()));
    if (detail::tableExists(db, QString::fromLatin1(kBuild)))
        exec(db, QStringLiteral("DROP TABLE ") + b(kBuild));
    tx.commit();
}

void resetFullTextIndex(Connection& c) {
    Transaction tx(c);
    dropFullTextIndex(c);
    createFullTextIndex(c);
    tx.commit();
}

void attachFullTextTable(sqlite3* db, const QString& table) {
    const int book = workbookPosition(table);
    if (book < 0 || !indexExists(db)) return;
    detail::Savepoint sp(db);
    createTriggers(db, table, book);
    if (detail::tableExists(db, QString::fromLatin1(kBuild))) {
        const bool empty = scalar(db, QStringLiteral("SELECT count(*) FROM %1").arg(b(table))) == 0;
        exec(db, QStringLiteral("INSERT OR REPLACE INTO %1(book,done,finished) VALUES(%2,0,%3)")
                     .arg(b(kBuild))
                     .arg(book)
                     .arg(empty ? 1 : 0));
    }
    sp.release();
}

FullTextProgress fullTextProgress(Connection& c) {
    sqlite3* db = c.handle();
    FullTextProgress p;
    const bool haveBuild = detail::tableExists(db, QString::fromLatin1(kBuild));
    const bool haveIndex = indexExists(db);
    p.finished = haveIndex;
    if (haveIndex && haveBuild &&
        scalar(db, QStringLiteral("SELECT count(*) FROM %1 WHERE book=%2 AND finished=0")
                       .arg(b(kBuild))
                       .arg(kMergePhase)) > 0)
        p.finished = false;
    for (int k = 0; k < kWorkbooks; ++k) {
        const QString table = workbookTable(k);
        if (!detail::tableExists(db, table)) continue;
        const qint64 n = scalar(db, QStringLiteral("SELECT count(*) FROM %1").arg(b(table)));
        p.total += n;
        if (!haveIndex) continue;
        qint64 done = 0;
        bool finished = true;
        if (haveBuild) {
            Stmt st(db, QStringLiteral("SELECT done, finished FROM %1 WHERE book=%2")
                            .arg(b(kBuild))
                            .arg(k));
            if (st.step()) {
                done = st.int64(0);
                finished = st.int64(1) != 0;
            }
        }
        if (finished) {
            p.done += n;
        } else {
            p.finished = false;
            p.done +=
                scalar(db, QStringLiteral("SELECT count(*) FROM %1 WHERE rowid<=:d").arg(b(table)),
                       {{QStringLiteral("d"), done}});
        }
    }
    return p;
}

FullTextProgress buildFullTextStep(Connection& c, int maxArticles) {
    sqlite3* db = c.handle();
    if (!indexExists(db)) createFullTextIndex(c);
    if (maxArticles < 1) maxArticles = 1;
    int budget = maxArticles;
    {
        Transaction tx(c);
        QList<QPair<int, qint64>> open;
        {
            Stmt st(db, QStringLiteral("SELECT book, done FROM %1 WHERE finished=0 ORDER BY book")
                            .arg(b(kBuild)));
            while (st.step()) open << qMakePair(int(st.int64(0)), st.int64(1));
        }
        bool booksLeft = false;
        for (const auto& [book, done] : open) {
            if (budget <= 0) break;
            if (book == kMergePhase) {
                if (booksLeft) break;
                const int before = sqlite3_total_changes(db);
                exec(db, QStringLiteral("INSERT INTO %1(%1) VALUES('merge=%2,8')")
                             .arg(b(indexName()))
                             .arg(kMergePagesPerStep));
                // Fewer than two changes: there was nothing left to merge.
                if (sqlite3_total_changes(db) - before < 2)
                    exec(db, QStringLiteral("UPDATE %1 SET finished=1 WHERE book=%2")
                                 .arg(b(kBuild))
                                 .arg(kMergePhase));
                break;
            }
            const int asked = budget;
            const QString table = workbookTable(book);
            qint64 last = done;
            int n = 0;
            if (detail::tableExists(db, table)) {
                Stmt ids(db, QStringLiteral("SELECT rowid FROM %1 WHERE rowid>:d ORDER BY rowid "
                                            "LIMIT :n")
                                 .arg(b(table)));
                ids.bindParams({{QStringLiteral("d"), done}, {QStringLiteral("n"), budget}});
                while (ids.step()) {
                    last = ids.int64(0);
                    ++n;
                }
                const bool body = detail::hasBody(db, table);
                const QString from = body ? QStringLiteral("%1 LEFT JOIN %2 ON %2.rid=%1.rowid")
                                                .arg(b(table), b(detail::bodyTable(table)))
                                          : b(table);
                if (n > 0) {
                    Stmt ins(db, QStringLiteral("INSERT OR REPLACE INTO %1(docid,body,title) "
                                                "SELECT %2.rowid+%3, yunjan_plaintext(isformat, "
                                                "content), theme FROM %4 WHERE %2.rowid>:d AND "
                                                "%2.rowid<=:l")
                                     .arg(b(indexName()), b(table),
                                          QString::number(docidOf(book, 0)), from));
                    ins.bindParams({{QStringLiteral("d"), done}, {QStringLiteral("l"), last}});
                    ins.step();
                }
            }
            budget -= n;
            const bool finished = n < asked;
            if (!finished) booksLeft = true;
            Stmt up(
                db,
                QStringLiteral("UPDATE %1 SET done=:l, finished=:f WHERE book=:b").arg(b(kBuild)));
            up.bindParams({{QStringLiteral("l"), last},
                           {QStringLiteral("f"), finished ? 1 : 0},
                           {QStringLiteral("b"), book}});
            up.step();
        }
        tx.commit();
    }
    return fullTextProgress(c);
}

// ---------------------------------------------------------------- queries

QString foldForSearch(const QString& text) {
    QString out(text.size(), Qt::Uninitialized);
    const QChar* in = text.constData();
    QChar* o = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = in[i].unicode();
        if (QChar::isSurrogate(u)) {
            o[i] = in[i];
            continue;
        }
        const char32_t f = foldChar(u);
        o[i] = f < 0x10000 ? QChar(char16_t(f)) : in[i];
    }
    return out;
}

namespace {

char32_t codePointAt(const QString& s, qsizetype i, int* units) {
    const QChar c = s.at(i);
    if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(c, s.at(i + 1));
    }
    *units = 1;
    return c.unicode();
}

CharClass classAt(const QString& s, qsizetype i) {
    int units = 1;
    return classOf(codePointAt(s, i, &units));
}

// The class of the character that ends just before position i.
CharClass classBefore(const QString& s, qsizetype i) {
    if (i <= 0) return Separator;
    qsizetype j = i - 1;
    if (s.at(j).isLowSurrogate() && j > 0 && s.at(j - 1).isHighSurrogate()) --j;
    return classAt(s, j);
}

}  // namespace

FullTextQuery parseFullTextQuery(const QString& text) {
    FullTextQuery q;
    const QString f = foldForSearch(text);
    QString word;
    for (qsizetype i = 0; i < f.size();) {
        int units = 1;
        const char32_t c = codePointAt(f, i, &units);
        if (classOf(c) == Separator) {
            if (!word.isEmpty() && !q.words.contains(word)) q.words << word;
            word.clear();
        } else {
            word += f.mid(i, units);
        }
        i += units;
    }
    if (!word.isEmpty() && !q.words.contains(word)) q.words << word;
    return q;
}

QString fullTextMatchExpression(const FullTextQuery& q) {
    QStringList phrases;
    for (const QString& w : q.words) {
        QStringList tokens;
        QString latin;
        for (qsizetype i = 0; i < w.size();) {
            int units = 1;
            const char32_t c = codePointAt(w, i, &units);
            if (classOf(c) == WordChar) {
                latin += w.mid(i, units);
            } else {
                if (!latin.isEmpty()) tokens << latin;
                latin.clear();
                tokens << w.mid(i, units);
            }
            i += units;
        }
        if (!latin.isEmpty()) {
            // The word being typed: a Latin word at the end matches the words it starts.
            tokens << latin + u'*';
        }
        phrases << u'"' + tokens.join(u' ') + u'"';
    }
    return phrases.join(u' ');
}

QPair<int, int> findFirstHit(const QString& text, const FullTextQuery& q) {
    if (q.isEmpty() || text.isEmpty()) return {-1, 0};
    const QString f = foldForSearch(text);
    int best = -1;
    int bestLen = 0;
    for (const QString& w : q.words) {
        const bool wordStart = classAt(w, 0) == WordChar;
        qsizetype from = 0;
        while (true) {
            const qsizetype at = f.indexOf(w, from);
            if (at < 0 || (best >= 0 && at >= best)) break;
            if (!wordStart || classBefore(f, at) != WordChar) {
                best = int(at);
                bestLen = int(w.size());
                break;
            }
            from = at + 1;
        }
    }
    return {best, bestLen};
}

FullTextResult searchFullText(Connection& c, const QString& query, int workbook, int limit) {
    FullTextResult r;
    const FullTextQuery q = parseFullTextQuery(query);
    if (q.isEmpty()) return r;
    sqlite3* db = c.handle();
    if (!indexExists(db)) return r;
    QString sql = QStringLiteral("SELECT docid FROM %1 WHERE %1 MATCH :q").arg(b(indexName()));
    Params params{{QStringLiteral("q"), fullTextMatchExpression(q)}};
    if (workbook >= 0) {
        sql += QStringLiteral(" AND docid>=:lo AND docid<:hi");
        params << qMakePair(QStringLiteral("lo"), QVariant(docidOf(workbook, 0)))
               << qMakePair(QStringLiteral("hi"), QVariant(docidOf(workbook + 1, 0)));
    }
    sql += QStringLiteral(" ORDER BY docid");
    QList<qint64> docids;
    {
        Stmt st(db, sql);
        st.bindParams(params);
        while (st.step()) {
            ++r.total;
            if (docids.size() < limit) docids << st.int64(0);
        }
    }
    Stmt bodyOf(db, QStringLiteral("SELECT body FROM %1 WHERE docid=?").arg(b(indexName())));
    Stmt rowOf[kWorkbooks];
    for (qint64 docid : docids) {
        FullTextHit h;
        h.workbook = int(docid >> kBookShift);
        h.id = docid & ((qint64(1) << kBookShift) - 1);
        if (h.workbook < 0 || h.workbook >= kWorkbooks) continue;
        Stmt& row = rowOf[h.workbook];
        if (!row)
            row = Stmt(db, QStringLiteral("SELECT [group], theme FROM %1 WHERE rowid=?")
                               .arg(b(workbookTable(h.workbook))));
        row.bind(1, QVariant(h.id));
        if (row.step()) {
            h.group = row.value(0).toString();
            h.title = row.value(1).toString();
        }
        row.reset();
        bodyOf.bind(1, QVariant(docid));
        QString body;
        if (bodyOf.step()) body = bodyOf.value(0).toString();
        bodyOf.reset();
        const QPair<int, int> hit = findFirstHit(body, q);
        constexpr int kBefore = 20, kLength = 100;
        const int start = hit.first < 0 ? 0 : qMax(0, hit.first - kBefore);
        QString snip = body.mid(start, kLength);
        for (QChar& ch : snip)
            if (ch == u'\r' || ch == u'\n' || ch == u'\t') ch = u' ';
        if (hit.first >= 0) {
            h.hitStart = hit.first - start;
            h.hitLength = qMin(hit.second, int(snip.size()) - h.hitStart);
        }
        h.snippet = snip;
        r.hits << h;
    }
    return r;
}

}  // namespace store
