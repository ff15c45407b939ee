#include "platform/system/DistributedNotificationCenter.h"

#include "platform/system/SessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

#include <vector>

namespace {

const QString kPath = QStringLiteral("/org/qvmediabrowser/Broadcast");
const QString kInterface = QStringLiteral("org.qvmediabrowser.Broadcast");
const QString kSignal = QStringLiteral("Notification");

QString newConnectionName() {
    static int count = 0;
    return QStringLiteral("qvmediabrowser-broadcast-%1").arg(++count);
}

} // namespace

class BroadcastListener : public QObject {
    Q_OBJECT
public:
    explicit BroadcastListener(std::function<void(const QString&)> deliver)
        : _deliver(std::move(deliver)) {}

public Q_SLOTS:
    void onNotification(const QString& name) { _deliver(name); }

private:
    std::function<void(const QString&)> _deliver;
};

class DistributedNotificationCenter::Private {
public:
    struct Registration {
        const void* observer;
        QString name;
        std::function<void()> callback;
        std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    };

    const QString connectionName = newConnectionName();
    bool triedToConnect = false;
    bool connected = false;
    std::unique_ptr<BroadcastListener> listener;
    std::vector<Registration> registrations;

    QDBusConnection bus() const { return QDBusConnection(connectionName); }

    void ensureConnected() {
        if (triedToConnect) {
            return;
        }
        triedToConnect = true;
        if (!SessionBus::addressKnown()) {
            return;
        }
        QDBusConnection connection =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
        if (!connection.isConnected()) {
            return;
        }
        listener = std::make_unique<BroadcastListener>([this](const QString& name) { deliver(name); });
        connected = connection.connect(QString(), kPath, kInterface, kSignal, listener.get(),
                                       SLOT(onNotification(QString)));
    }

    void deliver(const QString& name) {
        std::vector<std::pair<std::shared_ptr<bool>, std::function<void()>>> targets;
        for (const auto& r : registrations) {
            if (r.name == name) {
                targets.emplace_back(r.alive, r.callback);
            }
        }
        for (const auto& [alive, callback] : targets) {
            if (*alive) {
                callback();
            }
        }
    }
};

DistributedNotificationCenter& DistributedNotificationCenter::defaultCenter() {
    static DistributedNotificationCenter center;
    return center;
}

DistributedNotificationCenter::DistributedNotificationCenter()
    : d(std::make_unique<Private>()) {
}

DistributedNotificationCenter::~DistributedNotificationCenter() {
    if (d->triedToConnect) {
        QDBusConnection::disconnectFromBus(d->connectionName);
    }
}

void DistributedNotificationCenter::addObserver(const void* observer, const QString& name,
                                                std::function<void()> callback) {
    d->ensureConnected();
    d->registrations.push_back({observer, name, std::move(callback)});
}

void DistributedNotificationCenter::removeObserver(const void* observer, const QString& name) {
    std::erase_if(d->registrations, [&](const Private::Registration& r) {
        const bool match = r.observer == observer && (name.isEmpty() || r.name == name);
        if (match) {
            *r.alive = false;
        }
        return match;
    });
}

void DistributedNotificationCenter::postNotification(const QString& name) {
    d->ensureConnected();
    if (!d->connected) {
        return;
    }
    QDBusMessage message = QDBusMessage::createSignal(kPath, kInterface, kSignal);
    message << name;
    d->bus().send(message);
}

bool DistributedNotificationCenter::isConnected() {
    d->ensureConnected();
    return d->connected;
}

#include "DistributedNotificationCenter.moc"
