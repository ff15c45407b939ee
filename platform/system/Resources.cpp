#include "platform/system/Resources.h"

#include <QFile>
#include <QImageReader>

namespace {
constexpr qreal kImageScale = 2.0;
}

// The compiled resources register themselves from a static initialiser that
// nothing else refers to; a program that links the library's objects from a
// static archive would drop it. Registering here ties them to this file.
static void ensureRegistered() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

namespace Resources {

QString imagePath(const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) {
        return {};
    }
    ensureRegistered();
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
    QImage image = reader.read();
    // The images are drawn at twice their size so that they stay sharp on
    // high-density screens; their logical size is half the pixel size.
    image.setDevicePixelRatio(kImageScale);
    return image;
}

} // namespace Resources
