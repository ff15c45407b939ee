#include "platform/system/FileTransferPortal.h"

#include "platform/system/Path.h"
#include "platform/system/SessionBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QMimeData>
#include <QUrl>

#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

const char FileTransferPortal::KeyType[] = "application/vnd.portal.filetransfer";

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Documents");
const QString kPath = QStringLiteral("/org/freedesktop/portal/documents");
const QString kInterface = QStringLiteral("org.freedesktop.portal.FileTransfer");
// The name the first toolkits to implement transfers used; targets built
// with them look for it.
const char kOlderKeyType[] = "application/vnd.portal.files";
// Files handed over per call, as the toolkits do: a message carries a
// bounded number of descriptors.
constexpr qsizetype kFilesPerCall = 16;
// A drag waits for the portal at most this long; the first call may start it.
constexpr int kTimeoutMs = 3000;

// A descriptor that names the file without opening its contents (the portal
// asks for no more), closed with the object.
class PathDescriptor {
public:
    explicit PathDescriptor(const QString& path)
        : _fd(::open(Path::toNative(path).constData(), O_PATH | O_CLOEXEC)) {}
    ~PathDescriptor() {
        if (_fd >= 0) {
            ::close(_fd);
        }
    }
    PathDescriptor(const PathDescriptor&) = delete;
    PathDescriptor& operator=(const PathDescriptor&) = delete;
    int fd() const { return _fd; }

private:
    int _fd;
};

} // namespace

FileTransferPortal& FileTransferPortal::sessionPortal() {
    static FileTransferPortal portal(
        SessionBus::addressKnown() ? QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                                   QStringLiteral("qvmediabrowser-transfers"))
                                   : QDBusConnection(QStringLiteral("qvmediabrowser-no-bus")));
    return portal;
}

FileTransferPortal::FileTransferPortal(const QDBusConnection& bus)
    : _bus(bus) {
    qDBusRegisterMetaType<QList<QDBusUnixFileDescriptor>>();
}

bool FileTransferPortal::available() {
    if (_state == State::Unknown) {
        // On the bus: running, or started by the bus when first called.
        QDBusConnectionInterface* names = _bus.isConnected() ? _bus.interface() : nullptr;
        bool present = names != nullptr && (names->isServiceRegistered(kService).value() ||
                                            names->activatableServiceNames().value().contains(kService));
        present = present && (_bus.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing);
        _state = present ? State::Available : State::Unavailable;
    }
    return _state == State::Available;
}

bool FileTransferPortal::offerFiles(QMimeData* data) {
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        const QString path = Path::localPath(url);
        if (!path.isEmpty()) {
            paths.append(path);
        }
    }
    if (paths.isEmpty() || !available()) {
        return false;
    }
    QDBusMessage start =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("StartTransfer"));
    start << QVariantMap{{QStringLiteral("writable"), false}, {QStringLiteral("autostop"), true}};
    const QDBusReply<QString> key = _bus.call(start, QDBus::Block, kTimeoutMs);
    if (!key.isValid()) {
        // Not answering now, it will not answer the next drag either.
        _state = State::Unavailable;
        return false;
    }
    for (qsizetype first = 0; first < paths.size(); first += kFilesPerCall) {
        std::vector<std::unique_ptr<PathDescriptor>> opened;
        QList<QDBusUnixFileDescriptor> descriptors;
        for (const QString& path : paths.mid(first, kFilesPerCall)) {
            opened.push_back(std::make_unique<PathDescriptor>(path));
            if (opened.back()->fd() >= 0) {
                descriptors.append(QDBusUnixFileDescriptor(opened.back()->fd()));
            }
        }
        QDBusMessage add =
            QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("AddFiles"));
        add << key.value() << QVariant::fromValue(descriptors) << QVariantMap();
        const QDBusMessage added = _bus.call(add, QDBus::Block, kTimeoutMs);
        if (added.type() != QDBusMessage::ReplyMessage) {
            QDBusMessage stop =
                QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("StopTransfer"));
            stop << key.value();
            _bus.call(stop, QDBus::NoBlock);
            return false;
        }
    }
    data->setData(QLatin1String(KeyType), key.value().toUtf8());
    data->setData(QLatin1String(kOlderKeyType), key.value().toUtf8());
    return true;
}
