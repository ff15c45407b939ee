#include "support/CameraFixtures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <vector>

namespace CameraFixtures {

namespace {

QByteArray jpegWithOrientation(const QImage& image, int orientation) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    if (orientation == 0) {
        return jpeg;
    }
    // An APP1 segment with a one-entry TIFF directory: the orientation.
    QByteArray tiff("MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01", 18);
    tiff += char(0);
    tiff += char(orientation);
    tiff += QByteArray(6, '\0');
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(exif.size()) + 2;
    return jpeg.left(2) + QByteArray("\xff\xe1", 2) + char(length >> 8) + char(length & 0xff) + exif +
           jpeg.mid(2);
}

// Replaces the file's pixel-information property (which heif-enc writes for
// every image and readers need not) by a rotation property padded to the
// same length, so that no other box or offset moves.
bool addRotation(QByteArray& file, int quarterTurns) {
    const qsizetype at = file.indexOf("pixi");
    if (at < 4 || qFromBigEndian<quint32>(file.constData() + at - 4) != 16) {
        return false;
    }
    file.replace(at - 4, 16, QByteArray("\0\0\0\x10irot", 8) + char(quarterTurns & 3) + QByteArray(7, '\0'));
    return true;
}

// A TIFF directory being written: entries in ascending tag order, values
// longer than four bytes placed after it.
class Directory {
public:
    void add(quint16 tag, quint16 type, quint32 count, const QByteArray& value) {
        _entries.push_back({tag, type, count, value});
    }
    void addShort(quint16 tag, std::initializer_list<quint16> values) {
        QByteArray bytes;
        for (quint16 v : values) {
            bytes += le16(v);
        }
        add(tag, 3, quint32(values.size()), bytes);
    }
    void addLong(quint16 tag, quint32 value) { add(tag, 4, 1, le32(value)); }
    void addAscii(quint16 tag, const char* text) {
        const QByteArray bytes = QByteArray(text) + '\0';
        add(tag, 2, quint32(bytes.size()), bytes);
    }
    qsizetype size() const {
        qsizetype size = 2 + 12 * qsizetype(_entries.size()) + 4;
        for (const Entry& entry : _entries) {
            size += entry.value.size() > 4 ? entry.value.size() + (entry.value.size() & 1) : 0;
        }
        return size;
    }
    // The directory as written at offset (the next directory: none).
    QByteArray bytes(quint32 offset) const {
        QByteArray head = le16(quint16(_entries.size()));
        QByteArray tail;
        quint32 extra = offset + quint32(2 + 12 * _entries.size() + 4);
        for (const Entry& entry : _entries) {
            head += le16(entry.tag) + le16(entry.type) + le32(entry.count);
            if (entry.value.size() <= 4) {
                head += entry.value + QByteArray(4 - entry.value.size(), '\0');
            } else {
                head += le32(extra + quint32(tail.size()));
                tail += entry.value;
                if (entry.value.size() & 1) {
                    tail += '\0';
                }
            }
        }
        return head + le32(0) + tail;
    }

    static QByteArray le16(quint16 v) {
        QByteArray b(2, '\0');
        qToLittleEndian(v, b.data());
        return b;
    }
    static QByteArray le32(quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    }

private:
    struct Entry {
        quint16 tag;
        quint16 type;
        quint32 count;
        QByteArray value;
    };
    std::vector<Entry> _entries;
};

} // namespace

QString heif(const QString& path, const QImage& image, const HeifOptions& options) {
    QTemporaryDir work;
    const QString input = work.filePath(QStringLiteral("input.jpg"));
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly) ||
            !file.write(jpegWithOrientation(image, options.exifOrientation))) {
            ADD_FAILURE() << "cannot write " << input.toStdString();
            return {};
        }
    }
    QStringList arguments{QStringLiteral("-q"), QStringLiteral("90")};
    if (options.avif) {
        arguments << QStringLiteral("-A");
    }
    if (options.thumbnailSide > 0) {
        arguments << QStringLiteral("-t") << QString::number(options.thumbnailSide);
    }
    const QString output =
        work.filePath(options.avif ? QStringLiteral("out.avif") : QStringLiteral("out.heic"));
    arguments << QStringLiteral("-o") << output << input;
    QProcess encoder;
    encoder.start(QStringLiteral("heif-enc"), arguments);
    if (!encoder.waitForFinished(60000) || encoder.exitStatus() != QProcess::NormalExit ||
        encoder.exitCode() != 0) {
        ADD_FAILURE() << "heif-enc failed: " << encoder.readAllStandardError().toStdString();
        return {};
    }
    QFile encoded(output);
    if (!encoded.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "heif-enc wrote nothing";
        return {};
    }
    QByteArray bytes = encoded.readAll();
    if (options.quarterTurnsAnticlockwise != 0 && !addRotation(bytes, options.quarterTurnsAnticlockwise)) {
        ADD_FAILURE() << "no pixel-information property to replace";
        return {};
    }
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        ADD_FAILURE() << "cannot write " << path.toStdString();
        return {};
    }
    return path;
}

