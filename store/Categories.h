#pragma once
// Category lists and renaming (merging) of a category inside one workbook.

#include <QString>
#include <QStringList>

#include "store/Engine.h"

namespace store {

// The distinct categories of a table in order of first occurrence, duplicates
// that differ only in Latin letter case removed (the first one kept), null
// read as "". Uses rs (closed afterwards) with "select *  from " + table.
QStringList readCategories(RecordSet& rs, const QString& table);

// Every article of oldName gets newName (merging when newName exists); the
// empty oldName is the category of the rows whose category is empty or null.
void renameCategory(Connection& c, const QString& table, const QString& oldName,
                    const QString& newName);

}  // namespace store
