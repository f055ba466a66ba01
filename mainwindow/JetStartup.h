#pragma once
// Start-up conversion of a library in the Access/Jet format: when the
// database file is a Jet file, the program asks before anything else, then
// converts it in place with a progress bar (the original kept beside it).

#include <QString>

// Returns true when start-up goes on (the file is not a Jet file, or it was
// converted); false when the program must end (the user declined, or the
// conversion failed; a message has said why and the file is untouched).
bool convertJetAtStartup(const QString& dbPath = QStringLiteral("data/YunjanDB.mdb"));
