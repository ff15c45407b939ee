#include "model/MediaFileTypes.h"

#include "platform/media/ImageTypes.h"
#include "platform/media/MovieFile.h"
#include "platform/system/Path.h"

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
