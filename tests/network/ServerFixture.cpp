#include "network/ServerFixture.h"

#include "network/MiniDlna.h"
#include "support/MediaFixtures.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>
#include <unistd.h>

namespace ServerFixture {

namespace {

QString root() {
    return QStringLiteral(QVMB_TEST_BINARY_DIR "/server-v1");
}

void writePicture(const QString& path, QSize size, QColor color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QPainter painter(&image);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRect(QPoint(0, 0), size / 2));
    painter.end();
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(image.save(path, "JPEG", 90)) << path.toStdString();
}

void makeMedia(const QString& folder) {
    writePicture(folder + QStringLiteral("/Pictures/Holiday/Beach.jpg"), QSize(640, 480), Qt::darkCyan);
    writePicture(folder + QStringLiteral("/Pictures/Holiday/Harbour.jpg"), QSize(480, 640), Qt::darkRed);
    // The thousands are links to one small picture: quick to make and to index.
    const QString one = folder + QStringLiteral("/one.jpg");
    writePicture(one, QSize(64, 48), Qt::darkGreen);
    const QString many = folder + QStringLiteral("/Pictures/Many");
    QDir().mkpath(many);
    for (int i = 1; i <= kManyPictures; ++i) {
        const QString name = many + QStringLiteral("/IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0'));
        ASSERT_EQ(::link(QFile::encodeName(one).constData(), QFile::encodeName(name).constData()), 0);
    }
    QFile::remove(one);
    MediaFixtures::copy(MediaFixtures::Fixture::TaggedMp3,
                        folder + QStringLiteral("/Music/Morning Song.mp3"));
    MediaFixtures::copy(MediaFixtures::Fixture::TaggedM4a,
                        folder + QStringLiteral("/Music/Evening Song.m4a"));
    MediaFixtures::copy(MediaFixtures::Fixture::TaggedMov,
                        folder + QStringLiteral("/Video/Holiday Clip.mov"));
    MediaFixtures::copy(MediaFixtures::Fixture::VideoOnlyMp4, folder + QStringLiteral("/Video/Plain.mp4"));
}

} // namespace

QString media() {
    const QString folder = root() + QStringLiteral("/media");
    const QString marker = root() + QStringLiteral("/media-made");
    if (!QFile::exists(marker)) {
        QDir(root()).removeRecursively();
        makeMedia(folder);
        QFile(marker).open(QIODevice::WriteOnly);
    }
    return folder;
}

QString database() {
    return root() + QStringLiteral("/db");
}

namespace {
std::unique_ptr<MiniDlna> running;
} // namespace

MiniDlna& server() {
    if (!running) {
        running = std::make_unique<MiniDlna>(kServerName, media(), database(), kPort);
        // The first run indexes thousands of files: on a busy machine that takes minutes.
        if (!running->start(600000)) {
            ADD_FAILURE() << "the media server did not start";
        }
    }
    return *running;
}

void stopServer() {
    running.reset();
}

MediaFolderPtr childNamed(const MediaFolderPtr& folder, const QString& name, int timeoutMs) {
    if (!folder) {
        return nullptr;
    }
    folder->loadInBackground();
    MediaFolderPtr found;
    (void)QTest::qWaitFor(
        [&] {
            if (!folder->isLoaded()) {
                return false;
            }
            for (const MediaFolderPtr& child : folder->folders()) {
                if (child->name() == name) {
                    found = child;
                }
            }
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

MediaFolderPtr descend(const MediaFolderPtr& folder, const QStringList& names, int timeoutMs) {
    MediaFolderPtr at = folder;
    for (const QString& name : names) {
        at = childNamed(at, name, timeoutMs);
    }
    return at;
}

} // namespace ServerFixture
