#include "model/MediaFileTypes.h"

#include "platform/ImageTypes.h"
#include "platform/MovieFile.h"
#include "platform/Path.h"

namespace MediaFileTypes {

bool isPlayable(const QString& path) {
    const QStringView extension = Path::extensionView(path);
    if (ImageTypes::isImage(extension)) {
        return false;
    }
    if (!MovieFile::canOpen(path)) {
        return false;
    }
    return extension != QLatin1String("xml");
}

} // namespace MediaFileTypes