QByteArray dng(const DngOptions& options) {
    const int width = options.rawSize.width();
    const int height = options.rawSize.height();
    QByteArray raw;
    raw.reserve(qsizetype(width) * height * 2);
    for (int i = 0; i < width * height; ++i) {
        raw += Directory::le16(options.rawLevel);
    }

    QSize previewSize;
    if (!options.previewJpeg.isEmpty()) {
        previewSize = QImage::fromData(options.previewJpeg, "JPEG").size();
    }
    auto identity = [] {
        QByteArray matrix;
        for (int i = 0; i < 9; ++i) {
            matrix += Directory::le32(i % 4 == 0 ? 1 : 0) + Directory::le32(1);
        }
        return matrix;
    };

    // Laid out as: header, first directory, raw directory, preview, raw data.
    Directory first;
    Directory rawDirectory;
    const auto build = [&](quint32 rawDirectoryOffset, quint32 previewOffset, quint32 rawOffset) {
        first = Directory();
        rawDirectory = Directory();
        if (!options.previewJpeg.isEmpty()) {
            first.addLong(254, 1);
            first.addLong(256, quint32(previewSize.width()));
            first.addLong(257, quint32(previewSize.height()));
            first.addShort(258, {8, 8, 8});
            first.addShort(259, {7});
            first.addShort(262, {6});
        }
        first.addAscii(271, "QVMB");
        first.addAscii(272, "Test Camera");
        if (!options.previewJpeg.isEmpty()) {
            first.addLong(273, previewOffset);
        }
        first.addShort(274, {options.orientation});
        if (!options.previewJpeg.isEmpty()) {
            first.addShort(277, {3});
            first.addLong(278, quint32(previewSize.height()));
            first.addLong(279, options.recordedPreviewLength != 0 ? options.recordedPreviewLength
                                                                  : quint32(options.previewJpeg.size()));
        }
        first.addLong(330, rawDirectoryOffset);
        first.add(50706, 1, 4, QByteArray("\x01\x04\x00\x00", 4));
        first.addAscii(50708, "QVMB Test Camera");
        first.add(50721, 10, 9, identity());
        first.addShort(50778, {21});

        rawDirectory.addLong(254, 0);
        rawDirectory.addLong(256, quint32(width));
        rawDirectory.addLong(257, quint32(height));
        rawDirectory.addShort(258, {16});
        rawDirectory.addShort(259, {1});
        rawDirectory.addShort(262, {32803});
        rawDirectory.addLong(273, rawOffset);
        rawDirectory.addShort(277, {1});
        rawDirectory.addLong(278, quint32(height));
        rawDirectory.addLong(279, options.recordedRawLength != 0 ? options.recordedRawLength
                                                                 : quint32(raw.size()));
        rawDirectory.addShort(33421, {2, 2});
        rawDirectory.add(33422, 1, 4, QByteArray("\x00\x01\x01\x02", 4));
        rawDirectory.addLong(50717, 65535);
    };
    build(0, 0, 0);
    const quint32 rawDirectoryOffset = quint32(8 + first.size());
    const quint32 previewOffset = rawDirectoryOffset + quint32(rawDirectory.size());
    const quint32 rawOffset = previewOffset + quint32(options.previewJpeg.size());
    build(rawDirectoryOffset, previewOffset, rawOffset);
    return QByteArray("II\x2a\0\x08\0\0\0", 8) + first.bytes(8) + rawDirectory.bytes(rawDirectoryOffset) +
           options.previewJpeg + raw;
}

namespace {

QByteArray jpegBytes(const QImage& image, int quality) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return jpeg;
}

