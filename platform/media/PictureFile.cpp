#include "platform/media/PictureFile.h"

#include "platform/system/Path.h"

#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace PictureFile {

qint64 allocationLimitBytes() {
    const int megabytes = QImageReader::allocationLimit();
    return megabytes <= 0 ? std::numeric_limits<qint64>::max() : qint64(megabytes) * 1024 * 1024;
}

bool fitsAllocationLimit(QSize size, int bytesPerPixel) {
    if (size.width() <= 0 || size.height() <= 0) {
        return false;
    }
    return qint64(size.width()) * size.height() <= allocationLimitBytes() / bytesPerPixel;
}

bool isRegularFile(const QString& path) {
    struct stat info {};
    return ::stat(Path::toNative(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

int openRegular(const QString& path) {
    const int fd = ::open(Path::toNative(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool covers(QSize size, QSize box) {
    return size.width() + 1 >= box.width() && size.height() + 1 >= box.height();
}

namespace {

// The source columns (or rows) each result column covers: [first[i], first[i + 1]).
std::vector<int> spans(int source, int result) {
    std::vector<int> first(static_cast<std::size_t>(result) + 1);
    for (int i = 0; i <= result; ++i) {
        first[static_cast<std::size_t>(i)] = static_cast<int>(qint64(i) * source / result);
    }
    return first;
}

// Each pixel of the result the average of the source pixels it covers. The
// channels are 8-bit and interleaved, channels to a pixel, the same in both.
template <int channels> QImage areaAveraged(const QImage& image, QSize box) {
    QImage result(box, image.format());
    if (result.isNull()) {
        return {};
    }
    const std::vector<int> columns = spans(image.width(), box.width());
    const std::vector<int> rows = spans(image.height(), box.height());
    std::vector<quint32> sums(static_cast<std::size_t>(box.width()) * channels);
    for (int y = 0; y < box.height(); ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const int top = rows[static_cast<std::size_t>(y)];
        const int bottom = std::max(top + 1, rows[static_cast<std::size_t>(y) + 1]);
        for (int sy = top; sy < bottom; ++sy) {
            const uchar* line = image.constScanLine(sy);
            quint32* sum = sums.data();
            for (int x = 0; x < box.width(); ++x, sum += channels) {
                const int left = columns[static_cast<std::size_t>(x)];
                const int right = std::max(left + 1, columns[static_cast<std::size_t>(x) + 1]);
                for (const uchar* p = line + left * channels; p < line + right * channels; p += channels) {
                    for (int c = 0; c < channels; ++c) {
                        sum[c] += p[c];
                    }
                }
            }
        }
        uchar* out = result.scanLine(y);
        const quint32* sum = sums.data();
        for (int x = 0; x < box.width(); ++x, sum += channels, out += channels) {
            const int left = columns[static_cast<std::size_t>(x)];
            const quint32 count =
                quint32(std::max(1, columns[static_cast<std::size_t>(x) + 1] - left)) * quint32(bottom - top);
            for (int c = 0; c < channels; ++c) {
                out[c] = static_cast<uchar>((sum[c] + count / 2) / count);
            }
        }
    }
    return result;
}

// Adds the samples of rows [top, bottom) of a plane into sums, one sum per
// result column over that column's span of samples.
void addRows(const uchar* plane, int stride, int top, int bottom, const std::vector<int>& columns,
             std::vector<quint32>& sums) {
    std::fill(sums.begin(), sums.end(), 0);
    const int count = static_cast<int>(sums.size());
    for (int row = top; row < bottom; ++row) {
        const uchar* line = plane + qsizetype(row) * stride;
        for (int x = 0; x < count; ++x) {
            const int left = columns[static_cast<std::size_t>(x)];
            const int right = std::max(left + 1, columns[static_cast<std::size_t>(x) + 1]);
            quint32 sum = 0;
            for (int i = left; i < right; ++i) {
                sum += line[i];
            }
            sums[static_cast<std::size_t>(x)] += sum;
        }
    }
}

int clampedChannel(double value) {
    return std::clamp(static_cast<int>(std::lround(value)), 0, 255);
}

} // namespace

QImage reducedFromYCbCr(const YCbCrPlanes& planes, QSize box) {
    if (box.isEmpty() || box.width() > planes.lumaSize.width() || box.height() > planes.lumaSize.height() ||
        planes.chromaSize.isEmpty() || planes.luma == nullptr || planes.cb == nullptr ||
        planes.cr == nullptr) {
        return {};
    }
    QImage result(box, QImage::Format_RGB32);
    if (result.isNull()) {
        return {};
    }
    const std::vector<int> lumaColumns = spans(planes.lumaSize.width(), box.width());
    const std::vector<int> lumaRows = spans(planes.lumaSize.height(), box.height());
    const std::vector<int> chromaColumns = spans(planes.chromaSize.width(), box.width());
    const std::vector<int> chromaRows = spans(planes.chromaSize.height(), box.height());
    const double lumaScale = planes.fullRange ? 1.0 : 255.0 / 219.0;
    const double lumaOffset = planes.fullRange ? 0.0 : 16.0;
    const double chromaScale = planes.fullRange ? 1.0 : 255.0 / 224.0;
    const double kg = 1.0 - planes.kr - planes.kb;
    const double crToRed = 2.0 * (1.0 - planes.kr) * chromaScale;
    const double cbToBlue = 2.0 * (1.0 - planes.kb) * chromaScale;
    const double cbToGreen = -2.0 * (1.0 - planes.kb) * planes.kb / kg * chromaScale;
    const double crToGreen = -2.0 * (1.0 - planes.kr) * planes.kr / kg * chromaScale;
    const auto width = static_cast<std::size_t>(box.width());
    std::vector<quint32> lumaSums(width), cbSums(width), crSums(width);
    for (int y = 0; y < box.height(); ++y) {
        const auto row = static_cast<std::size_t>(y);
        const int lumaTop = lumaRows[row];
        const int lumaBottom = std::max(lumaTop + 1, lumaRows[row + 1]);
        const int chromaTop = chromaRows[row];
        const int chromaBottom = std::max(chromaTop + 1, chromaRows[row + 1]);
        addRows(planes.luma, planes.lumaStride, lumaTop, lumaBottom, lumaColumns, lumaSums);
        addRows(planes.cb, planes.cbStride, chromaTop, chromaBottom, chromaColumns, cbSums);
        addRows(planes.cr, planes.crStride, chromaTop, chromaBottom, chromaColumns, crSums);
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (std::size_t x = 0; x < width; ++x) {
            const int lumaCount = std::max(1, lumaColumns[x + 1] - lumaColumns[x]) * (lumaBottom - lumaTop);
            const int chromaCount =
                std::max(1, chromaColumns[x + 1] - chromaColumns[x]) * (chromaBottom - chromaTop);
            const double luma = (double(lumaSums[x]) / lumaCount - lumaOffset) * lumaScale;
            const double cb = double(cbSums[x]) / chromaCount - 128.0;
            const double cr = double(crSums[x]) / chromaCount - 128.0;
            out[x] = qRgb(clampedChannel(luma + crToRed * cr),
                          clampedChannel(luma + cbToGreen * cb + crToGreen * cr),
                          clampedChannel(luma + cbToBlue * cb));
        }
    }
    return result;
}

QImage scaledCopy(const QImage& image, QSize box) {
    if (image.isNull() || box.isEmpty()) {
        return {};
    }
    if (image.size() == box) {
        return image.copy();
    }
    const bool reduces = box.width() <= image.width() && box.height() <= image.height();
    if (reduces && image.format() == QImage::Format_RGB888) {
        return areaAveraged<3>(image, box);
    }
    // Straight alpha averages as premultiplied would only where alpha is
    // even; Qt's own scaling premultiplies first.
    return image.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace PictureFile
