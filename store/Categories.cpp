// Category lists and renaming (merging) of a category inside one workbook.

#include "store/Categories.h"

#include <QSet>

#include "store/ArticleStore.h"
#include "store/Fields.h"

namespace store {

QStringList readCategories(RecordSet& rs, const QString& table) {
    rs.close();
    rs.setSql(QStringLiteral("select *  from ") + table);
    rs.open();
    QStringList list;
    QSet<QString> seen;  // case-folded entries of list
    rs.first();
    if (rs.recordCount() > 0) {
        while (!rs.eof()) {
            const QString g = rs.asString(store::kFieldGroup);
            if (!seen.contains(g.toCaseFolded())) {
                seen.insert(g.toCaseFolded());
                list << g;
            }
            rs.next();
        }
    }
    rs.close();
    return list;
}

void renameCategory(Connection& c, const QString& table, const QString& oldName,
                    const QString& newName) {
    // One statement: every article of the category changes, or none does.
    c.execute(QStringLiteral("update ") + table + QStringLiteral(" set [group]= :newName where ") +
                  categoryCondition(QStringLiteral("oldName")),
              {{QStringLiteral("newName"), newName}, {QStringLiteral("oldName"), oldName}});
}

}  // namespace store
