#include "platform/media/HeifPicture.h"

#include "platform/media/HeifApi.h"
#include "platform/media/HeifPlanesDecoder.h"
#include "platform/media/PictureFile.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

namespace HeifPicture {

namespace {

// The brands of files whose primary item is a still picture libheif decodes.
bool isStillBrand(QByteArrayView brand) {
    static constexpr const char* brands[] = {"mif1", "mif2", "heic", "heix", "heim", "heis",
                                             "msf1", "hevc", "hevx", "avif", "avis"};
    for (const char* known : brands) {
        if (brand == QByteArrayView(known, 4)) {
            return true;
        }
    }
    return false;
}

// The brands an ftyp box at the start of head names (major and compatible),
// at most the box's size.
std::vector<QByteArrayView> brandsOf(QByteArrayView head) {
    std::vector<QByteArrayView> brands;
    if (head.size() < 16 || head.sliced(4, 4) != "ftyp") {
        return brands;
    }
    const qint64 boxSize =
        (qint64(quint8(head[0])) << 24) | (quint8(head[1]) << 16) | (quint8(head[2]) << 8) | quint8(head[3]);
    brands.push_back(head.sliced(8, 4));
    const qint64 end = std::min<qint64>(boxSize, head.size());
    for (qint64 at = 16; at + 4 <= end; at += 4) {
        brands.push_back(head.sliced(at, 4));
    }
    return brands;
}

// Whether the file's brands promise HEVC pictures and no AV1 ones: only then
// may its pictures be read through the planes decoder, which knows HEVC alone
// (an AV1 picture would come back from libheif's own decoder, in real RGB).
bool codedInHevcOnly(QByteArrayView head) {
    static constexpr const char* hevc[] = {"heic", "heix", "heim", "heis", "hevc", "hevx"};
    bool any = false;
    for (const QByteArrayView brand : brandsOf(head)) {
        if (brand == "avif" || brand == "avis") {
            return false;
        }
        for (const char* known : hevc) {
            any = any || brand == QByteArrayView(known, 4);
        }
    }
    return any;
}

// One file opened by libheif, with its primary image.
class HeifFile {
public:
    // With planes, HEVC pictures decode through the planes decoder and must be
    // read with codedPlanesReduced().
    explicit HeifFile(const QString& path, std::optional<HeifPlanesDecoder::Use> planes = std::nullopt)
        : _api(HeifApi::load()) {
        if (_api == nullptr) {
            return;
        }
        _fd = PictureFile::openRegular(path);
        char head[64];
        const ssize_t headSize = _fd < 0 ? -1 : ::pread(_fd, head, sizeof head, 0);
        if (headSize <= 0 || !looksLikeHeif(QByteArrayView(head, headSize))) {
            return;
        }
        _codedInHevcOnly = codedInHevcOnly(QByteArrayView(head, headSize));
        struct stat info {};
        ::fstat(_fd, &info);
        _size = info.st_size;
        _context = _api->heif_context_alloc();
        if (_context != nullptr && planes && !HeifPlanesDecoder::registerOn(*_api, _context, *planes)) {
            return;
        }
        // libheif reads the boxes it needs through the descriptor: the coded
        // pixels are read only to decode them, and only the images decoded.
        if (_context == nullptr ||
            _api->heif_context_read_from_reader(_context, &kReader, this, nullptr).code != heif_error_Ok ||
            _api->heif_context_get_primary_image_handle(_context, &_primary).code != heif_error_Ok) {
            _primary = nullptr;
        }
    }
    ~HeifFile() {
        if (_primary != nullptr) {
            _api->heif_image_handle_release(_primary);
        }
        if (_context != nullptr) {
            _api->heif_context_free(_context);
        }
        if (_fd >= 0) {
            ::close(_fd);
        }
    }
    HeifFile(const HeifFile&) = delete;
    HeifFile& operator=(const HeifFile&) = delete;

    const HeifApi* api() const { return _api; }
    heif_image_handle* primary() const { return _primary; }

    // The size of an image as shown (libheif reports it turned by the container).
    QSize sizeOf(const heif_image_handle* handle) const {
        return QSize(_api->heif_image_handle_get_width(handle), _api->heif_image_handle_get_height(handle));
    }

