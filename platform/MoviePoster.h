#pragma once

#include "platform/Export.h"

#include <QImage>
#include <QSize>
#include <QString>

// Poster pictures of movies and audio files.
namespace MoviePoster {

// The first decodable frame of the file's video, or its attached cover picture
// when it has no video, scaled to fit box (keeping its shape, never enlarged)
// and turned upright by the stream's rotation. A null image when the file
// cannot be opened or has no picture. Decodes on the calling thread with one
// decoder thread and may be called from several threads at once.
QVMB_EXPORT QImage posterImage(const QString& path, const QSize& box);

} // namespace MoviePoster
