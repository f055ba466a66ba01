#pragma once
// Where the program keeps the user's settings and library.
//
// A program folder the user can write (the dist/ folder of run.sh, or any
// copied folder) is the portable case: the settings file sits beside the
// program and the program works in the directory it was started from, with
// the library at data/YunjanDB.mdb below it.
//
// An installed program (its folder cannot be written, or it is the folder the
// build installs programs to) keeps the settings in
// $XDG_CONFIG_HOME/yunjan/yunjan.ini (default ~/.config/yunjan/) and works in
// $XDG_DATA_HOME/yunjan/ (default ~/.local/share/yunjan/).
//
// Every place that makes one of these paths asks programPaths().

#include <QProcessEnvironment>
#include <QString>

namespace platform {

struct ProgramPaths {
    bool installed = false;
    QString settingsFile;  // the INI file
    QString workDir;       // the working directory to enter; empty: stay where started
    QString documentsDir;  // where the open and save dialogs start
};

// The rule for a program file, whether it runs as installed, and the
// environment it reads (XDG_CONFIG_HOME, XDG_DATA_HOME, HOME).
ProgramPaths programPathsFor(const QString& programFile, bool installed,
                             const QProcessEnvironment& env);

// Whether the program at that path runs as an installed program: its folder
// cannot be written, or it is the folder programs are installed to.
bool isInstalledProgram(const QString& programFile);

// The folder this build installs its programs to (absolute).
QString installBinDir();

// The paths of this process.
ProgramPaths programPaths();

// The paths of the main program (yunjan) in the folder of programFile, for
// the programs installed beside it: AddDB shares its settings file.
ProgramPaths mainProgramPathsFor(const QString& programFile, bool installed,
                                 const QProcessEnvironment& env);
ProgramPaths mainProgramPaths();

}  // namespace platform
