#pragma once
// Title and content search of the main workbook.

#include <QString>

#include "store/ArticleStore.h"

namespace store {

enum SearchMode { SearchTitle = 0, SearchContent = 1 };

// "SELECT * FROM datum WHERE [theme] LIKE :theme ORDER  By theme" and the
// content variant.
QString searchSql(int mode);
// Reopens the main record set with the search query and "%" + keyword + "%".
void openSearch(ArticleStore& s, int mode, const QString& keyword);

}  // namespace store
