#pragma once
// The installation's database: data/YunjanDB.mdb below the program folder,
// encrypted with the program's password, holding the table `datum` with a
// few welcome articles (a short user guide). The program itself never creates
// the file; the installer runs yunjan-initdb, which calls this.

#include <QString>

namespace store {

// Creates DIR/data/YunjanDB.mdb when it is missing; an existing file is left
// untouched (returns true). On failure returns false with a message in *error
// and leaves no file behind.
bool createInstallationDatabase(const QString& dir, QString* error);

// Path of the database below a program folder.
QString installationDatabasePath(const QString& dir);

}  // namespace store
