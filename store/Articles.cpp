// Commands on single articles: add, modify, delete, move, recategorise and
// rename. Each runs in one transaction; on failure the tables are as before
// and the main record set is reopened so the title list still matches it.
#include "store/Articles.h"

#include <functional>

#include "store/Fields.h"

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
        q.writeBlob(store::kFieldContent, body);
    else
        q.setValue(store::kFieldContent, QString::fromUtf8(body));
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
        q.setValue(store::kFieldGroup, storedCategory(group));
        q.setValue(store::kFieldTheme, theme);
        q.setValue(store::kFieldIsFormat, isFormat);
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
        q.setValue(store::kFieldGroup, storedCategory(group));
        q.setValue(store::kFieldTheme, theme);
        q.setValue(store::kFieldIsFormat, isFormat);
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
        dst.setValue(store::kFieldGroup, src.value(store::kFieldGroup));
        dst.setValue(store::kFieldTheme, src.value(store::kFieldTheme));
        const bool isFormat = src.asBoolean(store::kFieldIsFormat);
        dst.setValue(store::kFieldIsFormat, src.value(store::kFieldIsFormat));
        if (isFormat)
            dst.writeBlob(store::kFieldContent, src.readBlob(store::kFieldContent));
        else
            dst.setValue(store::kFieldContent, src.value(store::kFieldContent));
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
        q.setValue(store::kFieldGroup, storedCategory(group));
        q.setValue(store::kFieldTheme, theme);
        q.post();
    });
}

void renameTitle(ArticleStore& s, int row, const QString& theme) {
    guarded(s, [&] {
        positionMain(s, row);
        RecordSet& q = s.ADOQuery1();
        q.edit();
        q.setValue(store::kFieldTheme, theme);
        q.post();
    });
}

}  // namespace store
