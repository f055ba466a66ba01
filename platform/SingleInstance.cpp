#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace platform {

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    // Socket names must be plain ASCII; the caption is Chinese.
    const QByteArray h =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    name_ = QStringLiteral("yunjan-") + QString::fromLatin1(h) + QLatin1Char('-') +
            qEnvironmentVariable("USER", QStringLiteral("user"));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::notifyRunning() {
    QLocalSocket s;
    s.connectToServer(name_);
    if (!s.waitForConnected(500)) return false;
    s.write("restore\n");
    s.waitForBytesWritten(500);
    s.waitForReadyRead(500);
    s.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // A stale socket from a crashed copy: nobody answered, so take it over.
        QLocalServer::removeServer(name_);
        if (!server_->listen(name_)) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* c = server_->nextPendingConnection()) {
            connect(c, &QLocalSocket::readyRead, this, [this, c] {
                c->readAll();
                c->write("ok\n");
                c->flush();
                emit restoreRequested();
            });
            connect(c, &QLocalSocket::disconnected, c, &QObject::deleteLater);
        }
    });
    return true;
}

}  // namespace platform
