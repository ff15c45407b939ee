#include "platform/media/JpegPreviews.h"

#include <QBuffer>
#include <QtEndian>

#include <libexif/exif-data.h>
#include <memory>
#include <optional>

namespace JpegPreviews {

namespace {

// The Multi-Picture Format's tags and the types of image that are previews
// of the main picture (not other views of a stereo or panorama set).
constexpr ExifTag kMpEntryTag = static_cast<ExifTag>(0xb002);
constexpr quint32 kLargeThumbnailVga = 0x010001;
constexpr quint32 kLargeThumbnailFullHd = 0x010002;
// The header segments looked at: the EXIF and MPF segments come first.
constexpr int kMaxSegments = 64;

struct Segments {
    QByteArray exif;      // the EXIF segment's TIFF data and header ("Exif\0\0" first)
    QByteArray mpf;       // the MPF segment's TIFF data, without "MPF\0"
    qint64 mpfStart = -1; // where that TIFF data begins in the file
};

using ExifPtr = std::unique_ptr<ExifData, void (*)(ExifData*)>;

// The application segments before the first scan, of the JPEG on device.
std::optional<Segments> readSegments(QIODevice& device) {
    if (!device.seek(0) || device.read(2) != QByteArray("\xff\xd8", 2)) {
        return std::nullopt;
    }
    Segments segments;
    for (int count = 0; count < kMaxSegments; ++count) {
        char byte = 0;
        if (!device.getChar(&byte) || quint8(byte) != 0xff) {
            break;
        }
        // Fill bytes may stand before a marker.
        while (device.getChar(&byte) && quint8(byte) == 0xff) {
        }
        const quint8 marker = quint8(byte);
        if (marker == 0xda || marker == 0xd9) {
            break;
        }
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) {
            continue;
        }
        const QByteArray lengthBytes = device.read(2);
        if (lengthBytes.size() < 2) {
            break;
        }
        const int length = qFromBigEndian<quint16>(lengthBytes.constData());
        if (length < 2) {
            break;
        }
        const qint64 payloadStart = device.pos();
        if (marker == 0xe1 && segments.exif.isEmpty()) {
            const QByteArray payload = device.read(length - 2);
            if (payload.startsWith(QByteArray("Exif\0\0", 6))) {
                segments.exif = payload;
            }
        } else if (marker == 0xe2 && segments.mpf.isEmpty()) {
            const QByteArray payload = device.read(length - 2);
            if (payload.startsWith(QByteArray("MPF\0", 4))) {
                segments.mpf = payload.mid(4);
                segments.mpfStart = payload.size() > 4 ? payloadStart + 4 : -1;
            }
        }
        if (!device.seek(payloadStart + length - 2)) {
            break;
        }
    }
    return segments;
}

ExifPtr load(const QByteArray& exif) {
    ExifPtr data(exif_data_new(), exif_data_unref);
    if (!data) {
        return data;
    }
    // Read what is there, and nothing made up to complete it. Tags libexif
    // does not expect in a directory are kept: an orientation in the
    // thumbnail's directory, the index of a Multi-Picture file.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_load_data(data.get(), reinterpret_cast<const unsigned char*>(exif.constData()),
                        static_cast<unsigned int>(exif.size()));
    return data;
}

// The orientation an IFD states, 0 when none (or none that is valid).
int orientationIn(ExifData* data, ExifIfd ifd) {
    ExifEntry* entry = exif_content_get_entry(data->ifd[ifd], EXIF_TAG_ORIENTATION);
    if (entry == nullptr || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || entry->size < 2) {
        return 0;
    }
    const int value = exif_get_short(entry->data, exif_data_get_byte_order(data));
    return value >= 1 && value <= 8 ? value : 0;
}

// The orientation a JPEG's own EXIF segment states, 0 when none.
int statedOrientation(const QByteArray& jpeg) {
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    const std::optional<Segments> segments = readSegments(buffer);
    if (!segments || segments->exif.isEmpty()) {
        return 0;
    }
    const ExifPtr data = load(segments->exif);
    return data ? orientationIn(data.get(), EXIF_IFD_0) : 0;
}

QByteArray readAt(QIODevice& device, qint64 offset, qint64 length) {
    if (offset < 0 || length <= 0 || length > kLargestPreview || offset + length > device.size() ||
        !device.seek(offset)) {
        return {};
    }
    QByteArray bytes = device.read(length);
    return bytes.size() == length && bytes.startsWith(QByteArray("\xff\xd8", 2)) ? bytes : QByteArray();
}

// The previews an MPF index lists after the main picture. The index is TIFF
// data like EXIF's, read by libexif after the header it expects.
void addMultiPictures(QIODevice& device, const Segments& segments, std::vector<Preview>& previews) {
    if (segments.mpf.isEmpty() || segments.mpfStart < 0) {
        return;
    }
    const ExifPtr data = load(QByteArray("Exif\0\0", 6) + segments.mpf);
    if (!data) {
        return;
    }
    ExifEntry* entries = exif_content_get_entry(data->ifd[EXIF_IFD_0], kMpEntryTag);
    if (entries == nullptr || entries->format != EXIF_FORMAT_UNDEFINED || entries->data == nullptr) {
        return;
    }
    const ExifByteOrder order = exif_data_get_byte_order(data.get());
    // 16 bytes an image: attributes, length, offset, two dependent images.
    for (unsigned int at = 16; at + 16 <= entries->size; at += 16) {
        const unsigned char* entry = entries->data + at;
        const quint32 type = exif_get_long(entry, order) & 0x00ffffff;
        if (type != kLargeThumbnailVga && type != kLargeThumbnailFullHd) {
            continue;
        }
        const qint64 length = exif_get_long(entry + 4, order);
        const qint64 offset = exif_get_long(entry + 8, order);
        // Offsets count from the index's own TIFF header.
        QByteArray jpeg = readAt(device, segments.mpfStart + offset, length);
        if (!jpeg.isEmpty()) {
            const int orientation = statedOrientation(jpeg);
            previews.push_back({Preview::Kind::MultiPicture, std::move(jpeg), orientation});
        }
    }
}

} // namespace

Header read(QIODevice& device) {
    Header header;
    const std::optional<Segments> segments = readSegments(device);
    if (!segments) {
        return header;
    }
    if (!segments->exif.isEmpty()) {
        if (const ExifPtr data = load(segments->exif)) {
            header.orientation = std::max(1, orientationIn(data.get(), EXIF_IFD_0));
            if (data->data != nullptr && data->size > 0) {
                QByteArray jpeg(reinterpret_cast<const char*>(data->data),
                                static_cast<qsizetype>(data->size));
                if (jpeg.startsWith(QByteArray("\xff\xd8", 2))) {
                    header.previews.push_back({Preview::Kind::ExifThumbnail, std::move(jpeg),
                                               orientationIn(data.get(), EXIF_IFD_1)});
                }
            }
        }
    }
    addMultiPictures(device, *segments, header.previews);
    return header;
}

} // namespace JpegPreviews
