#pragma once
// Full-text index over every article of the four workbooks: titles and the
// text a reader sees in the bodies (RTF markup never counts).
//
// The index is an FTS4 table in the article database itself. Its tokenizer
// makes every Chinese (or other unspaced script) character one token and
// every run of Latin letters and digits one lower-case token; full-width
// forms count as their half-width ones. Positions step over separators, so a
// query word (a run of characters without blanks or punctuation) is a phrase
// that matches exactly that run: any substring of a Chinese text is found,
// and a Latin word matches the words it starts.
//
// Triggers on the article tables and their body tables keep the index
// current inside the transaction of every write, whichever connection or
// process writes, as long as the connection is a store connection: the
// tokenizer and the text function the triggers call are registered on every
// handle the store opens. A database made without the index gets it built on
// first use, in steps (each its own transaction) that can stop at any time
// and go on later; writes made meanwhile are indexed by the triggers.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct sqlite3;

namespace store {

class Connection;

// Registers the tokenizer "yunjan" and the function yunjan_plaintext(isformat,
// content) on an engine handle.
void registerFullText(sqlite3* db);

// The text the index holds for a body: RTF through the text pass, anything
// else as UTF-8 text.
QString articlePlainText(bool isFormat, const QByteArray& content);

enum class FullTextState {
    Missing,  // no index in the database
    Partial,  // index present, some articles not yet read in
    Ready,
};
FullTextState fullTextState(Connection& c);

// Creates the (empty) index, its triggers and the build progress; nothing
// when the index exists.
void createFullTextIndex(Connection& c);
// Removes index, triggers and progress.
void dropFullTextIndex(Connection& c);
// Drops and creates again: the next build reads every article afresh.
void resetFullTextIndex(Connection& c);

struct FullTextProgress {
    qint64 done = 0;   // articles read in
    qint64 total = 0;  // articles in all workbooks
    bool finished = false;
};
// Reads in up to maxArticles more articles in one transaction (creating the
// index first when it is missing) and tells how far the build is.
FullTextProgress buildFullTextStep(Connection& c, int maxArticles);
FullTextProgress fullTextProgress(Connection& c);

// Called when an article table is created: gives it its triggers when the
// index exists. Tables other than the four workbooks are left alone.
void attachFullTextTable(sqlite3* db, const QString& table);

// A query: its words (runs of characters between blanks and punctuation),
// folded (lower case, half-width).
struct FullTextQuery {
    QStringList words;
    bool isEmpty() const { return words.isEmpty(); }
};
FullTextQuery parseFullTextQuery(const QString& text);
// The FTS4 MATCH expression of a query ("" for an empty one).
QString fullTextMatchExpression(const FullTextQuery& q);
// First place in text where a query word occurs, as (start, length) in
// text's UTF-16 units; (-1, 0) when none does.
QPair<int, int> findFirstHit(const QString& text, const FullTextQuery& q);

struct FullTextHit {
    int workbook = 0;  // position 0..3
    qint64 id = 0;
    QString group;
    QString title;
    QString snippet;    // body text around the first hit, on one line
    int hitStart = -1;  // the hit within snippet (-1: the hit is in the title)
    int hitLength = 0;
};

struct FullTextResult {
    int total = 0;            // articles that match
    QList<FullTextHit> hits;  // the first `limit` of them, by workbook and id
};

// Searches all workbooks (workbook < 0) or one. The index must be Ready or
// Partial (a partial index finds only what it holds).
FullTextResult searchFullText(Connection& c, const QString& query, int workbook = -1,
                              int limit = 100);

// Folding used by the tokenizer and the query: full-width ASCII and the
// ideographic space become their half-width forms, letters lower case.
QString foldForSearch(const QString& text);

}  // namespace store
