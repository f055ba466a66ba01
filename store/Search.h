#pragma once
// Title and content search of the main workbook.

#include <QString>

#include "store/ArticleStore.h"

namespace store {

// In the order of the search dialog's list.
enum class SearchMode { Title, Content };

// "SELECT * FROM datum WHERE [theme] LIKE :theme ORDER  By theme" and the
// content variant.
QString searchSql(SearchMode mode);
// Reopens the main record set with the search query and "%" + keyword + "%".
void openSearch(ArticleStore& s, SearchMode mode, const QString& keyword);

}  // namespace store
