#include "platform/system/DesktopFiles.h"

#include "platform/system/Path.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace DesktopFiles {

namespace {

constexpr int kMostOpened = 20;
// A file manager that is started on demand may take a moment to answer.
constexpr int kShowItemsTimeoutMs = 5000;

// Asking Qt for the session bus with no address may autolaunch a stray bus
// daemon: only connect when an address is known.
bool sessionBusAddressKnown() {
    if (!qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS").isEmpty()) {
        return true;
    }
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtimeDir.isEmpty() && QFileInfo::exists(runtimeDir + QStringLiteral("/bus"));
}

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash > 0 ? path.left(slash) : QStringLiteral("/");
}

void openFolderOf(const QString& path) {
    QDesktopServices::openUrl(Path::fileUrl(folderOf(path)));
}

} // namespace

void openWithDefaultApplication(const QStringList& paths) {
    for (qsizetype i = 0; i < paths.size() && i < kMostOpened; ++i) {
        QDesktopServices::openUrl(Path::fileUrl(paths.at(i)));
    }
}

void showInFolder(const QStringList& paths, const std::function<void(bool)>& done) {
    if (paths.isEmpty()) {
        return;
    }
    // A connection of our own per bus address: a test may start buses of its own.
    const QDBusConnection bus =
        sessionBusAddressKnown()
            ? QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                            QStringLiteral("qvmediabrowser-files ") +
                                                qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"))
            : QDBusConnection(QString());
    if (!bus.isConnected()) {
        openFolderOf(paths.first());
        if (done) {
            done(false);
        }
        return;
    }
    QStringList uris;
    for (const QString& path : paths) {
        uris.append(QString::fromLatin1(Path::fileUrl(path).toEncoded()));
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << uris << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kShowItemsTimeoutMs));
    const QString first = paths.first();
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [first, done](QDBusPendingCallWatcher* finished) {
                         const bool answered = !finished->isError();
                         if (!answered) {
                             openFolderOf(first);
                         }
                         if (done) {
                             done(answered);
                         }
                         finished->deleteLater();
                     });
}

} // namespace DesktopFiles
