#pragma once
// Appending the articles of a workbook of another database (the work of the
// sibling program AddDB): the copies come after the target workbook's own
// articles in custom order, optionally skipping titles the target already
// has. All or nothing: one transaction on the target.

#include <QString>
#include <functional>

#include "store/ArticleStore.h"

namespace store {

struct AppendResult {
    int appended = 0;
    int skipped = 0;
};

// Called after every source row with the rows done and the source's row
// count; an exception thrown here aborts the append (nothing is kept).
using AppendProgress = std::function<void(int done, int total)>;

// Copies every article of sourceTable (in its custom order) into targetTable
// of the target store: group, title, format flag and body byte for byte,
// order number 999999999, then renumbers the target table (ordered). With
// skipExisting, a title already in the target (copies of this run included)
// is not copied again. Throws StoreError; the target is then unchanged.
AppendResult appendArticles(Connection& source, const QString& sourceTable, ArticleStore& target,
                            const QString& targetTable, bool skipExisting,
                            const AppendProgress& progress = {});

}  // namespace store
