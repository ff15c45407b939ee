#include "platform/media/ThumbnailCache.h"

#include "platform/media/ThumbnailPngReader.h"
#include "platform/media/ThumbnailPngWriter.h"
#include "platform/system/Path.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QImageReader>
#include <QtEndian>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ThumbnailCache {

namespace {

constexpr SizeClass kClasses[] = {{"normal", 128}, {"large", 256}, {"x-large", 512}, {"xx-large", 1024}};
// Entries this program records for pictures that cannot be decoded.
constexpr char kFailDirectory[] = "fail/qvmediabrowser-1";

std::atomic<bool> gWriting{true};

bool covers(QSize size, QSize box) {
    return size.width() + 1 >= box.width() && size.height() + 1 >= box.height();
}

// Whether every chunk of the PNG lies within its bytes: a cut-short entry is no good.
bool pngChunksFit(const QByteArray& png) {
    static const QByteArray signature("\x89PNG\r\n\x1a\n");
    if (!png.startsWith(signature)) {
        return false;
    }
    for (qint64 at = signature.size(); at + 12 <= png.size();) {
        const qint64 length = qFromBigEndian<quint32>(png.constData() + at);
        if (at + 12 + length > png.size()) {
            return false;
        }
        if (QByteArrayView(png.constData() + at + 4, 4) == "IEND") {
            return true;
        }
        at += 12 + length;
    }
    return false;
}

// The bytes of a cache entry: a regular file (never followed through a link),
// not empty and no larger than a thumbnail can be; none otherwise.
std::optional<QByteArray> readEntry(const QString& file) {
    const int fd = ::open(Path::toNative(file).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        info.st_size <= kLargestEntryBytes) {
        QByteArray data(static_cast<qsizetype>(info.st_size), Qt::Uninitialized);
        qsizetype done = 0;
        while (done < data.size()) {
            const ssize_t n = ::pread(fd, data.data() + done, size_t(data.size() - done), done);
            if (n <= 0) {
                break;
            }
            done += n;
        }
        if (done == data.size()) {
            bytes = std::move(data);
        }
    }
    ::close(fd);
    return bytes;
}

// The entry's picture through Qt's reader, for the kinds of PNG the fast
// reader leaves to it; a null image when it claims more than maxSide.
QImage readWithQt(const QByteArray& bytes, int maxSide) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize claimed = reader.size();
    if (!claimed.isValid() || claimed.isEmpty() || claimed.width() > maxSide || claimed.height() > maxSide) {
        return {};
    }
    // The text keys are read with the pixels.
    return reader.read();
}

// The entry's picture when it records path as it is now and its pixels are
// no more than maxSide on either side; a null image otherwise.
QImage readFresh(const QString& file, const QString& path, const Stamp& stamp, int maxSide) {
    const std::optional<QByteArray> bytes = readEntry(file);
    if (!bytes || !pngChunksFit(*bytes)) {
        return {};
    }
    ThumbnailPngReader::Result fast = ThumbnailPngReader::read(*bytes, maxSide);
    if (fast.outcome == ThumbnailPngReader::Outcome::Refused) {
        return {};
    }
    const QImage image = fast.outcome == ThumbnailPngReader::Outcome::Decoded ? std::move(fast.image)
                                                                              : readWithQt(*bytes, maxSide);
    if (image.isNull() || image.text(QStringLiteral("Thumb::MTime")) != QString::number(stamp.mtime) ||
        image.text(QStringLiteral("Thumb::URI")).toUtf8() != fileUri(path)) {
        return {};
    }
    return image;
}

// Makes directory (and the cache above it) readable by the user alone when it is new.
bool makeDirectory(const QString& directory) {
    QByteArray native = Path::toNative(directory);
    for (qsizetype slash = native.indexOf('/', 1); slash != -1; slash = native.indexOf('/', slash + 1)) {
        native[slash] = '\0';
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        native[slash] = '/';
    }
    return ::mkdir(native.constData(), 0700) == 0 || errno == EEXIST;
}

// Writes all of bytes to fd.
bool writeAll(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    return true;
}

