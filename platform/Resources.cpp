#include "platform/Resources.h"

#include <QFile>
#include <QImageReader>

namespace Resources {

QString imagePath(const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) {
        return {};
    }
    const QString path = QStringLiteral(":/qvmediabrowser/images/") + name;
    return QFile::exists(path) ? path : QString();
}

QImage image(const QString& name) {
    const QString path = imagePath(name);
    if (path.isNull()) {
        return {};
    }
    // The resource names keep their historical suffixes (.tiff, .tif) whatever
    // the stored format is, so the format is taken from the content.
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

} // namespace Resources
