#include "platform/media/RawPicture.h"

#include "platform/media/PictureFile.h"
#include "platform/media/RawApi.h"
#include "platform/system/Path.h"

#include <QBuffer>
#include <QImageReader>
#include <QTransform>

#include <memory>
#include <sys/stat.h>

namespace RawPicture {

namespace {

// One RAW file opened by LibRaw: its headers are parsed, nothing decoded.
class RawFile {
public:
    explicit RawFile(const QString& path)
        : _api(RawApi::load()) {
        struct stat info {};
        const QByteArray native = Path::toNative(path);
        if (_api == nullptr || ::stat(native.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
            return;
        }
        _fileSize = info.st_size;
        _raw = _api->libraw_init(0);
        if (_raw != nullptr && _api->libraw_open_file(_raw, native.constData()) != LIBRAW_SUCCESS) {
            _api->libraw_close(_raw);
            _raw = nullptr;
        }
    }
    ~RawFile() {
        if (_raw != nullptr) {
            _api->libraw_close(_raw);
        }
    }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    bool isOpen() const { return _raw != nullptr; }
    int flip() const { return _raw->sizes.flip; }
    // The picture's size before it is turned.
    QSize storedSize() const { return QSize(_raw->sizes.width, _raw->sizes.height); }
    Recorded recorded() const {
        // LibRaw's fixed-size text fields, read up to their first NUL.
        const auto text = [](const char* field, std::size_t size) {
            return QString::fromLatin1(field, qsizetype(qstrnlen(field, uint(size)))).trimmed();
        };
        return {text(_raw->idata.make, sizeof _raw->idata.make),
                text(_raw->idata.model, sizeof _raw->idata.model), qint64(_raw->other.timestamp)};
    }

    // The embedded preview, when the file records one that lies within it.
    std::optional<Preview> embeddedPreview() {
        const libraw_thumbnail_t& thumbnail = _raw->thumbnail;
        if (thumbnail.tlength == 0 || qint64(thumbnail.tlength) > _fileSize ||
            _api->libraw_unpack_thumb(_raw) != LIBRAW_SUCCESS || thumbnail.thumb == nullptr) {
            return std::nullopt;
        }
        Preview preview;
        preview.flip = flip();
        if (thumbnail.tformat == LIBRAW_THUMBNAIL_JPEG) {
            preview.jpeg = QByteArray(thumbnail.thumb, thumbnail.tlength);
            return preview;
        }
        if (thumbnail.tformat != LIBRAW_THUMBNAIL_BITMAP ||
            !PictureFile::fitsAllocationLimit(QSize(thumbnail.twidth, thumbnail.theight), 4)) {
            return std::nullopt;
        }
        int error = 0;
        preview.pixels = bitmap(_api->libraw_dcraw_make_mem_thumb(_raw, &error));
        return preview.pixels.isNull() ? std::nullopt : std::optional(preview);
    }

    // The raw data decoded at half size, turned upright by LibRaw; null when
    // it cannot be or would take more memory than a picture may.
    QImage halfSize() {
        const QSize rawSize(_raw->sizes.raw_width, _raw->sizes.raw_height);
        // The raw samples (two bytes each) and, at half size, four channels of
        // two bytes for a quarter of them: four bytes a raw pixel in all.
        if (!PictureFile::fitsAllocationLimit(rawSize, 4)) {
            return {};
        }
        _raw->params.half_size = 1;
        _raw->params.use_camera_wb = 1;
        _raw->params.output_bps = 8;
        _raw->params.max_raw_memory_mb = unsigned(PictureFile::allocationLimitBytes() / (1024 * 1024));
        if (_api->libraw_unpack(_raw) != LIBRAW_SUCCESS ||
            _api->libraw_dcraw_process(_raw) != LIBRAW_SUCCESS) {
            return {};
        }
        int error = 0;
        return bitmap(_api->libraw_dcraw_make_mem_image(_raw, &error));
    }

private:
    // The 8-bit RGB or grey pixels of a processed image, which is then freed.
    QImage bitmap(libraw_processed_image_t* processed) const {
        if (processed == nullptr) {
            return {};
        }
        const std::unique_ptr<libraw_processed_image_t, void (*)(libraw_processed_image_t*)> owner(
            processed, _api->libraw_dcraw_clear_mem);
        const int width = processed->width;
        const int height = processed->height;
        const int colors = processed->colors;
        if (processed->type != LIBRAW_IMAGE_BITMAP || processed->bits != 8 || (colors != 3 && colors != 1) ||
            width <= 0 || height <= 0 || qint64(width) * height * colors > qint64(processed->data_size)) {
            return {};
        }
        const QImage view(processed->data, width, height, width * colors,
                          colors == 3 ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
        return view.copy();
    }

    const RawApi* _api;
    libraw_data_t* _raw = nullptr;
    qint64 _fileSize = 0;
};

// The size of a preview as shown.
QSize shownSize(const Preview& preview) {
    QSize size = preview.pixels.size();
    if (!preview.jpeg.isEmpty()) {
        QBuffer buffer;
        buffer.setData(preview.jpeg);
        buffer.open(QIODevice::ReadOnly);
        size = QImageReader(&buffer, "jpeg").size();
    }
    if (isQuarterTurn(preview.flip)) {
        size.transpose();
    }
    return size;
}

} // namespace

const QStringList& extensions() {
    static const QStringList list = {
        QStringLiteral("3fr"), QStringLiteral("ari"), QStringLiteral("arw"), QStringLiteral("bay"),
        QStringLiteral("cr2"), QStringLiteral("cr3"), QStringLiteral("crw"), QStringLiteral("dcr"),
        QStringLiteral("dng"), QStringLiteral("erf"), QStringLiteral("fff"), QStringLiteral("iiq"),
        QStringLiteral("k25"), QStringLiteral("kdc"), QStringLiteral("mef"), QStringLiteral("mos"),
        QStringLiteral("mrw"), QStringLiteral("nef"), QStringLiteral("nrw"), QStringLiteral("orf"),
        QStringLiteral("pef"), QStringLiteral("raf"), QStringLiteral("raw"), QStringLiteral("rw2"),
        QStringLiteral("rwl"), QStringLiteral("sr2"), QStringLiteral("srf"), QStringLiteral("srw"),
        QStringLiteral("x3f")};
    return list;
}

bool isRawExtension(QStringView extension) {
    for (const QString& raw : extensions()) {
        if (extension.compare(raw, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

QSize uprightSize(const QString& path) {
    const RawFile file(path);
    if (!file.isOpen()) {
        return QSize(0, 0);
    }
    QSize size = file.storedSize();
    if (size.isEmpty()) {
        return QSize(0, 0);
    }
    if (isQuarterTurn(file.flip())) {
        size.transpose();
    }
    return size;
}

std::optional<Preview> preview(const QString& path, QSize box) {
    RawFile file(path);
    if (!file.isOpen() || box.isEmpty()) {
        return std::nullopt;
    }
    std::optional<Preview> embedded = file.embeddedPreview();
    if (embedded) {
        // A preview too small for the box still beats raw data whose half size is smaller yet.
        const QSize shown = shownSize(*embedded);
        const QSize half = file.storedSize() / 2;
        if (PictureFile::covers(shown, box) ||
            qint64(shown.width()) * shown.height() >= qint64(half.width()) * half.height()) {
            return embedded;
        }
    }
    QImage decoded = file.halfSize();
    if (!decoded.isNull()) {
        return Preview{{}, std::move(decoded), 0};
    }
    return embedded;
}

Recorded recorded(const QString& path) {
    const RawFile file(path);
    return file.isOpen() ? file.recorded() : Recorded{};
}

QImage upright(QImage image, int flip) {
    if (image.isNull()) {
        return image;
    }
    if ((flip & 3) != 0) {
        image = std::move(image).mirrored((flip & 1) != 0, (flip & 2) != 0);
    }
    if (isQuarterTurn(flip)) {
        // Swapping rows and columns: a quarter turn clockwise, then mirrored.
        image = image.transformed(QTransform().rotate(90)).mirrored(true, false);
    }
    return image;
}

} // namespace RawPicture
