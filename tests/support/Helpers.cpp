#include "tests/support/Helpers.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>

namespace testsupport {

QStringList L(std::initializer_list<const char*> items) {
    QStringList l;
    for (const char* s : items) l << QString::fromUtf8(s);
    return l;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray fileHash(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

OtherProcess::OtherProcess(const QString& path) {
    int ready[2];
    if (::pipe(ready) != 0 || ::pipe(release_) != 0) return;
    const QByteArray native = QFile::encodeName(path);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(release_[1]);
        const int fd = ::open(native.constData(), O_RDONLY);
        ::flock(fd, LOCK_SH);
        char c = 'x';
        (void)!::write(ready[1], &c, 1);
        (void)!::read(release_[0], &c, 1);  // until the parent closes its end
        ::_exit(0);
    }
    char c;
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ::close(release_[0]);
}

OtherProcess::~OtherProcess() {
    ::close(release_[1]);
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
}

}  // namespace testsupport
