#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {
const QByteArray kReopen = "reopen\n";
}

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent)
    , _key(key)
    , _lock(QDir::temp().filePath(key + QStringLiteral(".lock"))) {
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultKey() {
    // One copy per user and home: a demo home runs beside the user's own.
    const QByteArray home = QDir::homePath().toUtf8();
    const QString digest =
        QString::fromLatin1(QCryptographicHash::hash(home, QCryptographicHash::Sha1).toHex().left(12));
    return QStringLiteral("QVMediaBrowserApp-%1-%2").arg(getuid()).arg(digest);
}

bool SingleInstance::askRunningCopy(bool askToReopen) {
    QLocalSocket socket;
    socket.connectToServer(_key);
    if (!socket.waitForConnected(1000)) {
        return false;
    }
    if (askToReopen) {
        socket.write(kReopen);
        socket.waitForBytesWritten(1000);
    }
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::claim() {
    return claim(true);
}

bool SingleInstance::claimQuietly() {
    return claim(false);
}

bool SingleInstance::claim(bool askToReopen) {
    // The lock makes the check and the start of listening one step, so two
    // copies started together cannot both become the one copy.
    _lock.setStaleLockTime(0);
    if (!_lock.tryLock(5000)) {
        return !askRunningCopy(askToReopen);
    }
    if (askRunningCopy(askToReopen)) {
        _lock.unlock();
        return false;
    }
    QLocalServer::removeServer(_key); // a socket left behind by a crashed copy
    _server = std::make_unique<QLocalServer>();
    _server->setSocketOptions(QLocalServer::UserAccessOption);
    if (_server->listen(_key)) {
        connect(_server.get(), &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = _server->nextPendingConnection()) {
                connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                    if (socket->readAll().contains(kReopen.trimmed())) {
                        Q_EMIT reopenRequested();
                    }
                });
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    _lock.unlock();
    return true;
}