    // The smallest stored thumbnail that covers box, or null; released by the caller.
    heif_image_handle* thumbnailCovering(QSize box) const {
        const int count = _api->heif_image_handle_get_number_of_thumbnails(_primary);
        if (count <= 0) {
            return nullptr;
        }
        std::vector<heif_item_id> ids(static_cast<size_t>(count));
        const int listed = _api->heif_image_handle_get_list_of_thumbnail_IDs(_primary, ids.data(), count);
        heif_image_handle* best = nullptr;
        for (int i = 0; i < listed; ++i) {
            heif_image_handle* candidate = nullptr;
            if (_api->heif_image_handle_get_thumbnail(_primary, ids[static_cast<size_t>(i)], &candidate)
                    .code != heif_error_Ok) {
                continue;
            }
            const QSize size = sizeOf(candidate);
            if (PictureFile::covers(size, box) &&
                (best == nullptr || size.width() * qint64(size.height()) <
                                        sizeOf(best).width() * qint64(sizeOf(best).height()))) {
                std::swap(best, candidate);
            }
            if (candidate != nullptr) {
                _api->heif_image_handle_release(candidate);
            }
        }
        return best;
    }

    // The image of handle decoded as shown and scaled to box; null when it
    // cannot be, or would make more pixels than a picture may have.
    QImage decode(const heif_image_handle* handle, QSize box) const {
        const QSize size = sizeOf(handle);
        if (!PictureFile::fitsAllocationLimit(size, 4)) {
            return {};
        }
        // A grid of tiles is assembled at the size its own descriptor claims,
        // which libheif allocates (and clears) before decoding a tile, even
        // when it is far larger than the size the picture states: no side
        // may be longer than the stated picture's longer side.
        _api->heif_context_set_maximum_image_size_limit(_context, std::max(size.width(), size.height()) + 1);
        const bool alpha = _api->heif_image_handle_has_alpha_channel(handle) != 0;
        // A reduction of an opaque 8-bit picture comes from its luma and
        // chroma planes, averaged down before any pixel is turned into RGB:
        // the whole picture is never converted.
        if (!alpha && box.width() < size.width() && box.height() < size.height() &&
            _api->heif_image_handle_get_luma_bits_per_pixel(handle) == 8) {
            if (std::optional<QImage> reduced = decodeReduced(handle, box)) {
                return *reduced;
            }
        }
        heif_image* image = nullptr;
        // Default options: libheif applies the container's rotation, mirroring and crop.
        if (_api->heif_decode_image(handle, &image, heif_colorspace_RGB,
                                    alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                                    nullptr)
                .code != heif_error_Ok) {
            return {};
        }
        const std::unique_ptr<heif_image, void (*)(const heif_image*)> owner(image, _api->heif_image_release);
        int stride = 0;
        const uint8_t* pixels = _api->heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
        const int width = _api->heif_image_get_width(image, heif_channel_interleaved);
        const int height = _api->heif_image_get_height(image, heif_channel_interleaved);
        if (pixels == nullptr || width <= 0 || height <= 0 || stride < width * (alpha ? 4 : 3)) {
            return {};
        }
        const QImage decoded(pixels, width, height, stride,
                             alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
        return PictureFile::scaledCopy(decoded, box);
    }

    // Whether the picture of handle may be read as its coded planes: HEVC,
    // opaque, 8-bit, no larger than the picture.
    bool readsAsPlanes(const heif_image_handle* handle, QSize box) const {
        const QSize size = sizeOf(handle);
        return _codedInHevcOnly && box.width() <= size.width() && box.height() <= size.height() &&
               _api->heif_image_handle_has_alpha_channel(handle) == 0 &&
               _api->heif_image_handle_get_luma_bits_per_pixel(handle) == 8;
    }

    // Through a file opened with the planes decoder: the picture of handle
    // reduced to box from the planes as coded (see HeifPlanesDecoder.h); none
    // when it cannot be read that way.
    std::optional<QImage> codedPlanesReduced(const heif_image_handle* handle, QSize box) const {
        const QSize size = sizeOf(handle);
        if (!PictureFile::fitsAllocationLimit(size, 3)) {
            return std::nullopt;
        }
        _api->heif_context_set_maximum_image_size_limit(_context, std::max(size.width(), size.height()) + 1);
        heif_image* image = nullptr;
        if (_api->heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_444, nullptr).code !=
            heif_error_Ok) {
            return std::nullopt;
        }
        const std::unique_ptr<heif_image, void (*)(const heif_image*)> owner(image, _api->heif_image_release);
        std::optional<PictureFile::YCbCrPlanes> planes = matrixOf(handle, image);
        if (!planes) {
            return std::nullopt;
        }
        planes->luma = _api->heif_image_get_plane_readonly(image, heif_channel_R, &planes->lumaStride);
        planes->cb = _api->heif_image_get_plane_readonly(image, heif_channel_G, &planes->cbStride);
        planes->cr = _api->heif_image_get_plane_readonly(image, heif_channel_B, &planes->crStride);
        planes->lumaSize = QSize(_api->heif_image_get_width(image, heif_channel_R),
                                 _api->heif_image_get_height(image, heif_channel_R));
        planes->chromaSize = planes->lumaSize;
        for (const heif_channel chroma : {heif_channel_G, heif_channel_B}) {
            if (QSize(_api->heif_image_get_width(image, chroma),
                      _api->heif_image_get_height(image, chroma)) != planes->lumaSize) {
                return std::nullopt;
            }
        }
        if (planes->luma == nullptr || planes->cb == nullptr || planes->cr == nullptr ||
            planes->lumaStride < planes->lumaSize.width() || planes->cbStride < planes->lumaSize.width() ||
            planes->crStride < planes->lumaSize.width() || box.width() > planes->lumaSize.width() ||
            box.height() > planes->lumaSize.height()) {
            return std::nullopt;
        }
        return PictureFile::reducedFromYCbCr(*planes, box);
    }

private:
    // The luma weights of the matrix an nclx profile names, as libheif
    // applies them (BT.601 when unspecified); none for other matrices.
    static std::optional<std::pair<double, double>> lumaWeights(const heif_color_profile_nclx& nclx) {
        switch (nclx.matrix_coefficients) {
        case heif_matrix_coefficients_ITU_R_BT_709_5:
            return std::pair(0.2126, 0.0722);
        case heif_matrix_coefficients_unspecified:
        case heif_matrix_coefficients_ITU_R_BT_470_6_System_B_G:
        case heif_matrix_coefficients_ITU_R_BT_601_6:
            return std::pair(0.299, 0.114);
        case heif_matrix_coefficients_ITU_R_BT_2020_2_non_constant_luminance:
            return std::pair(0.2627, 0.0593);
        default:
            return std::nullopt;
        }
    }

