#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <vector>

// PNG files taken apart and put together again, for tests of the shared
// thumbnail cache's readers: real bytes from Qt's and other writers, with
// chunks added, changed or damaged.

struct PngChunk {
    QByteArray type;
    QByteArray data;
};

inline quint32 pngCrc(QByteArrayView bytes) {
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

inline std::vector<PngChunk> pngChunks(const QByteArray& png) {
    std::vector<PngChunk> chunks;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const auto length = static_cast<qsizetype>(qFromBigEndian<quint32>(png.constData() + at));
        chunks.push_back({png.mid(at + 4, 4), png.mid(at + 8, length)});
        at += 12 + length;
    }
    return chunks;
}

inline QByteArray pngOfChunks(const std::vector<PngChunk>& chunks) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    for (const PngChunk& chunk : chunks) {
        char number[4];
        qToBigEndian<quint32>(static_cast<quint32>(chunk.data.size()), number);
        png.append(number, 4).append(chunk.type).append(chunk.data);
        qToBigEndian<quint32>(pngCrc(chunk.type + chunk.data), number);
        png.append(number, 4);
    }
    return png;
}

// The PNG with tEXt chunks for the cache's keys added just before IEND
// (after the pixels, where some writers put them).
inline QByteArray withTexts(const QByteArray& png, const QList<std::pair<QByteArray, QByteArray>>& texts) {
    std::vector<PngChunk> chunks = pngChunks(png);
    for (const auto& [key, value] : texts) {
        chunks.insert(chunks.end() - 1, {"tEXt", key + '\0' + value});
    }
    return pngOfChunks(chunks);
}

inline QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A photograph-like picture: smooth gradients with noise, as thumbnails of
// photographs are, so that PNG writers choose every kind of row filter. With
// alpha, the alpha falls from opaque on the left to clear on the right.
inline QImage photoLike(QSize size, bool alpha = false) {
    QImage image(size, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) % 24) - 12;
            const auto clamp = [](int v) {
                return std::clamp(v, 0, 255);
            };
            line[x] = qRgba(clamp(x * 255 / size.width() + noise), clamp(y * 255 / size.height() - noise),
                            clamp(128 + noise * 3), alpha ? 255 - x * 255 / size.width() : 255);
        }
    }
    return image;
}

// A PNG of image (8-bit RGB, or RGBA when it has alpha) whose rows take the
// five filters in turn (the first row too), Paeth three rows running, its
// pixel data in two chunks.
inline QByteArray everyFilterPng(const QImage& source) {
    const bool alpha = source.hasAlphaChannel();
    const QImage image = source.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const int bpp = alpha ? 4 : 3;
    const qsizetype rowBytes = qsizetype(image.width()) * bpp;
    QByteArray rows;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        const uchar* above = y > 0 ? image.constScanLine(y - 1) : nullptr;
        const int filter = std::min(y % 7, 4);
        rows.append(char(filter));
        for (qsizetype i = 0; i < rowBytes; ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0;
            const int b = above ? above[i] : 0;
            const int c = above && i >= bpp ? above[i - bpp] : 0;
            const int p = a + b - c;
            const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            const int predictor[] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
            rows.append(char(row[i] - predictor[filter]));
        }
    }
    const QByteArray stream = qCompress(rows).mid(4); // without Qt's length prefix: a zlib stream
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(image.width()), header.data());
    qToBigEndian<quint32>(quint32(image.height()), header.data() + 4);
    header[8] = 8;
    header[9] = char(alpha ? 6 : 2);
    const qsizetype half = stream.size() / 2;
    return pngOfChunks(
        {{"IHDR", header}, {"IDAT", stream.left(half)}, {"IDAT", stream.mid(half)}, {"IEND", {}}});
}
