#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>

#include <vector>

// Pictures made on the spot for thumbnail tests.

// A picture whose left half is red and right half blue.
inline QImage halves(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    return image;
}

inline QByteArray jpegOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

// The JPEG with an EXIF segment that records orientation (6: turn a quarter clockwise to show).
inline QByteArray withOrientation(const QByteArray& jpeg, quint16 orientation) {
    const auto u16 = [](quint16 v) {
        return QByteArray(1, char(v >> 8)) + char(v & 0xff);
    };
    const auto u32 = [&](quint32 v) {
        return u16(quint16(v >> 16)) + u16(quint16(v));
    };
    const QByteArray tiff = QByteArray("MM\x00\x2a", 4) + u32(8) + u16(1) + u16(0x0112) + u16(3) + u32(1) +
                            u16(orientation) + u16(0) + u32(0);
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    return jpeg.left(2) + QByteArray("\xff\xe1", 2) + u16(quint16(exif.size() + 2)) + exif + jpeg.mid(2);
}

inline bool isRed(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}
inline bool isBlue(QRgb c) {
    return qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60;
}
inline bool isGreen(QRgb c) {
    return qGreen(c) > 200 && qRed(c) < 60 && qBlue(c) < 60;
}

inline QImage solid(QSize size, Qt::GlobalColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A Lightroom preview file as Lightroom writes it: a "header" section whose
// table states the levels' sizes, then a section per level holding its JPEG,
// each section padded to 16 bytes.
inline QByteArray lightroomPreview(const std::vector<QImage>& levels) {
    const auto u64 = [](quint64 v) {
        QByteArray bytes(8, '\0');
        for (int i = 7; i >= 0; --i, v >>= 8) {
            bytes[i] = char(v & 0xff);
        }
        return bytes;
    };
    const auto section = [&](const QByteArray& name, const QByteArray& data) {
        const qsizetype padding = (16 - data.size() % 16) % 16;
        return QByteArray("AgHg\x00\x20\x01\x00", 8) + u64(quint64(data.size())) + u64(quint64(padding)) +
               name.leftJustified(8, '\0') + data + QByteArray(padding, '\0');
    };
    QByteArray table = "pyramid = {\n\tcolorProfile = \"AgColorSpaceAdobeRGB\",\n\tlevels = {\n";
    for (const QImage& level : levels) {
        table += "\t\t{\n\t\t\theight = " + QByteArray::number(level.height()) +
                 ",\n\t\t\twidth = " + QByteArray::number(level.width()) + ",\n\t\t},\n";
    }
    table += "\t},\n\tquality = \"standard\",\n\tuuid = \"ABCD\",\n}\n";
    QByteArray file = section("header", table);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        file += section("level_" + QByteArray::number(qsizetype(i + 1)), jpegOf(levels[i]));
    }
    return file;
}
