// qvmb-thumbnail --size SIDE [--dpr RATIO] [--no-cache-write] --out DIR FILE...:
// writes, for each picture file, the thumbnail the browser's grid draws for it
// in cells whose picture area is SIDE points square on a screen of RATIO
// device pixels a point, as DIR/NAME.png (NAME being the file's whole name),
// and prints where it came from: the desktop's thumbnail cache, a preview the
// file carries, or the picture itself. Like the grid, it records what it made
// in the thumbnail cache, unless told not to. The exit status is non-zero when
// a file could not be pictured. Shows a user, or a test, what the grid shows.

#include "iconview/Geometry.h"
#include "iconview/ThumbnailDecoder.h"
#include "platform/media/ThumbnailCache.h"
#include "platform/system/Path.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The device pixels the grid asks for: the picture fitted into the square and
// centred there, at the screen's ratio (as the grid's drawing rounds it).
QSize drawnPixels(QSize upright, int side, qreal ratio) {
    const NSRect fitted = QVScaleRectIntoRect(NSMakeRect(0, 0, upright.width(), upright.height()),
                                              NSMakeRect(0, 0, side, side), QVAlignHCentre | QVAlignVCentre);
    return QSize(qRound(fitted.size.width * ratio), qRound(fitted.size.height * ratio));
}

// Writes image as a PNG file at path, named by its exact bytes.
bool writePng(const QImage& image, const QString& path) {
    const int fd = ::open(Path::toNative(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return image.save(&file, "PNG") && file.flush();
}

const char* sourceName(ThumbnailDecoder::Source source) {
    switch (source) {
    case ThumbnailDecoder::Source::Cache:
        return "cache";
    case ThumbnailDecoder::Source::Preview:
        return "preview";
    case ThumbnailDecoder::Source::Picture:
        return "picture";
    case ThumbnailDecoder::Source::None:
        break;
    }
    return "none";
}

} // namespace

int main(int argc, char* argv[]) {
    // Pictures only: no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);

    // The arguments are read as bytes: a file name need not be valid UTF-8.
    QByteArray side = "150";
    QByteArray ratio = "1";
    QByteArray directory;
    QList<QByteArray> files;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--no-cache-write") {
            ThumbnailCache::setWritingEnabled(false);
            continue;
        }
        QByteArray* value = argument == "--size"  ? &side
                            : argument == "--dpr" ? &ratio
                            : argument == "--out" ? &directory
                                                  : nullptr;
        if (value != nullptr && i + 1 < argc) {
            *value = argv[++i];
        } else if (value != nullptr || argument == "--help" || argument == "-h") {
            files.clear();
            break;
        } else {
            files.append(argument);
        }
    }
    bool sideOk = false;
    bool ratioOk = false;
    const int points = side.toInt(&sideOk);
    const qreal dpr = ratio.toDouble(&ratioOk);
    if (!sideOk || points <= 0 || points > 4096 || !ratioOk || !(dpr > 0 && dpr <= 8) ||
        directory.isEmpty() || files.isEmpty()) {
        std::fprintf(
            stderr, "usage: qvmb-thumbnail --size SIDE [--dpr RATIO] [--no-cache-write] --out DIR FILE...\n");
        return 2;
    }
    const QString outDirectory = Path::fromNative(directory);
    if (!QDir().mkpath(outDirectory)) {
        std::fprintf(stderr, "qvmb-thumbnail: cannot make %s\n", directory.constData());
        return 2;
    }

    const QByteArray workingDirectory = QDir::currentPath().toLocal8Bit();
    int failures = 0;
    for (const QByteArray& file : std::as_const(files)) {
        const QString path = Path::fromNative(file.startsWith('/') ? file : workingDirectory + '/' + file);
        const QSize upright = ThumbnailDecoder::uprightSize(path);
        const QSize pixels = upright.isEmpty() ? QSize() : drawnPixels(upright, points, dpr);
        const ThumbnailDecoder::Thumbnail made =
            pixels.isEmpty() ? ThumbnailDecoder::Thumbnail() : ThumbnailDecoder::make(path, pixels);
        const QImage& thumbnail = made.image;
        ThumbnailDecoder::storeInCache(made);
        const QString target =
            outDirectory + QLatin1Char('/') + Path::lastComponent(path) + QStringLiteral(".png");
        if (thumbnail.isNull()) {
            std::fprintf(stderr, "qvmb-thumbnail: cannot picture %s\n", file.constData());
            ++failures;
            continue;
        }
        if (!writePng(thumbnail, target)) {
            std::fprintf(stderr, "qvmb-thumbnail: cannot write %s\n", Path::toNative(target).constData());
            ++failures;
            continue;
        }
        std::printf("%s\t%dx%d\t%s\n", Path::toNative(target).constData(), thumbnail.width(),
                    thumbnail.height(), sourceName(made.source));
    }
    return failures == 0 ? 0 : 1;
}
