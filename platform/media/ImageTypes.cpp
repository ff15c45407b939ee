#include "platform/media/ImageTypes.h"

#include "platform/media/HeifPicture.h"
#include "platform/media/RawPicture.h"
#include "platform/system/ExtensionSet.h"

#include <QImageReader>
#include <QMimeDatabase>

namespace ImageTypes {

namespace {

void insertBothCases(QSet<QString>& set, const QString& suffix) {
    set.insert(suffix.toLower());
    set.insert(suffix.toUpper());
}

} // namespace

const QSet<QString>& unfiltered() {
    static const QSet<QString> types = [] {
        QSet<QString> set;
        for (const QByteArray& format : QImageReader::supportedImageFormats()) {
            insertBothCases(set, QString::fromLatin1(format));
        }
        // The picture readers of libheif and LibRaw, opened when first drawn.
        for (const QStringList* extensions : {&HeifPicture::extensions(), &RawPicture::extensions()}) {
            for (const QString& extension : *extensions) {
                insertBothCases(set, extension);
            }
        }
        return set;
    }();
    return types;
}

const QSet<QString>& all() {
    static const QSet<QString> types = [] {
        QSet<QString> set = unfiltered();
        const QMimeDatabase mimeDatabase;
        for (const QMimeType& type : mimeDatabase.allMimeTypes()) {
            if (!type.name().startsWith(QLatin1String("image/"))) {
                continue;
            }
            for (const QString& suffix : type.suffixes()) {
                insertBothCases(set, suffix);
            }
        }
        return set;
    }();
    return types;
}

bool isUnfiltered(QStringView extension) {
    static const ExtensionSet set(unfiltered());
    return set.contains(extension);
}

bool isImage(QStringView extension) {
    static const ExtensionSet set(all());
    return set.contains(extension);
}

} // namespace ImageTypes
