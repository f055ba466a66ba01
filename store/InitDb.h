#pragma once
// The installation's database: data/YunjanDB.mdb below the program folder,
// encrypted with the program's password, holding the table `datum` with a
// few welcome articles (a short user guide). The program itself never creates
// the file; the installer runs yunjan-initdb, which calls this.

#include <QString>

#include "base/Result.h"

namespace store {

// Creates DIR/data/YunjanDB.mdb when it is missing; an existing file is left
// untouched (success). A failure says why and leaves no file behind.
base::Result<void> createInstallationDatabase(const QString& dir);

// Path of the database below a program folder.
QString installationDatabasePath(const QString& dir);

}  // namespace store
