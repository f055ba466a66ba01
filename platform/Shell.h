#pragma once
// Opening files and links with the desktop's default handler and starting
// sibling programs. Tests install a hook to record requests instead.

#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

struct ShellRequest {
    QString target;    // file, program or URL
    QStringList args;  // arguments for a program
    QString workDir;   // empty: the current directory
};

// "open": a URL or document with its default handler, or a program started
// detached (no waiting). Returns false when nothing could be started.
bool shellOpen(const ShellRequest& req);

// Replaces the real shell (tests); an empty function restores it.
void setShellHook(std::function<bool(const ShellRequest&)> hook);

}  // namespace platform
