#pragma once

#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QUrl>

#include <functional>

// Poster pictures of movies and audio files.
namespace MoviePoster {

// The first decodable frame of the file's video, or its attached cover picture
// when it has no video, scaled to fit box (keeping its shape, never enlarged)
// and turned upright by the stream's rotation. A null image when the file
// cannot be opened or has no picture. Decodes on the calling thread with one
// decoder thread and may be called from several threads at once.
QImage posterImage(const QString& path, const QSize& box);

// Answers the pixel size a poster is made at from its size as shown (its
// pixels stretched by their aspect ratio and turned upright); an empty size
// makes no poster. Called on the decoding thread.
using PosterSize = std::function<QSize(const QSizeF& shownSize)>;

// The same picture as above, scaled to whatever size pixelSize chooses for it,
// larger than the picture itself included.
QImage posterImage(const QString& path, const PosterSize& pixelSize);

// The same for a media server's stream at an http or https URL, read as far
// as its first picture.
QImage remotePosterImage(const QUrl& url, const PosterSize& pixelSize);

} // namespace MoviePoster
