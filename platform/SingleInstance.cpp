#include "platform/SingleInstance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>

namespace platform {

namespace {

QString shortHash(const QString& text) {
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

// The user's desktop session: its Wayland socket and X display (":0.1" is
// screen 1 of display ":0", the same desktop) and the session's runtime folder.
QString desktopSession() {
    static const QRegularExpression screen(QStringLiteral("\\.[0-9]+$"));
    QString display = qEnvironmentVariable("DISPLAY");
    display.remove(screen);
    return qEnvironmentVariable("WAYLAND_DISPLAY") + QLatin1Char('|') + display + QLatin1Char('|') +
           qEnvironmentVariable("XDG_RUNTIME_DIR");
}

}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    // Socket names must be plain ASCII; the caption is Chinese. One copy runs
    // per user and desktop session: a start on another display is its own.
    name_ = QStringLiteral("yunjan-") + shortHash(key) + QLatin1Char('-') +
            qEnvironmentVariable("USER", QStringLiteral("user")) + QLatin1Char('-') +
            QString::number(::getuid()) + QLatin1Char('-') + shortHash(desktopSession());
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