// Where the segments after the start of the file and the EXIF segment begin.
qsizetype afterExif(const QByteArray& jpeg) {
    qsizetype at = 2;
    while (at + 4 <= jpeg.size() && quint8(jpeg[at]) == 0xff) {
        const quint8 marker = quint8(jpeg[at + 1]);
        const int length = qFromBigEndian<quint16>(jpeg.constData() + at + 2);
        if (marker == 0xe1) {
            return at + 2 + length;
        }
        if (marker < 0xe0 || marker > 0xef) {
            break;
        }
        at += 2 + length;
    }
    return 2;
}

void putU16(QByteArray& bytes, quint16 value) {
    char le[2];
    qToLittleEndian(value, le);
    bytes.append(le, 2);
}

void putU32(QByteArray& bytes, quint32 value) {
    char le[4];
    qToLittleEndian(value, le);
    bytes.append(le, 4);
}

} // namespace

QByteArray withMultiPicture(const QByteArray& jpeg, const QByteArray& preview) {
    // The index: a little-endian TIFF header and one directory of three
    // entries (version, number of images, the image list), then the list.
    constexpr int kListAt = 8 + 2 + 3 * 12 + 4;
    constexpr int kIndexLength = kListAt + 32;
    const qsizetype insertAt = afterExif(jpeg);
    const qsizetype segmentLength = 2 + 4 + kIndexLength;
    const qsizetype tiffStart = insertAt + 2 + 2 + 4;
    const qsizetype pictureLength = jpeg.size() + 2 + segmentLength;

    QByteArray index("II*\0", 4);
    putU32(index, 8);
    putU16(index, 3);
    putU16(index, 0xb000); // version "0100"
    putU16(index, 7);
    putU32(index, 4);
    index.append("0100", 4);
    putU16(index, 0xb001); // number of images
    putU16(index, 4);
    putU32(index, 1);
    putU32(index, 2);
    putU16(index, 0xb002); // the image list
    putU16(index, 7);
    putU32(index, 32);
    putU32(index, kListAt);
    putU32(index, 0); // no further directory
    // The picture: baseline primary image, at the start of the file.
    putU32(index, 0x20030000);
    putU32(index, quint32(pictureLength));
    putU32(index, 0);
    putU32(index, 0);
    // The preview: a large (full HD) thumbnail, counted from the index.
    putU32(index, 0x00010002);
    putU32(index, quint32(preview.size()));
    putU32(index, quint32(pictureLength - tiffStart));
    putU32(index, 0);

    QByteArray segment("\xff\xe2", 2);
    segment += char(segmentLength >> 8);
    segment += char(segmentLength & 0xff);
    segment += QByteArray("MPF\0", 4) + index;
    return jpeg.left(insertAt) + segment + jpeg.mid(insertAt) + preview;
}

QString cameraJpeg(const QString& path, const QImage& picture, const CameraJpegOptions& options) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.write(jpegBytes(picture, 90))) {
        ADD_FAILURE() << "cannot write " << path.toStdString();
        return {};
    }
    file.close();
    QTemporaryDir work;
    QStringList arguments{QStringLiteral("-q"), QStringLiteral("-overwrite_original"), QStringLiteral("-n")};
    if (options.orientation != 0) {
        arguments << QStringLiteral("-IFD0:Orientation=%1").arg(options.orientation);
    }
    if (!options.exifThumbnail.isNull()) {
        const QString thumbnail = work.filePath(QStringLiteral("thumbnail.jpg"));
        options.exifThumbnail.save(thumbnail, "JPEG", 90);
        arguments << QStringLiteral("-ThumbnailImage<=") + thumbnail;
        if (options.thumbnailOrientation != 0) {
            arguments << QStringLiteral("-IFD1:Orientation=%1").arg(options.thumbnailOrientation);
        }
    }
    if (arguments.size() > 3) {
        QProcess exiftool;
        exiftool.start(QStringLiteral("exiftool"), arguments << path);
        if (!exiftool.waitForFinished(60000) || exiftool.exitStatus() != QProcess::NormalExit ||
            exiftool.exitCode() != 0) {
            ADD_FAILURE() << "exiftool failed: " << exiftool.readAllStandardError().toStdString();
            return {};
        }
    }
    if (!options.preview.isNull()) {
        QByteArray preview = jpegBytes(options.preview, 85);
        if (options.previewOrientation != 0) {
            preview = jpegWithOrientation(options.preview, options.previewOrientation);
        }
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        const QByteArray jpeg = file.readAll();
        file.close();
        if (!file.open(QIODevice::WriteOnly) || !file.write(withMultiPicture(jpeg, preview))) {
            return {};
        }
    }
    return path;
}

} // namespace CameraFixtures