    // The colour matrix of image (its own profile, else the handle's); BT.601
    // in full range when neither states one, as libheif converts such pictures.
    std::optional<PictureFile::YCbCrPlanes> matrixOf(const heif_image_handle* handle,
                                                     const heif_image* image) const {
        heif_color_profile_nclx* nclx = nullptr;
        if (_api->heif_image_get_nclx_color_profile(image, &nclx).code != heif_error_Ok || nclx == nullptr) {
            nclx = nullptr;
            if (_api->heif_image_handle_get_nclx_color_profile(handle, &nclx).code != heif_error_Ok) {
                nclx = nullptr;
            }
        }
        PictureFile::YCbCrPlanes planes;
        if (nclx == nullptr) {
            return planes;
        }
        const std::optional<std::pair<double, double>> weights = lumaWeights(*nclx);
        planes.fullRange = nclx->full_range_flag != 0;
        _api->heif_nclx_color_profile_free(nclx);
        if (!weights) {
            return std::nullopt;
        }
        std::tie(planes.kr, planes.kb) = *weights;
        return planes;
    }

    // The picture of handle reduced to box from its 4:2:0 planes; none when
    // its colours are of a kind left to libheif's own conversion, a null
    // image when it cannot be decoded.
    std::optional<QImage> decodeReduced(const heif_image_handle* handle, QSize box) const {
        heif_image* image = nullptr;
        if (_api->heif_decode_image(handle, &image, heif_colorspace_YCbCr, heif_chroma_420, nullptr).code !=
            heif_error_Ok) {
            return QImage();
        }
        const std::unique_ptr<heif_image, void (*)(const heif_image*)> owner(image, _api->heif_image_release);
        std::optional<PictureFile::YCbCrPlanes> planes = matrixOf(handle, image);
        if (!planes) {
            return std::nullopt;
        }
        planes->luma = _api->heif_image_get_plane_readonly(image, heif_channel_Y, &planes->lumaStride);
        planes->cb = _api->heif_image_get_plane_readonly(image, heif_channel_Cb, &planes->cbStride);
        planes->cr = _api->heif_image_get_plane_readonly(image, heif_channel_Cr, &planes->crStride);
        planes->lumaSize = QSize(_api->heif_image_get_width(image, heif_channel_Y),
                                 _api->heif_image_get_height(image, heif_channel_Y));
        planes->chromaSize = QSize(_api->heif_image_get_width(image, heif_channel_Cb),
                                   _api->heif_image_get_height(image, heif_channel_Cb));
        const QSize crSize = QSize(_api->heif_image_get_width(image, heif_channel_Cr),
                                   _api->heif_image_get_height(image, heif_channel_Cr));
        // Planes that are not what 4:2:0 promises are not read.
        if (crSize != planes->chromaSize || planes->chromaSize.width() * 2 < planes->lumaSize.width() ||
            planes->chromaSize.height() * 2 < planes->lumaSize.height() ||
            planes->lumaStride < planes->lumaSize.width() || planes->cbStride < planes->chromaSize.width() ||
            planes->crStride < planes->chromaSize.width()) {
            return QImage();
        }
        return PictureFile::reducedFromYCbCr(*planes, box);
    }

