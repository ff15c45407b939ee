#pragma once

#include <QSet>
#include <QString>
#include <QStringView>

// The file-name extensions of pictures. Both lists hold every extension in
// lower and in upper case and are compared exactly, so "JPG" and "jpg" are
// pictures while "Jpg" is not. Each list is worked out once per process.
namespace ImageTypes {

// Extensions the image readers decode directly, including the HEIF, AVIF and
// camera RAW pictures read through libheif and LibRaw.
const QSet<QString>& unfiltered();

// The unfiltered extensions plus every extension the MIME database knows for
// an image type, including ones no reader here decodes.
const QSet<QString>& all();

// Lookups without copying the extension.
bool isUnfiltered(QStringView extension);
bool isImage(QStringView extension);

} // namespace ImageTypes
