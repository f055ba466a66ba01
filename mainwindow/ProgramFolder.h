#pragma once
// Entering the folder the program works in, before the main window opens.

#include <QString>

#include "base/Result.h"
#include "platform/core/ProgramPaths.h"

// For an installed program: creates the folders of the settings file and of
// the library, makes the working folder current and, on the first start,
// creates the library with the welcome articles there (as yunjan-initdb
// does). A portable program stays where it was started. Fails with a message
// when a folder or the library cannot be made; the main window then reports
// the missing library as usual.
base::Result<void> enterProgramFolder(const platform::ProgramPaths& paths);