    static int64_t position(void* self) { return static_cast<HeifFile*>(self)->_position; }
    static int read(void* data, size_t size, void* self) {
        auto* file = static_cast<HeifFile*>(self);
        size_t done = 0;
        while (done < size) {
            const ssize_t n = ::pread(file->_fd, static_cast<char*>(data) + done, size - done,
                                      file->_position + off_t(done));
            if (n <= 0) {
                return 1;
            }
            done += static_cast<size_t>(n);
        }
        file->_position += off_t(size);
        return 0;
    }
    static int seek(int64_t position, void* self) {
        auto* file = static_cast<HeifFile*>(self);
        if (position < 0 || position > file->_size) {
            return 1;
        }
        file->_position = position;
        return 0;
    }
    // The file is complete: a box claiming more than it holds is cut short.
    static heif_reader_grow_status waitForFileSize(int64_t target, void* self) {
        return target <= static_cast<HeifFile*>(self)->_size ? heif_reader_grow_status_size_reached
                                                             : heif_reader_grow_status_size_beyond_eof;
    }
    static constexpr heif_reader kReader{1, position, read, seek, waitForFileSize};

    const HeifApi* _api;
    int _fd = -1;
    bool _codedInHevcOnly = false;
    off_t _size = 0;
    off_t _position = 0;
    heif_context* _context = nullptr;
    heif_image_handle* _primary = nullptr;
};

} // namespace

const QStringList& extensions() {
    static const QStringList list = {QStringLiteral("heic"), QStringLiteral("heif"), QStringLiteral("hif"),
                                     QStringLiteral("avif")};
    return list;
}

bool isHeifExtension(QStringView extension) {
    for (const QString& heif : extensions()) {
        if (extension.compare(heif, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

bool looksLikeHeif(QByteArrayView head) {
    const std::vector<QByteArrayView> brands = brandsOf(head);
    return std::any_of(brands.begin(), brands.end(), isStillBrand);
}

QSize uprightSize(const QString& path) {
    const HeifFile file(path);
    if (file.primary() == nullptr) {
        return QSize(0, 0);
    }
    const QSize size = file.sizeOf(file.primary());
    return size.isValid() && !size.isEmpty() ? size : QSize(0, 0);
}

QImage thumbnail(const QString& path, QSize box) {
    if (box.isEmpty()) {
        return {};
    }
    const HeifFile file(path);
    if (file.primary() == nullptr) {
        return {};
    }
    if (heif_image_handle* stored = file.thumbnailCovering(box)) {
        QImage image = file.decode(stored, box);
        file.api()->heif_image_handle_release(stored);
        if (!image.isNull()) {
            return image;
        }
    }
    if (file.readsAsPlanes(file.primary(), box)) {
        const QSize size = file.sizeOf(file.primary());
        const bool byHalf = box.width() * 2 <= size.width() && box.height() * 2 <= size.height();
        const HeifFile planes(path, byHalf ? HeifPlanesDecoder::Use::Reduced : HeifPlanesDecoder::Use::Whole);
        if (planes.primary() != nullptr) {
            if (std::optional<QImage> image = planes.codedPlanesReduced(planes.primary(), box)) {
                return *image;
            }
        }
    }
    return file.decode(file.primary(), box);
}

QByteArray exifBlock(const QString& path) {
    const HeifFile file(path);
    if (file.primary() == nullptr) {
        return {};
    }
    const HeifApi* api = file.api();
    heif_item_id id = 0;
    if (api->heif_image_handle_get_list_of_metadata_block_IDs(file.primary(), "Exif", &id, 1) < 1) {
        return {};
    }
    // A few hundred kilobytes at most: anything larger is no camera's.
    const size_t size = api->heif_image_handle_get_metadata_size(file.primary(), id);
    if (size <= 4 || size > 1024 * 1024) {
        return {};
    }
    QByteArray block(qsizetype(size), Qt::Uninitialized);
    if (api->heif_image_handle_get_metadata(file.primary(), id, block.data()).code != heif_error_Ok) {
        return {};
    }
    // The block starts with the offset of the TIFF header after those four bytes.
    const quint32 offset = (quint32(quint8(block[0])) << 24) | (quint32(quint8(block[1])) << 16) |
                           (quint32(quint8(block[2])) << 8) | quint32(quint8(block[3]));
    if (offset >= size - 4) {
        return {};
    }
    return QByteArrayLiteral("Exif\0\0") + block.sliced(4 + qsizetype(offset));
}

} // namespace HeifPicture
