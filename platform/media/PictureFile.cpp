#include "platform/media/PictureFile.h"

#include "platform/system/Path.h"

#include <QImageReader>

#include <algorithm>
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

} // namespace

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
