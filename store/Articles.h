#pragma once
// Commands on single articles of the current workbook. row is the article's
// position in the main record set (item row of the title list). Each command
// runs in one transaction: on failure (StoreError) nothing has changed.

#include <QByteArray>
#include <QString>

#include "store/ArticleStore.h"

namespace store {

// A command's change is committed, but the main record set could not be
// reopened afterwards: the change stands, only the title list is out of date.
class ListReopenError : public StoreError {
  public:
    using StoreError::StoreError;
};

// "全部" is never stored: it becomes "未分类".
QString storedCategory(const QString& category);

// Renumbers the current table (ordered), appends the article with
// seqno = row count + 1. body: RTF bytes when isFormat, else UTF-8 text.
void addArticle(ArticleStore& s, const QString& group, const QString& theme, bool isFormat,
                const QByteArray& body);
// Rewrites group, theme, isformat and content of the main record set's row.
void modifyArticle(ArticleStore& s, int row, const QString& group, const QString& theme,
                   bool isFormat, const QByteArray& body);
// Deletes the row, renumbers the current table (ordered), reopens the main
// record set (ListReopenError when only that reopening fails).
void deleteArticle(ArticleStore& s, int row);
// Copies the row to targetTable with SeqNo 999999999, deletes it here,
// renumbers the current and the target table (ordered), reopens the main
// record set (ListReopenError when only that reopening fails).
void moveArticle(ArticleStore& s, int row, const QString& targetTable);
// Changes category and title of the row.
void changeCategoryAndTitle(ArticleStore& s, int row, const QString& group, const QString& theme);
// Changes the title of the row.
void renameTitle(ArticleStore& s, int row, const QString& theme);

}  // namespace store
