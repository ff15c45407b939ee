#pragma once

#include <QString>

namespace MediaFileTypes {

// Whether a file becomes a track in a music folder and a movie in a movies
// folder: the movie toolkit opens its type, and it is neither a picture (by
// the wider list of image types) nor an XML file. Only the name is looked at.
bool isPlayable(const QString& path);

} // namespace MediaFileTypes
