#include "iconview/ThumbnailDecoder.h"

#include "iconview/EmbeddedPreview.h"
#include "iconview/JpegFrame.h"
#include "platform/media/HeifApi.h"
#include "platform/media/HeifPicture.h"
#include "platform/media/JpegPreviews.h"
#include "platform/media/LightroomPreview.h"
#include "platform/media/RawApi.h"
#include "platform/media/RawPicture.h"
#include "platform/system/Path.h"

#include <QBuffer>
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

// What a picture file's header says, read by the image readers.
struct ImageHeader {
    QSize upright;
    QByteArray format;
    bool quarterTurn = false;
};

// The file to hand the image readers: the file itself, or its bytes cut
// short into shortened (see pngCutShort). Reading the size reads every chunk
// before the image data: a chunk claiming more than the file holds costs as
// much there as in decoding.
QIODevice* readable(QFile& file, QBuffer& shortened) {
    if (std::optional<QByteArray> cut = pngCutShort(file)) {
        shortened.setData(*cut);
        shortened.open(QIODevice::ReadOnly);
        return &shortened;
    }
    return &file;
}

ImageHeader readImageHeader(QFile& file) {
    ImageHeader header;
    QBuffer shortened;
    QImageReader reader(readable(file, shortened));
    QSize size = reader.size();
    header.format = reader.format();
    file.seek(0);
    if (!size.isValid() || size.isEmpty()) {
        return header;
    }
    header.quarterTurn = isQuarterTurn(reader.transformation());
    if (header.quarterTurn) {
        size.transpose();
    }
    header.upright = size;
    return header;
}

// The picture the image readers decode, at box pixels as shown: from a fit
// embedded preview covering box when the JPEG has one (else one covering
// shown, smaller but still enough to show), else from the picture itself.
QImage decodeImage(QFile& file, const ImageHeader& header, QSize box, QSize shown, Source& source) {
    if (header.format == "jpeg") {
        const std::optional<JpegFrame> frame = JpegFrame::read(file);
        const JpegPreviews::Header previews = JpegPreviews::read(file);
        file.seek(0);
        // The image readers and libexif must agree on the picture's turn.
        if (frame && !previews.previews.empty() &&
            EmbeddedPreview::isQuarterTurn(previews.orientation) == header.quarterTurn) {
            for (const QSize size : {box, shown}) {
                QImage preview = EmbeddedPreview::decode(previews, *frame, size);
                if (!preview.isNull()) {
                    source = Source::Preview;
                    return preview;
                }
            }
        }
    }
    if (jpegNeedsTooMuchMemory(file)) {
        return {};
    }
    QBuffer shortened;
    QImageReader reader(readable(file, shortened));
    reader.setAutoTransform(true);
    // The reader scales before it turns the picture upright.
    reader.setScaledSize(header.quarterTurn ? box.transposed() : box);
    source = Source::Picture;
    return reader.read();
}

// Whether a reader's library is there to read the file: a picture cannot be
// said to be broken by a program that could not try it.
bool readerAvailable(Reader reader) {
    switch (reader) {
    case Reader::Heif:
        return HeifApi::load() != nullptr;
    case Reader::Raw:
        return RawApi::load() != nullptr;
    case Reader::Image:
        break;
    }
    return true;
}

void recordFailure(const QString& path, const ThumbnailCache::Stamp& stamp, Reader reader) {
    if (readerAvailable(reader)) {
        ThumbnailCache::storeFailure(path, stamp);
    }
}

} // namespace

QSize fitted(QSize upright, QSize bound) {
    if (upright.isEmpty() || bound.isEmpty()) {
        return {};
    }
    const double scale =
        std::min(double(bound.width()) / upright.width(), double(bound.height()) / upright.height());
    return QSize(std::max(1, int(std::lround(upright.width() * scale))),
                 std::max(1, int(std::lround(upright.height() * scale))));
}

namespace {

// The levels of a Lightroom preview file, or none when it is no readable one.
std::optional<std::vector<LightroomPreview::Level>> previewLevels(QFile& file, const QString& path) {
    return openForReading(file, path) ? LightroomPreview::levels(file) : std::nullopt;
}

// A Lightroom catalogue's preview file: its level that fits bound, decoded to
// the size shown. It is not kept in the shared cache, being a cache itself;
// one that cannot be read makes nothing, and the picture itself is drawn.
Thumbnail makeFromLightroomPreview(const QString& path, QSize bound) {
    Thumbnail result;
    result.path = path;
    QFile file;
    const std::optional<std::vector<LightroomPreview::Level>> levels = previewLevels(file, path);
    if (bound.isEmpty() || !levels) {
        return result;
    }
    const QSize upright = levels->back().size;
    QSize shown = fitted(upright, bound);
    if (std::abs(shown.width() - bound.width()) <= 1 && std::abs(shown.height() - bound.height()) <= 1) {
        shown = bound;
    }
    QImage image =
        decodeData(LightroomPreview::jpeg(file, LightroomPreview::levelFor(*levels, shown)), shown);
    if (image.isNull()) {
        return result;
    }
    result.uprightSize = upright;
    result.image = toBox(std::move(image), shown);
    result.source = Source::Preview;
    return result;
}

} // namespace

