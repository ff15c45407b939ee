#include "model/MediaFileTypes.h"

#include "platform/ImageTypes.h"
#include "platform/MovieFile.h"
#include "platform/Path.h"

namespace MediaFileTypes {

bool isPlayable(const QString& path) {
    const QString extension = Path::extension(path);
    if (ImageTypes::all().contains(extension)) {
        return false;
    }
    if (!MovieFile::canOpen(path)) {
        return false;
    }
    return extension != QLatin1String("xml");
}

} // namespace MediaFileTypes
