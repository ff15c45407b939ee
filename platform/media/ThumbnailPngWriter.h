#pragma once

#include <QByteArray>
#include <QImage>

#include <utility>
#include <vector>

// Writes the PNG files of the shared thumbnail cache: 8-bit RGB, or RGBA
// when the picture has an alpha channel, every row filtered with Up (the
// smallest of the five filters on thumbnails of photographs and the quickest
// to undo), compressed by libdeflate into one pixel data chunk, with the
// given texts as tEXt chunks ahead of it where every reader finds them.
// May run on any thread.
namespace ThumbnailPngWriter {

using Texts = std::vector<std::pair<QByteArray, QByteArray>>;

// The PNG file of image with texts (keys and values in Latin-1); empty for a
// null image.
QByteArray write(const QImage& image, const Texts& texts);

} // namespace ThumbnailPngWriter
