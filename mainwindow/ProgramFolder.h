#pragma once
// Entering the folder the program works in, before the main window opens.

#include <QString>

#include "platform/core/ProgramPaths.h"

// For an installed program: creates the folders of the settings file and of
// the library, makes the working folder current and, on the first start,
// creates the library with the welcome articles there (as yunjan-initdb
// does). A portable program stays where it was started. Returns false with a
// message in *error when a folder or the library cannot be made; the main
// window then reports the missing library as usual.
bool enterProgramFolder(const platform::ProgramPaths& paths, QString* error);
