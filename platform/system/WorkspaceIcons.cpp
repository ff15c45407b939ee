#include "platform/system/WorkspaceIcons.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMimeDatabase>
#include <QPainter>
#include <QStyle>

namespace WorkspaceIcons {

namespace {

// Without a desktop session Qt's theme ("hicolor") has hardly any file-type
// icons. Adwaita, when installed, then answers the icons the current theme
// lacks; a theme the user chose keeps precedence.
void ensureFallbackTheme() {
    static const bool done = [] {
        if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == QLatin1String("hicolor")) {
            for (const QString& base : QIcon::themeSearchPaths()) {
                if (QDir(base + QStringLiteral("/Adwaita")).exists()) {
                    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
                    // Qt builds each theme's chain of parents once, when it is
                    // first looked in (the style's own icons already did):
                    // setting the search paths again makes it build them anew,
                    // with the fallback.
                    QIcon::setThemeSearchPaths(QIcon::themeSearchPaths());
                    break;
                }
            }
        }
        return true;
    }();
    (void)done;
}

QIcon themeIcon(const QString& name) {
    return name.isEmpty() ? QIcon() : QIcon::fromTheme(name);
}

} // namespace

QIcon iconForFile(const QString& path) {
    ensureFallbackTheme();
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    for (const QString& name : {type.iconName(), type.genericIconName(), QStringLiteral("text-x-generic")}) {
        const QIcon icon = themeIcon(name);
        if (!icon.isNull()) {
            return icon;
        }
    }
    return QApplication::style() ? QApplication::style()->standardIcon(QStyle::SP_FileIcon) : QIcon();
}

QImage imageAtSize(const QIcon& icon, const QSize& size, qreal devicePixelRatio) {
    const QSize pixels = (QSizeF(size) * devicePixelRatio).toSize();
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QPixmap best = icon.pixmap(size, devicePixelRatio);
    if (!best.isNull()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        // Keep the picture's shape, centred, when the theme's is not square.
        const QSizeF fitted = QSizeF(best.size()).scaled(QSizeF(pixels), Qt::KeepAspectRatio);
        const QRectF target((pixels.width() - fitted.width()) / 2, (pixels.height() - fitted.height()) / 2,
                            fitted.width(), fitted.height());
        painter.drawPixmap(target, best, QRectF(best.rect()));
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

} // namespace WorkspaceIcons
