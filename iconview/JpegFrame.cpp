#include "iconview/JpegFrame.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr quint8 kStartOfImage = 0xD8;
constexpr quint8 kEndOfImage = 0xD9;
constexpr quint8 kStartOfScan = 0xDA;

// Start-of-frame markers: 0xC0–0xCF except the Huffman table (C4), the
// reserved extension (C8) and the arithmetic conditioning (CC) markers.
bool isStartOfFrame(quint8 marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool isProgressiveFrame(quint8 marker) {
    return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
}

// Markers that stand alone, without a length: restart markers and TEM.
bool standsAlone(quint8 marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// The next marker's code, or nothing at the end. Like libjpeg, bytes that
// are not a marker are skipped (it only warns of them), as are fill bytes.
std::optional<quint8> nextMarker(QIODevice& device) {
    char byte = 0;
    bool afterFF = false;
    while (device.getChar(&byte)) {
        const auto value = static_cast<quint8>(byte);
        if (afterFF && value != 0xFF && value != 0x00) {
            return value;
        }
        afterFF = value == 0xFF;
    }
    return std::nullopt;
}

qint64 roundUp(qint64 value, qint64 multiple) {
    return (value + multiple - 1) / multiple * multiple;
}

qint64 ceilDiv(qint64 value, qint64 divisor) {
    return (value + divisor - 1) / divisor;
}

} // namespace

std::optional<JpegFrame> JpegFrame::read(QIODevice& device) {
    if (device.read(2) != QByteArrayView("\xFF\xD8")) {
        return std::nullopt;
    }
    std::optional<JpegFrame> frame;
    while (const std::optional<quint8> marker = nextMarker(device)) {
        if (standsAlone(*marker)) {
            continue;
        }
        if (*marker == kEndOfImage || *marker == kStartOfImage) {
            break;
        }
        const QByteArray lengthBytes = device.read(2);
        if (lengthBytes.size() < 2) {
            break;
        }
        const int length = qFromBigEndian<quint16>(lengthBytes.constData());
        if (length < 2) {
            // libjpeg skips nothing more for such a segment and reads on,
            // unless the segment is the frame or a scan, which it refuses.
            if (*marker == kStartOfScan || isStartOfFrame(*marker)) {
                break;
            }
            continue;
        }
        const QByteArray segment = device.read(length - 2);
        if (segment.size() < length - 2) {
            break;
        }
        const auto byteAt = [&](int offset) {
            return static_cast<quint8>(segment.at(offset));
        };
        if (*marker == kStartOfScan) {
            if (frame && !segment.isEmpty()) {
                frame->_componentsInFirstScan = byteAt(0);
                return frame;
            }
            break;
        }
        if (isStartOfFrame(*marker) && !frame && segment.size() >= 6) {
            JpegFrame found;
            found._progressive = isProgressiveFrame(*marker);
            found._height = qFromBigEndian<quint16>(segment.constData() + 1);
            found._width = qFromBigEndian<quint16>(segment.constData() + 3);
            const int count = byteAt(5);
            if (segment.size() < 6 + 3 * count) {
                break;
            }
            for (int i = 0; i < count; ++i) {
                const quint8 sampling = byteAt(6 + 3 * i + 1);
                found._components.push_back({std::max(1, sampling >> 4), std::max(1, sampling & 0x0F)});
            }
            frame = std::move(found);
        }
    }
    // Without a scan libjpeg fails while reading the headers, before it
    // allocates anything for the image.
    return std::nullopt;
}

bool JpegFrame::buffersWholeImage() const {
    return _progressive || _componentsInFirstScan < static_cast<int>(_components.size());
}

qint64 JpegFrame::coefficientBytes() const {
    int widestSampling = 1;
    int tallestSampling = 1;
    for (const Component& component : _components) {
        widestSampling = std::max(widestSampling, component.horizontalSampling);
        tallestSampling = std::max(tallestSampling, component.verticalSampling);
    }
    qint64 bytes = 0;
    for (const Component& component : _components) {
        const qint64 columns =
            ceilDiv(ceilDiv(qint64(_width) * component.horizontalSampling, widestSampling), 8);
        const qint64 rows =
            ceilDiv(ceilDiv(qint64(_height) * component.verticalSampling, tallestSampling), 8);
        bytes += roundUp(columns, component.horizontalSampling) * roundUp(rows, component.verticalSampling) *
                 64 * qint64(sizeof(qint16));
    }
    return bytes;
}

qint64 JpegFrame::largestCoefficientBytes(QSize size) {
    constexpr qint64 kMostComponents = 4;
    return kMostComponents * ceilDiv(size.width(), 8) * ceilDiv(size.height(), 8) * 64 *
           qint64(sizeof(qint16));
}
