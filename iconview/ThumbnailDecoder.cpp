#include "iconview/ThumbnailDecoder.h"

#include "iconview/JpegFrame.h"
#include "platform/media/HeifPicture.h"
#include "platform/media/RawPicture.h"
#include "platform/system/Path.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace ThumbnailDecoder {

namespace {

// Opens path by its exact bytes, so names that are not valid UTF-8 open too.
// Only regular files are read: the check is made on the descriptor, opened
// without blocking, since opening a FIFO for reading waits for a writer.
bool openForReading(QFile& file, const QString& path) {
    const QByteArray native = Path::toNative(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

// libpng allocates the length an ancillary chunk claims before reading it:
// a file of a few hundred bytes whose text chunk claims two gigabytes takes
// two gigabytes. When a chunk other than image data claims more bytes than
// the file holds, the picture is read as if it ended just before that chunk;
// the answer is then those bytes and an end chunk, or nothing for a file
// that needs no cut (which is left at its start).
std::optional<QByteArray> pngCutShort(QIODevice& file) {
    static const QByteArray signature("\x89PNG\r\n\x1a\n");
    static const QByteArray end("\0\0\0\0IEND\xae\x42\x60\x82", 12);
    const qint64 size = file.size();
    std::optional<QByteArray> cut;
    if (file.read(signature.size()) == signature) {
        for (qint64 start = signature.size(); start + 8 <= size;) {
            if (!file.seek(start)) {
                break;
            }
            const QByteArray header = file.read(8);
            if (header.size() < 8) {
                break;
            }
            const qint64 length = qFromBigEndian<quint32>(header.constData());
            const QByteArrayView type = QByteArrayView(header).sliced(4);
            if (type == "IEND") {
                break;
            }
            if (start + 12 + length > size && type != "IDAT") {
                file.seek(0);
                cut = file.read(start) + end;
                break;
            }
            start += 12 + length;
        }
    }
    file.seek(0);
    return cut;
}

// Whether decoding the JPEG the device holds would make libjpeg buffer more
// coefficients than the image readers' allocation limit allows a whole
// decoded picture. libjpeg allocates that buffer before it reads a pixel,
// whatever the scale it decodes at, and a file of a few hundred bytes can
// claim a progressive frame that needs gigabytes. The size comes from
// libjpeg's own reading of the headers; the frame read here only lets a
// picture through when it is sequential and agrees with that size, so a
// file whose headers the two read differently counts as the worst case.
// The device is left at its start.
bool jpegNeedsTooMuchMemory(QIODevice& device) {
    const qint64 limitBytes = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    QSize size;
    {
        QImageReader header(&device);
        if (header.format() != "jpeg") {
            device.seek(0);
            return false;
        }
        size = header.size();
    }
    device.seek(0);
    if (limitBytes <= 0 || size.isEmpty()) {
        return false; // unlimited, or libjpeg stops at the headers
    }
    const std::optional<JpegFrame> frame = JpegFrame::read(device);
    device.seek(0);
    if (frame && frame->width() == size.width() && frame->height() == size.height()) {
        return frame->buffersWholeImage() && frame->coefficientBytes() > limitBytes;
    }
    return JpegFrame::largestCoefficientBytes(size) > limitBytes;
}

bool isQuarterTurn(QImageIOHandler::Transformations transformation) {
    return transformation.testFlag(QImageIOHandler::TransformationRotate90);
}

// The cache's size classes, smallest first: directory and longest side.
struct CacheSize {
    const char* directory;
    int side;
};
constexpr CacheSize kCacheSizes[] = {{"normal", 128}, {"large", 256}, {"x-large", 512}, {"xx-large", 1024}};

QString cacheRoot() {
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    const QString base =
        xdg.startsWith(QLatin1Char('/')) ? xdg : Path::homeDirectory() + QStringLiteral("/.cache");
    return base + QStringLiteral("/thumbnails/");
}

// Whether an image of size covers box, allowing a pixel of rounding.
bool covers(QSize size, QSize box) {
    return size.width() + 1 >= box.width() && size.height() + 1 >= box.height();
}

QImage toBox(QImage image, QSize box) {
    if (image.isNull()) {
        return {};
    }
    if (image.size() != box) {
        image = image.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // Premultiplied alpha draws fastest; opaque images stay as decoded.
    if (image.hasAlphaChannel() && image.format() != QImage::Format_ARGB32_Premultiplied) {
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    return image;
}

// The readers of pictures, chosen by the file's extension; a file the image
// readers do not know is tried as HEIF when its first bytes say it is one.
enum class Reader { Image, Heif, Raw };

Reader readerFor(const QString& path) {
    const QStringView extension = Path::extensionView(path);
    if (HeifPicture::isHeifExtension(extension)) {
        return Reader::Heif;
    }
    return RawPicture::isRawExtension(extension) ? Reader::Raw : Reader::Image;
}

bool startsLikeHeif(QIODevice& device) {
    device.seek(0);
    const bool heif = HeifPicture::looksLikeHeif(device.peek(64));
    device.seek(0);
    return heif;
}

// A JPEG embedded in a RAW file decoded straight to box pixels as shown, turned
// by the RAW's orientation (an orientation inside the JPEG is not its own).
QImage decodeRawJpeg(const QByteArray& jpeg, QSize box, int flip) {
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    if (jpegNeedsTooMuchMemory(buffer)) {
        return {};
    }
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false);
    QSize scaled = box;
    if (RawPicture::isQuarterTurn(flip)) {
        scaled.transpose();
    }
    reader.setScaledSize(scaled);
    return RawPicture::upright(reader.read(), flip);
}

QImage decodeRaw(const QString& path, QSize box) {
    const std::optional<RawPicture::Preview> preview = RawPicture::preview(path, box);
    if (!preview) {
        return {};
    }
    if (!preview->jpeg.isEmpty()) {
        return decodeRawJpeg(preview->jpeg, box, preview->flip);
    }
    return RawPicture::upright(preview->pixels, preview->flip);
}

} // namespace

QSize uprightSize(const QString& path) {
    switch (readerFor(path)) {
    case Reader::Heif:
        return HeifPicture::uprightSize(path);
    case Reader::Raw:
        return RawPicture::uprightSize(path);
    case Reader::Image:
        break;
    }
    QFile file;
    if (!openForReading(file, path)) {
        return QSize(0, 0);
    }
    // Reading the size reads every chunk before the image data: a chunk
    // claiming more than the file holds costs as much here as in decoding.
    QBuffer shortened;
    QIODevice* device = &file;
    if (std::optional<QByteArray> cut = pngCutShort(file)) {
        shortened.setData(*cut);
        shortened.open(QIODevice::ReadOnly);
        device = &shortened;
    }
    QImageReader reader(device);
    QSize size = reader.size();
    if ((!size.isValid() || size.isEmpty()) && reader.format().isEmpty() && startsLikeHeif(file)) {
        file.close();
        return HeifPicture::uprightSize(path);
    }
    if (!size.isValid() || size.isEmpty()) {
        return QSize(0, 0);
    }
    if (isQuarterTurn(reader.transformation())) {
        size.transpose();
    }
    return size;
}

QByteArray thumbnailUri(const QString& path) {
    // The characters the cache's naming rule leaves unescaped in a path.
    return QByteArrayLiteral("file://") + Path::toNative(path).toPercentEncoding("!$&'()*+,/:=@");
}

QImage cachedThumbnail(const QString& path, QSize box, QSize originalSize) {
    struct stat info;
    if (box.isEmpty() || ::stat(Path::toNative(path).constData(), &info) != 0) {
        return {};
    }
    const QByteArray uri = thumbnailUri(path);
    const QString name = QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
                         QStringLiteral(".png");
    const QString root = cacheRoot();
    const QString mtime = QString::number(static_cast<qint64>(info.st_mtime));
    for (const CacheSize& cacheSize : kCacheSizes) {
        // A thumbnail is never larger than the picture, so a small picture's
        // thumbnail is the whole picture.
        const bool wholePicture =
            originalSize.width() <= cacheSize.side && originalSize.height() <= cacheSize.side;
        if (!wholePicture &&
            !covers(originalSize.scaled(cacheSize.side, cacheSize.side, Qt::KeepAspectRatio), box)) {
            continue;
        }
        const QString candidate = root + QLatin1String(cacheSize.directory) + QLatin1Char('/') + name;
        QFile cached;
        if (!openForReading(cached, candidate) || pngCutShort(cached)) {
            continue; // a cached thumbnail cut short is no good
        }
        // The reader's text keys cannot hold "::": the keys are read with the pixels.
        QImage thumbnail = QImageReader(&cached, "png").read();
        if (thumbnail.isNull() || thumbnail.text(QStringLiteral("Thumb::MTime")) != mtime) {
            continue;
        }
        const QString recordedUri = thumbnail.text(QStringLiteral("Thumb::URI"));
        if (!recordedUri.isEmpty() && recordedUri.toUtf8() != uri) {
            continue;
        }
        if (!wholePicture && !covers(thumbnail.size(), box)) {
            continue;
        }
        return thumbnail;
    }
    return {};
}

QImage decode(const QString& path, QSize box, QSize originalSize) {
    if (box.isEmpty()) {
        return {};
    }
    QImage thumbnail = cachedThumbnail(path, box, originalSize);
    if (!thumbnail.isNull()) {
        return toBox(std::move(thumbnail), box);
    }
    switch (readerFor(path)) {
    case Reader::Heif:
        return toBox(HeifPicture::thumbnail(path, box), box);
    case Reader::Raw:
        return toBox(decodeRaw(path, box), box);
    case Reader::Image:
        break;
    }
    QFile file;
    if (!openForReading(file, path)) {
        return {};
    }
    if (startsLikeHeif(file)) {
        file.close();
        return toBox(HeifPicture::thumbnail(path, box), box);
    }
    if (jpegNeedsTooMuchMemory(file)) {
        return {};
    }
    QBuffer shortened;
    QIODevice* device = &file;
    if (std::optional<QByteArray> cut = pngCutShort(file)) {
        shortened.setData(*cut);
        shortened.open(QIODevice::ReadOnly);
        device = &shortened;
    }
    QImageReader reader(device);
    reader.setAutoTransform(true);
    // The reader scales before it turns the picture upright.
    QSize scaled = box;
    if (isQuarterTurn(reader.transformation())) {
        scaled.transpose();
    }
    reader.setScaledSize(scaled);
    return toBox(reader.read(), box);
}

QImage decodeData(const QByteArray& data, QSize box) {
    if (box.isEmpty() || data.isEmpty()) {
        return {};
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    if (jpegNeedsTooMuchMemory(buffer)) {
        return {};
    }
    QBuffer shortened;
    QIODevice* device = &buffer;
    if (std::optional<QByteArray> cut = pngCutShort(buffer)) {
        shortened.setData(*cut);
        shortened.open(QIODevice::ReadOnly);
        device = &shortened;
    }
    QImageReader reader(device);
    reader.setAutoTransform(true);
    QSize upright = reader.size();
    const bool quarterTurn = isQuarterTurn(reader.transformation());
    if (quarterTurn) {
        upright.transpose();
    }
    if (upright.isEmpty()) {
        return {};
    }
    const QSize fitted = upright.scaled(box.boundedTo(upright), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    // The reader scales before it turns the picture upright.
    reader.setScaledSize(quarterTurn ? fitted.transposed() : fitted);
    return toBox(reader.read(), fitted);
}

} // namespace ThumbnailDecoder
