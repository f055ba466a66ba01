#pragma once
// A small SQL tokenizer and the rewrites that turn the program's Access-style
// statements into SQLite's dialect. Everything here works on tokens, so text
// inside quotes is never touched by a rewrite.

#include <QList>
#include <QString>
#include <QStringList>

namespace store::sqltext {

struct Token {
    enum Kind { Space, Comment, Word, Quoted, String, Number, Param, Punct };
    Kind kind = Punct;
    QString text;  // as it goes back into the SQL text

    bool significant() const { return kind != Space && kind != Comment; }
    // Keyword test (case-insensitive, bare words only).
    bool is(const char* keyword) const;
    bool isPunct(QChar c) const { return kind == Punct && text.size() == 1 && text[0] == c; }
    // A name: a bare word or a [bracketed] / `quoted` identifier.
    bool isName() const { return kind == Word || kind == Quoted; }
    // The identifier without its brackets.
    QString name() const;
};

using Tokens = QList<Token>;

// Splits SQL text into tokens. Double-quoted text is a string literal in the
// program's dialect: it comes back as a single-quoted SQLite literal.
Tokens tokenize(const QString& sql);
QString join(const Tokens& tokens);
QString join(const Tokens& tokens, int from, int to);  // [from, to)

// Index of the next / previous significant token, or -1.
int nextSignificant(const Tokens& t, int from);
int prevSignificant(const Tokens& t, int from);
// Index of the parenthesis closing the one at `open`, or -1.
int matchingParen(const Tokens& t, int open);

// Brackets a name for SQLite: [name].
QString bracket(const QString& name);

// The dialect rewrites that need no knowledge of the schema:
//  - "delete * from" -> "delete from"
//  - ISNULL(x) -> ((x) IS NULL)
//  - double-quoted literals -> single-quoted (done by tokenize)
//  - a bare word "group" that is not GROUP BY -> [group]
//  - CREATE TABLE / ALTER TABLE ... ADD: text columns get the program's
//    collation (case-insensitive, pinyin order) and char(n) a length check.
Tokens toSqlite(const Tokens& tokens);
QString toSqlite(const QString& sql);

// Name of the collation that text columns carry.
extern const char* const kTextCollation;

// The shape "SELECT <list> FROM <table> [rest]" with one plain table and a list
// of plain column names or "*". Filled by parseSimpleSelect.
struct SimpleSelect {
    QStringList columns;  // names as written, "*" for all
    QString table;        // without brackets
    int tableToken = -1;  // index of the table's token
    int restToken = -1;   // first token after the table (may be == size)
};
bool parseSimpleSelect(const Tokens& t, SimpleSelect* out);

}  // namespace store::sqltext
