#include "platform/media/ThumbnailPngReader.h"

#include "platform/media/PngFilters.h"

#include <QtEndian>

#include <libdeflate.h>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace ThumbnailPngReader {

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype kSignatureBytes = 8;
// The longest text a compressed text chunk may inflate to: a URI or a note,
// never pictures' worth.
constexpr std::size_t kLargestText = 64 * 1024;

// One decompressor per thread, kept: allocating one costs more than a small inflate.
libdeflate_decompressor* decompressor() {
    struct Owner {
        libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
        ~Owner() { libdeflate_free_decompressor(decompressor); }
    };
    thread_local Owner owner;
    return owner.decompressor;
}

quint32 bigEndian32(const char* at) {
    return qFromBigEndian<quint32>(at);
}

bool is(QByteArrayView type, const char* name) {
    return type == QByteArrayView(name, 4);
}

// Inflates the zlib stream into out, which it must fill exactly.
bool inflateExactly(QByteArrayView stream, std::uint8_t* out, std::size_t size) {
    libdeflate_decompressor* inflater = decompressor();
    std::size_t produced = 0;
    return inflater != nullptr &&
           libdeflate_zlib_decompress(inflater, stream.data(), static_cast<std::size_t>(stream.size()), out,
                                      size, &produced) == LIBDEFLATE_SUCCESS &&
           produced == size;
}

// A compressed text, when it inflates to no more than kLargestText.
std::optional<QByteArray> inflateText(QByteArrayView stream) {
    QByteArray text(static_cast<qsizetype>(kLargestText), Qt::Uninitialized);
    std::size_t produced = 0;
    libdeflate_decompressor* inflater = decompressor();
    if (inflater == nullptr ||
        libdeflate_zlib_decompress(inflater, stream.data(), static_cast<std::size_t>(stream.size()),
                                   text.data(), kLargestText, &produced) != LIBDEFLATE_SUCCESS) {
        return std::nullopt;
    }
    text.truncate(static_cast<qsizetype>(produced));
    return text;
}

struct Text {
    QString key;
    QString value;
};

// A text chunk's key and value, as Qt's reader reads them: Latin-1 for tEXt
// and zTXt, UTF-8 for iTXt. A malformed chunk is skipped, as libpng skips
// it; Outcome::NotHandled when it cannot be read here.
Outcome readText(QByteArrayView type, QByteArrayView data, std::vector<Text>& texts) {
    const qsizetype keyEnd = data.indexOf('\0');
    if (keyEnd <= 0) {
        return Outcome::Decoded;
    }
    const QString key = QString::fromLatin1(data.first(keyEnd));
    QByteArrayView rest = data.sliced(keyEnd + 1);
    if (is(type, "tEXt")) {
        texts.push_back({key, QString::fromLatin1(rest)});
        return Outcome::Decoded;
    }
    bool compressed = true;
    if (is(type, "iTXt")) {
        // Flag, method, language tag, translated key, then the text.
        if (rest.size() < 2) {
            return Outcome::Decoded;
        }
        compressed = rest[0] != 0;
        rest = rest.sliced(2);
        for (int skipped = 0; skipped < 2; ++skipped) {
            const qsizetype end = rest.indexOf('\0');
            if (end < 0) {
                return Outcome::Decoded;
            }
            rest = rest.sliced(end + 1);
        }
    } else {
        // zTXt: the method, then the stream.
        if (rest.isEmpty()) {
            return Outcome::Decoded;
        }
        rest = rest.sliced(1);
    }
    QByteArray value = rest.toByteArray();
    if (compressed) {
        std::optional<QByteArray> inflated = inflateText(rest);
        if (!inflated) {
            return Outcome::NotHandled;
        }
        value = std::move(*inflated);
    }
    texts.push_back({key, is(type, "iTXt") ? QString::fromUtf8(value) : QString::fromLatin1(value)});
    return Outcome::Decoded;
}

struct Header {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;
};

// Outcome::Decoded with the header when the picture is one read here.
Outcome readHeader(QByteArrayView data, int maxSide, Header& header) {
    if (data.size() != 13) {
        return Outcome::Refused;
    }
    const quint32 width = bigEndian32(data.data());
    const quint32 height = bigEndian32(data.data() + 4);
    if (width == 0 || height == 0 || width > quint32(maxSide) || height > quint32(maxSide)) {
        return Outcome::Refused;
    }
    const auto depth = static_cast<quint8>(data[8]);
    const auto colour = static_cast<quint8>(data[9]);
    const bool plain = data[10] == 0 && data[11] == 0 && data[12] == 0; // deflate, adaptive, not interlaced
    if (depth != 8 || (colour != 2 && colour != 6) || !plain) {
        return Outcome::NotHandled;
    }
    header = {static_cast<int>(width), static_cast<int>(height), colour == 6 ? 4 : 3};
    return Outcome::Decoded;
}

