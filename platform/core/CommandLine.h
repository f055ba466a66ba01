#pragma once
// The options every command-line tool of the program shares. --help prints
// the help on stdout and ends with 0, --version prints the tool's name and
// version. Any other word beginning with '-' (except "-" alone) is refused,
// as is a wrong number of operands: the usage goes to stderr and the tool
// ends with 2. "--" ends the options, so a later word beginning with '-' is a
// file or folder name.

#include <QString>
#include <QStringList>

namespace platform {

struct ToolUsage {
    const char* tool;     // the program's name
    QString synopsis;     // the words after the name, e.g. "[选项] [文件夹]"
    QString description;  // shown by --help below the usage line
    int minOperands = 0;
    int maxOperands = 0;
};

struct ToolArguments {
    QStringList operands;
    int exitCode = -1;  // 0 or more: the tool ends now with this code
};

// ARGS are the words after the program's name.
ToolArguments parseToolArguments(const QStringList& args, const ToolUsage& usage);

// The same, from main's arguments.
ToolArguments parseToolArguments(int argc, char** argv, const ToolUsage& usage);

}  // namespace platform