QSize uprightSize(const QString& path) {
    if (LightroomPreview::isPreviewFile(path)) {
        QFile file;
        const std::optional<std::vector<LightroomPreview::Level>> levels = previewLevels(file, path);
        return levels ? levels->back().size : QSize(0, 0);
    }
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
    const ImageHeader header = readImageHeader(file);
    if (header.upright.isEmpty() && header.format.isEmpty() && startsLikeHeif(file)) {
        file.close();
        return HeifPicture::uprightSize(path);
    }
    return header.upright.isEmpty() ? QSize(0, 0) : header.upright;
}

Thumbnail make(const QString& path, QSize bound) {
    if (LightroomPreview::isPreviewFile(path)) {
        return makeFromLightroomPreview(path, bound);
    }
    Thumbnail result;
    result.path = path;
    const std::optional<ThumbnailCache::Stamp> stamp = ThumbnailCache::stampOf(path);
    if (bound.isEmpty() || !stamp) {
        return result;
    }
    result.stamp = *stamp;
    if (ThumbnailCache::hasFailure(path, *stamp)) {
        return result;
    }

    Reader reader = readerFor(path);
    QFile file;
    ImageHeader header;
    if (reader == Reader::Image) {
        if (!openForReading(file, path)) {
            return result;
        }
        header = readImageHeader(file);
        if (header.upright.isEmpty() && header.format.isEmpty() && startsLikeHeif(file)) {
            file.close();
            reader = Reader::Heif;
        }
    }
    const QSize upright = reader == Reader::Heif  ? HeifPicture::uprightSize(path)
                          : reader == Reader::Raw ? RawPicture::uprightSize(path)
                                                  : header.upright;
    if (upright.isEmpty()) {
        recordFailure(path, *stamp, reader);
        return result;
    }
    result.uprightSize = upright;

    // The bound itself when it has the picture's shape: the grid asks for the
    // pixels of the rectangle it draws in.
    QSize shown = fitted(upright, bound);
    if (std::abs(shown.width() - bound.width()) <= 1 && std::abs(shown.height() - bound.height()) <= 1) {
        shown = bound;
    }
    QImage cached = ThumbnailCache::find(path, *stamp, shown, upright);
    if (!cached.isNull()) {
        result.image = toBox(std::move(cached), shown);
        result.source = Source::Cache;
        return result;
    }

    // Made at the cache's size class when an entry is worth writing, so that
    // this program and the desktop's others find it next time.
    const std::optional<ThumbnailCache::SizeClass> sizeClass = ThumbnailCache::classFor(shown);
    const bool forCache = sizeClass && ThumbnailCache::writingEnabled() && !ThumbnailCache::contains(path) &&
                          ThumbnailCache::isSettled(*stamp) &&
                          (upright.width() > sizeClass->side || upright.height() > sizeClass->side);
    const QSize box = forCache ? fitted(upright, QSize(sizeClass->side, sizeClass->side)) : shown;
    QImage made;
    Source source = Source::Picture;
    switch (reader) {
    case Reader::Heif:
        made = HeifPicture::thumbnail(path, box);
        break;
    case Reader::Raw:
        made = decodeRaw(path, box);
        source = Source::Preview;
        break;
    case Reader::Image:
        made = decodeImage(file, header, box, shown, source);
        break;
    }
    if (made.isNull()) {
        recordFailure(path, *stamp, reader);
        return result;
    }
    if (forCache && made.size() == box) {
        result.forCache = made;
        result.sizeClass = sizeClass;
    }
    result.image = toBox(std::move(made), shown);
    result.source = source;
    return result;
}

bool storeInCache(const Thumbnail& thumbnail) {
    if (thumbnail.forCache.isNull() || !thumbnail.sizeClass) {
        return false;
    }
    return ThumbnailCache::store(thumbnail.path, thumbnail.stamp, *thumbnail.sizeClass, thumbnail.forCache,
                                 thumbnail.uprightSize);
}

QImage decode(const QString& path, QSize box, QSize) {
    return toBox(make(path, box).image, box);
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
