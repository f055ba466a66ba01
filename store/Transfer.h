#pragma once
// Bulk transfer of a workbook's articles (all, or one category) to another
// workbook, in one of four modes, followed by the order-number fix-up and the
// renumbering of both tables. All or nothing: one transaction.

#include <QString>
#include <functional>
#include <optional>

#include "store/ArticleStore.h"

namespace store {

// In the order of the transfer page's list.
enum class TransferMode {
    All,                 // "全部添加，不删除原文章"
    NoDuplicates,        // "无重复添加不删除原文章"
    AllDelete,           // "全部添加，删除原文章"
    NoDuplicatesDelete,  // "无重复添加删除原文章"
};

// Copies per mode, gives copied rows 999999999, renumbers target then source
// (both ordered). No category = whole workbook; a category, "" included,
// selects the rows of that category ("" also the rows whose category is null). Modes 1 and 3 skip a
// row whose title (whole value, case-sensitive) is in the target, copies of the same run included.
// afterEachRow runs after every source row of modes 1 and 3 (the GUI processes events there);
// progressStep runs four times: before the copy, the fix-up, the target's and the source's
// renumbering. Throws StoreError and leaves both tables unchanged on failure.
void transferArticles(ArticleStore& s, const QString& sourceTable, const QString& targetTable,
                      const std::optional<QString>& category, TransferMode mode,
                      const std::function<void()>& afterEachRow = {},
                      const std::function<void()>& progressStep = {});

}  // namespace store