// Writes an undone row into the image's line as the grid draws it.
void convertRow(const std::uint8_t* row, int width, int bytesPerPixel, QRgb* out) {
    if (bytesPerPixel == 3) {
        for (int x = 0; x < width; ++x, row += 3) {
            out[x] = 0xff000000u | (quint32(row[0]) << 16) | (quint32(row[1]) << 8) | row[2];
        }
    } else {
        for (int x = 0; x < width; ++x, row += 4) {
            const QRgb pixel = qRgba(row[0], row[1], row[2], row[3]);
            out[x] = row[3] == 255 ? pixel : qPremultiply(pixel);
        }
    }
}

// Undoes each row's filter and writes it into image, two Paeth rows at a
// time where they follow each other.
bool unfilterInto(std::uint8_t* rows, const Header& header, QImage& image) {
    const int bpp = header.bytesPerPixel;
    const auto rowBytes = static_cast<std::size_t>(header.width) * static_cast<std::size_t>(bpp);
    const std::uint8_t* previous = nullptr;
    for (int y = 0; y < header.height;) {
        std::uint8_t* row = rows + static_cast<std::size_t>(y) * (rowBytes + 1);
        std::uint8_t* next = row + rowBytes + 1;
        if (previous != nullptr && y + 1 < header.height && row[0] == PngFilters::Paeth &&
            next[0] == PngFilters::Paeth) {
            PngFilters::undoPaethPair(row + 1, next + 1, previous, rowBytes, bpp);
            convertRow(row + 1, header.width, bpp, reinterpret_cast<QRgb*>(image.scanLine(y)));
            convertRow(next + 1, header.width, bpp, reinterpret_cast<QRgb*>(image.scanLine(y + 1)));
            previous = next + 1;
            y += 2;
            continue;
        }
        if (!PngFilters::undo(row[0], row + 1, previous, rowBytes, bpp)) {
            return false;
        }
        convertRow(row + 1, header.width, bpp, reinterpret_cast<QRgb*>(image.scanLine(y)));
        previous = row + 1;
        ++y;
    }
    return true;
}

} // namespace

Result read(QByteArrayView png, int maxSide) {
    Result result;
    if (png.size() < kSignatureBytes || png.first(kSignatureBytes) != QByteArrayView(kSignature, 8)) {
        return result;
    }
    Header header;
    std::vector<QByteArrayView> pixelData;
    bool pixelDataEnded = false;
    std::vector<Text> texts;
    bool ended = false;
    for (qsizetype at = kSignatureBytes; !ended;) {
        if (png.size() - at < 12) {
            return result;
        }
        const quint32 length = bigEndian32(png.data() + at);
        if (length > quint32(png.size() - at - 12)) {
            return result;
        }
        const QByteArrayView type = png.sliced(at + 4, 4);
        const QByteArrayView data = png.sliced(at + 8, length);
        const quint32 crc = bigEndian32(png.data() + at + 8 + length);
        if (libdeflate_crc32(0, type.data(), 4 + std::size_t(length)) != crc) {
            return result;
        }
        const bool first = at == kSignatureBytes;
        at += 12 + qsizetype(length);
        if (first != is(type, "IHDR")) {
            result.outcome = Outcome::NotHandled;
            return result;
        }
        Outcome outcome = Outcome::Decoded;
        if (first) {
            outcome = readHeader(data, maxSide, header);
        } else if (is(type, "IDAT")) {
            outcome = pixelDataEnded ? Outcome::NotHandled : Outcome::Decoded;
            pixelData.push_back(data);
        } else if (is(type, "IEND")) {
            ended = true;
        } else if (is(type, "tEXt") || is(type, "zTXt") || is(type, "iTXt")) {
            outcome = readText(type, data, texts);
        } else if (is(type, "tRNS") || ((type[0] & 0x20) == 0 && !is(type, "PLTE"))) {
            // A transparent colour, or a chunk a reader must understand.
            outcome = Outcome::NotHandled;
        }
        if (outcome != Outcome::Decoded) {
            result.outcome = outcome;
            return result;
        }
        pixelDataEnded = pixelDataEnded || (!pixelData.empty() && !is(type, "IDAT"));
    }
    if (pixelData.empty()) {
        return result;
    }

    QByteArray joined;
    QByteArrayView stream = pixelData.front();
    if (pixelData.size() > 1) {
        qsizetype total = 0;
        for (const QByteArrayView piece : pixelData) {
            total += piece.size();
        }
        joined.reserve(total);
        for (const QByteArrayView piece : pixelData) {
            joined.append(piece);
        }
        stream = joined;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(header.width) * std::size_t(header.bytesPerPixel);
    const std::size_t expected = static_cast<std::size_t>(header.height) * (rowBytes + 1);
    const std::unique_ptr<std::uint8_t[]> rows(new (std::nothrow) std::uint8_t[expected]);
    if (!rows || !inflateExactly(stream, rows.get(), expected)) {
        return result;
    }
    QImage image(header.width, header.height,
                 header.bytesPerPixel == 4 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull() || !unfilterInto(rows.get(), header, image)) {
        return result;
    }
    for (const Text& text : texts) {
        image.setText(text.key, text.value);
    }
    result.outcome = Outcome::Decoded;
    result.image = std::move(image);
    return result;
}

} // namespace ThumbnailPngReader
