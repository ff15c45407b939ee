#include "browser/ItemDetails.h"

#include "platform/system/Path.h"

#include <QCoreApplication>
#include <QLocale>

#include <sys/stat.h>

namespace ItemDetails {

QString pixelSize(QSize size) {
    return QCoreApplication::translate("ItemDetails", "%1 × %2 pixels")
        .arg(QLocale().toString(size.width()), QLocale().toString(size.height()));
}

QString fileSize(qint64 bytes) {
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

QString taken(const QDateTime& when) {
    return QCoreApplication::translate("ItemDetails", "Taken %1")
        .arg(QLocale().toString(when, QLocale::ShortFormat));
}

QStringList facts(QSize pixels, qint64 bytes) {
    QStringList list;
    if (!pixels.isEmpty()) {
        list.append(pixelSize(pixels));
    }
    if (bytes >= 0) {
        list.append(fileSize(bytes));
    }
    return list;
}

QString joined(const QStringList& facts) {
    return facts.join(QStringLiteral(" · "));
}

qint64 fileBytes(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(Path::toNative(path).constData(), &info) != 0) {
        return -1;
    }
    return qint64(info.st_size);
}

} // namespace ItemDetails
