#include "platform/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace platform {
namespace {
std::function<bool(const ShellRequest&)>& hook() {
    static std::function<bool(const ShellRequest&)> h;
    return h;
}
}  // namespace

void setShellHook(std::function<bool(const ShellRequest&)> h) {
    hook() = std::move(h);
}

bool shellOpen(const ShellRequest& req) {
    if (hook()) return hook()(req);
    const QString dir = req.workDir.isEmpty() ? QDir::currentPath() : req.workDir;
    const QUrl url(req.target);
    if (!url.scheme().isEmpty() && url.scheme().size() > 1 && !QFileInfo(req.target).exists())
        return QDesktopServices::openUrl(url);
    const QFileInfo fi(QDir(dir), req.target);
    if (fi.exists() && fi.isExecutable() && fi.isFile())
        return QProcess::startDetached(fi.absoluteFilePath(), req.args, dir);
    if (fi.exists()) return QDesktopServices::openUrl(QUrl::fromLocalFile(fi.absoluteFilePath()));
    // Not a file here: maybe a program on the PATH.
    return QProcess::startDetached(req.target, req.args, dir);
}

}  // namespace platform
