// Title and content search of the main workbook: the main record set is
// reopened with the search query so the title list can show the hits.
#include "store/Search.h"

#include "store/Fields.h"

namespace store {

QString searchSql(SearchMode mode) {
    // Rich-text bodies are stored as bytes, which LIKE never matches: the
    // body is compared as text, so its markup matches literally.
    if (mode == SearchMode::Content)
        return QStringLiteral(
            "SELECT * FROM datum WHERE CAST([content] AS TEXT) LIKE :content ORDER  By content");
    return QStringLiteral("SELECT * FROM datum WHERE [theme] LIKE :theme ORDER  By theme");
}

void openSearch(ArticleStore& s, SearchMode mode, const QString& keyword) {
    RecordSet& q = s.ADOQuery1();
    q.close();
    q.clearSql();
    q.clearParams();
    q.setSql(searchSql(mode));
    // The keyword goes in as typed: LIKE's own pattern characters keep their meaning.
    const QString pattern = QLatin1Char('%') + keyword + QLatin1Char('%');
    q.setParam(mode == SearchMode::Content ? store::kFieldContent : store::kFieldTheme, pattern);
    q.open();
    q.first();
}

}  // namespace store