// Writes image with the keys as directory/name through a temporary file renamed into place.
bool writeEntry(const QString& directory, const QString& name, const QImage& image, const QString& path,
                const Stamp& stamp, QSize upright) {
    if (!makeDirectory(directory)) {
        return false;
    }
    ThumbnailPngWriter::Texts texts{{"Thumb::URI", fileUri(path)},
                                    {"Thumb::MTime", QByteArray::number(stamp.mtime)},
                                    {"Thumb::Size", QByteArray::number(stamp.bytes)}};
    if (upright.isValid() && !upright.isEmpty()) {
        texts.emplace_back("Thumb::Image::Width", QByteArray::number(upright.width()));
        texts.emplace_back("Thumb::Image::Height", QByteArray::number(upright.height()));
    }
    texts.emplace_back("Software", "QVMediaBrowser");
    const QByteArray png = ThumbnailPngWriter::write(image, texts);
    if (png.isEmpty()) {
        return false;
    }

    const QString target = directory + QLatin1Char('/') + name;
    QByteArray temporary = Path::toNative(target) + ".XXXXXX";
    // mkstemp makes the file readable and writable by the user alone.
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    ::fchmod(fd, 0600);
    const bool written = writeAll(fd, png);
    if (::close(fd) != 0 || !written ||
        ::rename(temporary.constData(), Path::toNative(target).constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

} // namespace

const SizeClass* sizeClasses(int* count) {
    *count = static_cast<int>(std::size(kClasses));
    return kClasses;
}

std::optional<SizeClass> classFor(QSize box) {
    const int longest = std::max(box.width(), box.height());
    for (const SizeClass& sizeClass : kClasses) {
        if (longest <= sizeClass.side) {
            return sizeClass;
        }
    }
    return std::nullopt;
}

QString root() {
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    const QString base =
        xdg.startsWith(QLatin1Char('/')) ? xdg : Path::homeDirectory() + QStringLiteral("/.cache");
    return base + QStringLiteral("/thumbnails/");
}

QByteArray fileUri(const QString& path) {
    // The characters the cache's naming rule leaves unescaped in a path.
    return QByteArrayLiteral("file://") + Path::toNative(path).toPercentEncoding("!$&'()*+,/:=@");
}

QString entryName(const QString& path) {
    return QString::fromLatin1(QCryptographicHash::hash(fileUri(path), QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

bool contains(const QString& path) {
    return path.startsWith(root());
}

std::optional<Stamp> stampOf(const QString& path) {
    struct stat info {};
    if (::stat(Path::toNative(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return Stamp{static_cast<qint64>(info.st_mtime), static_cast<qint64>(info.st_size)};
}

bool isSettled(const Stamp& stamp) {
    return QDateTime::currentSecsSinceEpoch() - stamp.mtime > kSettleSeconds;
}

QImage find(const QString& path, const Stamp& stamp, QSize box, QSize upright) {
    if (box.isEmpty() || contains(path)) {
        return {};
    }
    const bool knowsSize = upright.isValid() && !upright.isEmpty();
    const int longest = std::max(box.width(), box.height());
    const QString name = entryName(path);
    const QString base = root();
    for (const SizeClass& sizeClass : kClasses) {
        // A thumbnail is never larger than the picture: a small picture's
        // thumbnail is the whole picture. Without the picture's size, only
        // the longest sides can be compared.
        const bool wholePicture =
            knowsSize && upright.width() <= sizeClass.side && upright.height() <= sizeClass.side;
        const bool large =
            knowsSize ? covers(upright.scaled(sizeClass.side, sizeClass.side, Qt::KeepAspectRatio), box)
                      : sizeClass.side + 1 >= longest;
        if (!wholePicture && !large) {
            continue;
        }
        QImage thumbnail = readFresh(base + QLatin1String(sizeClass.directory) + QLatin1Char('/') + name,
                                     path, stamp, sizeClass.side);
        if (thumbnail.isNull()) {
            continue;
        }
        const bool enough = knowsSize ? covers(thumbnail.size(), box)
                                      : std::max(thumbnail.width(), thumbnail.height()) + 1 >= longest;
        if (wholePicture || enough) {
            return thumbnail;
        }
    }
    return {};
}

bool writingEnabled() {
    return gWriting.load(std::memory_order_relaxed);
}

void setWritingEnabled(bool enabled) {
    gWriting.store(enabled, std::memory_order_relaxed);
}

bool store(const QString& path, const Stamp& stamp, const SizeClass& sizeClass, const QImage& thumbnail,
           QSize upright) {
    if (!writingEnabled() || thumbnail.isNull() || contains(path) || !isSettled(stamp) ||
        (upright.width() <= sizeClass.side && upright.height() <= sizeClass.side) ||
        thumbnail.width() > sizeClass.side || thumbnail.height() > sizeClass.side) {
        return false;
    }
    return writeEntry(root() + QLatin1String(sizeClass.directory), entryName(path), thumbnail, path, stamp,
                      upright);
}

bool hasFailure(const QString& path, const Stamp& stamp) {
    return !readFresh(root() + QLatin1String(kFailDirectory) + QLatin1Char('/') + entryName(path), path,
                      stamp, 1)
                .isNull();
}

bool storeFailure(const QString& path, const Stamp& stamp) {
    if (!writingEnabled() || contains(path) || !isSettled(stamp)) {
        return false;
    }
    QImage empty(1, 1, QImage::Format_ARGB32);
    empty.fill(Qt::transparent);
    return writeEntry(root() + QLatin1String(kFailDirectory), entryName(path), empty, path, stamp, QSize());
}

} // namespace ThumbnailCache
