#include "platform/media/PictureDetails.h"

#include "platform/media/HeifPicture.h"
#include "platform/media/PictureFile.h"
#include "platform/media/RawPicture.h"
#include "platform/system/Path.h"

#include <QByteArray>

#include <libexif/exif-data.h>
#include <memory>
#include <unistd.h>

namespace PictureDetails {

namespace {

// A JPEG's EXIF segment lies among the first segments, each at most 64 KiB.
constexpr qsizetype kHeadBytes = 256 * 1024;

QByteArray readHead(const QString& path) {
    const int fd = PictureFile::openRegular(path);
    if (fd < 0) {
        return {};
    }
    QByteArray head(kHeadBytes, Qt::Uninitialized);
    const ssize_t got = ::pread(fd, head.data(), size_t(head.size()), 0);
    ::close(fd);
    head.resize(got > 0 ? qsizetype(got) : 0);
    return head;
}

// An ASCII entry of the EXIF, up to its first NUL; empty when absent.
QString asciiEntry(ExifContent* content, ExifTag tag) {
    if (content == nullptr) {
        return {};
    }
    const ExifEntry* entry = exif_content_get_entry(content, tag);
    if (entry == nullptr || entry->format != EXIF_FORMAT_ASCII || entry->data == nullptr) {
        return {};
    }
    const auto* text = reinterpret_cast<const char*>(entry->data);
    const qsizetype length = qsizetype(qstrnlen(text, entry->size));
    // Cameras write Latin-1 or UTF-8; UTF-8 that decodes cleanly is taken as such.
    const QByteArray bytes(text, length);
    const QString utf8 = QString::fromUtf8(bytes);
    return (utf8.contains(QChar::ReplacementCharacter) ? QString::fromLatin1(bytes) : utf8).trimmed();
}

// "2023:03:12 14:02:11", the EXIF form of a date and time.
QDateTime exifDateTime(const QString& text) {
    QDateTime when = QDateTime::fromString(text.left(19), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    return when.isValid() ? when : QDateTime();
}

Details fromExif(const QByteArray& data) {
    if (data.isEmpty()) {
        return {};
    }
    const std::unique_ptr<ExifData, void (*)(ExifData*)> exif(
        exif_data_new_from_data(reinterpret_cast<const unsigned char*>(data.constData()),
                                static_cast<unsigned int>(data.size())),
        exif_data_unref);
    if (!exif) {
        return {};
    }
    Details details;
    details.camera = cameraName(asciiEntry(exif->ifd[EXIF_IFD_0], EXIF_TAG_MAKE),
                                asciiEntry(exif->ifd[EXIF_IFD_0], EXIF_TAG_MODEL));
    QString taken = asciiEntry(exif->ifd[EXIF_IFD_EXIF], EXIF_TAG_DATE_TIME_ORIGINAL);
    if (taken.isEmpty()) {
        taken = asciiEntry(exif->ifd[EXIF_IFD_0], EXIF_TAG_DATE_TIME);
    }
    details.taken = exifDateTime(taken);
    return details;
}

} // namespace

QString cameraName(const QString& make, const QString& model) {
    if (model.isEmpty()) {
        return make;
    }
    // "NIKON CORPORATION" with "NIKON D750": the maker's first word is enough.
    const QString makeWord = make.section(QLatin1Char(' '), 0, 0);
    if (make.isEmpty() || model.startsWith(makeWord, Qt::CaseInsensitive)) {
        return model;
    }
    return make + QLatin1Char(' ') + model;
}

Details read(const QString& path) {
    const QStringView extension = Path::extensionView(path);
    if (RawPicture::isRawExtension(extension)) {
        const RawPicture::Recorded recorded = RawPicture::recorded(path);
        Details details;
        details.camera = cameraName(recorded.make, recorded.model);
        if (recorded.taken > 0) {
            details.taken = QDateTime::fromSecsSinceEpoch(recorded.taken);
        }
        return details;
    }
    const QByteArray head = readHead(path);
    if (HeifPicture::looksLikeHeif(QByteArrayView(head).first(std::min<qsizetype>(head.size(), 64)))) {
        return fromExif(HeifPicture::exifBlock(path));
    }
    return fromExif(head);
}

} // namespace PictureDetails
