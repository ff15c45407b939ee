#include "platform/system/FileTransferPortal.h"
#include "platform/system/Path.h"
#include "support/PrivateBus.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QMimeData>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Documents");

// Debian's document portal on a private bus, with its file system in a
// runtime folder of its own; unmounted and stopped with the object.
class DocumentPortal {
public:
    DocumentPortal() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), _runtime.path());
        _process.setProcessEnvironment(environment);
        _process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        _process.start(QStringLiteral("/usr/libexec/xdg-document-portal"), {});
    }
    ~DocumentPortal() {
        _process.terminate();
        if (!_process.waitForFinished(5000)) {
            _process.kill();
            _process.waitForFinished(3000);
        }
        const QString mount = _runtime.path() + QStringLiteral("/doc");
        if (QStorageInfo(mount).rootPath() == mount) {
            QProcess::execute(QStringLiteral("fusermount3"),
                              {QStringLiteral("-u"), QStringLiteral("-z"), mount});
        }
    }
    bool started() { return _process.waitForStarted(5000); }

private:
    QTemporaryDir _runtime;
    QProcess _process;
};

QDBusConnection connect(const QByteArray& address, const QString& name) {
    return QDBusConnection::connectToBus(QString::fromLatin1(address), name);
}

TEST(FileTransferPortal, ADragRegistersItsFilesWithTheDocumentPortalUnderAKeyATargetRetrievesThemBy) {
    PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    DocumentPortal portal;
    ASSERT_TRUE(portal.started());
    QDBusConnection source = connect(bus.address(), QStringLiteral("transfer-source"));
    ASSERT_EVENTUALLY(source.interface()->isServiceRegistered(kPortal).value(), 10000);

    // Twenty files, more than one call carries, one named in letters beyond
    // ASCII, and a URL that is no local file.
    TempHome home;
    QList<QUrl> urls;
    QStringList paths;
    for (int i = 0; i < 20; ++i) {
        paths.append(home.writeFile(QStringLiteral("Pictures/%1.png").arg(i), "picture"));
    }
    paths.append(home.writeFile(QStringLiteral("Pictures/Café d’été – Zoë.jpg"), "picture"));
    for (const QString& path : paths) {
        urls.append(Path::fileUrl(path));
    }
    urls.append(QUrl(QStringLiteral("https://example.org/remote.jpg")));
    QMimeData data;
    data.setUrls(urls);

    FileTransferPortal transfers(source);
    ASSERT_TRUE(transfers.offerFiles(&data));
    const QByteArray key = data.data(QLatin1String(FileTransferPortal::KeyType));
    ASSERT_FALSE(key.isEmpty());
    EXPECT_EQ(data.data(QStringLiteral("application/vnd.portal.files")), key);
    EXPECT_EQ(data.urls(), urls); // the URLs stay for targets that read them

    // The target, another program, asks the portal for the files by the key.
    QDBusConnection target = connect(bus.address(), QStringLiteral("transfer-target"));
    QDBusMessage retrieve = QDBusMessage::createMethodCall(
        kPortal, QStringLiteral("/org/freedesktop/portal/documents"),
        QStringLiteral("org.freedesktop.portal.FileTransfer"), QStringLiteral("RetrieveFiles"));
    retrieve << QString::fromUtf8(key) << QVariantMap();
    const QDBusReply<QStringList> files = target.call(retrieve);
    ASSERT_TRUE(files.isValid()) << files.error().message().toStdString();
    EXPECT_EQ(files.value().join(QLatin1Char('\n')).toStdString(),
              paths.join(QLatin1Char('\n')).toStdString());
    // Once retrieved, the transfer is over: the key gives nothing more.
    EXPECT_FALSE(QDBusReply<QStringList>(target.call(retrieve)).isValid());
    QDBusConnection::disconnectFromBus(QStringLiteral("transfer-source"));
    QDBusConnection::disconnectFromBus(QStringLiteral("transfer-target"));
}

TEST(FileTransferPortal, WithoutABusADragIsLeftAsItWas) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/x.png"))});
    FileTransferPortal transfers(QDBusConnection(QStringLiteral("no-such-connection")));
    EXPECT_FALSE(transfers.offerFiles(&data));
    EXPECT_EQ(data.formats(), QStringList{QStringLiteral("text/uri-list")});
}

} // namespace
