// Commands on single articles: add, modify, delete, move, recategorise and
// rename. Each runs in one transaction; on failure the tables are as before
// and the main record set is reopened so the title list still matches it.
#include "store/Articles.h"

#include <functional>

namespace store {

namespace {

const QString kAll = QStringLiteral("全部");
const QString kUncategorised = QStringLiteral("未分类");

// Positions the main record set on row, refusing rows that do not exist (the
// placeholder line of an empty search, a stale index): editing there would
// start a new row instead of changing an article.
void positionMain(ArticleStore& s, int row) {
    RecordSet& q = s.ADOQuery1();
    if (!q.isActive() || row < 0 || row >= q.recordCount())
        throw StoreError("no article at this position");
    s.moveMainTo(row);
    if (q.eof()) throw StoreError("no article at this position");
}

// Runs body in one transaction. On failure the transaction is rolled back and
// the main record set reopened with its unchanged text, so its rows are those
// of the unchanged tables again; then the error goes on to the caller.
void guarded(ArticleStore& s, const std::function<void()>& body) {
    try {
        Transaction t(s.connection());
        body();
        t.commit();
    } catch (const StoreError&) {
        try {
            s.reopenMain();
        } catch (const StoreError&) {
            // The caller reports the original error.
        }
        throw;
    }
}

// Reopens the main record set after a committed change.
void reopenAfterCommit(ArticleStore& s) {
    try {
        s.reopenMain();
    } catch (const StoreError& e) {
        throw ListReopenError(e.message(), e.code(), e.engineCode());
    }
}

void setContent(RecordSet& q, bool isFormat, const QByteArray& body) {
    if (isFormat)
        q.writeBlob(QStringLiteral("content"), body);
    else
        q.setValue(QStringLiteral("content"), QString::fromUtf8(body));
}

}  // namespace

QString storedCategory(const QString& category) {
    return category == kAll ? kUncategorised : category;
}

void addArticle(ArticleStore& s, const QString& group, const QString& theme, bool isFormat,
                const QByteArray& body) {
    guarded(s, [&] {
        const QString table = s.currentTable();
        s.RenumberSeqNo(table, true);
        const int n = s.countRows(table);
        RecordSet& q = s.ADOQuery2();
        q.close();
        q.setSql(QStringLiteral("select * from ") + table + QStringLiteral(" where 1=0"));
        q.open();
        q.append();
        q.setValue(QStringLiteral("group"), storedCategory(group));
        q.setValue(QStringLiteral("theme"), theme);
        q.setValue(QStringLiteral("isformat"), isFormat);
        setContent(q, isFormat, body);
        q.setValue(QStringLiteral("seqno"), n + 1);
        q.post();
        q.close();
    });
}

void modifyArticle(ArticleStore& s, int row, const QString& group, const QString& theme,
                   bool isFormat, const QByteArray& body) {
    guarded(s, [&] {
        positionMain(s, row);
        RecordSet& q = s.ADOQuery1();
        q.edit();
        q.setValue(QStringLiteral("group"), storedCategory(group));
        q.setValue(QStringLiteral("theme"), theme);
        q.setValue(QStringLiteral("isformat"), isFormat);
        setContent(q, isFormat, body);
        q.post();
    });
}

void deleteArticle(ArticleStore& s, int row) {
    guarded(s, [&] {
        positionMain(s, row);
        s.ADOQuery1().deleteRow();
        s.RenumberSeqNo(s.currentTable(), true);
    });
    reopenAfterCommit(s);
}

void moveArticle(ArticleStore& s, int row, const QString& targetTable) {
    if (workbookPosition(targetTable) < 0) throw StoreError("unknown workbook");
    guarded(s, [&] {
        positionMain(s, row);
        RecordSet& src = s.ADOQuery1();
        RecordSet& dst = s.ADOQuery2();
        dst.close();
        dst.setSql(QStringLiteral("select * from ") + targetTable + QStringLiteral(" where 1=0"));
        dst.open();
        dst.first();
        dst.append();
        dst.setValue(QStringLiteral("group"), src.value(QStringLiteral("group")));
        dst.setValue(QStringLiteral("theme"), src.value(QStringLiteral("theme")));
        const bool isFormat = src.asBoolean(QStringLiteral("isformat"));
        dst.setValue(QStringLiteral("isformat"), src.value(QStringLiteral("isformat")));
        if (isFormat)
            dst.writeBlob(QStringLiteral("content"), src.readBlob(QStringLiteral("content")));
        else
            dst.setValue(QStringLiteral("content"), src.value(QStringLiteral("content")));
        dst.setValue(QStringLiteral("seqno"), kSeqNoLast);
        dst.post();
        dst.close();
        src.deleteRow();
        s.RenumberSeqNo(s.currentTable(), true);
        s.RenumberSeqNo(targetTable, true);
    });
    reopenAfterCommit(s);
}

void changeCategoryAndTitle(ArticleStore& s, int row, const QString& group, const QString& theme) {
    guarded(s, [&] {
        positionMain(s, row);
        RecordSet& q = s.ADOQuery1();
        q.edit();
        q.setValue(QStringLiteral("group"), storedCategory(group));
        q.setValue(QStringLiteral("theme"), theme);
        q.post();
    });
}

void renameTitle(ArticleStore& s, int row, const QString& theme) {
    guarded(s, [&] {
        positionMain(s, row);
        RecordSet& q = s.ADOQuery1();
        q.edit();
        q.setValue(QStringLiteral("theme"), theme);
        q.post();
    });
}

}  // namespace store
