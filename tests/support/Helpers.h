#pragma once
// Small helpers many suites share: lists from literals, file contents and
// hashes, and another process holding a file open.

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <initializer_list>

namespace testsupport {

// A list from UTF-8 literals: L({"甲", "乙"}).
QStringList L(std::initializer_list<const char*> items);

// The bytes of a file; empty when it cannot be read.
QByteArray readAll(const QString& path);
// SHA-256 of a file's bytes (empty when it cannot be read).
QByteArray fileHash(const QString& path);

// Another process holding the file open with a shared lock (as the
// program's connection holds a library) until the object goes.
class OtherProcess {
  public:
    explicit OtherProcess(const QString& path);
    ~OtherProcess();
    OtherProcess(const OtherProcess&) = delete;
    OtherProcess& operator=(const OtherProcess&) = delete;

  private:
    pid_t pid_ = -1;
    int release_[2] = {-1, -1};
};

}  // namespace testsupport
