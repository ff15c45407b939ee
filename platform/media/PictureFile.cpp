#include "platform/media/PictureFile.h"

#include "platform/system/Path.h"

#include <QImageReader>

#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

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

QImage scaledCopy(const QImage& image, QSize box) {
    if (image.isNull() || box.isEmpty()) {
        return {};
    }
    if (image.size() == box) {
        return image.copy();
    }
    return image.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace PictureFile
