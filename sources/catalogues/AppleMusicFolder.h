#pragma once

#include "sources/catalogues/CatalogueRoots.h"

#include <QString>

// The Music application's library, as the Library.xml it exports: the same
// property list as iTunes kept, read by the iTunes folders under the name
// "Music". (Its own library file is encrypted and cannot be read.)
namespace AppleMusicFolder {

// Adds "Music" to the music root (empty playlists kept) and to the movies
// root (video tracks only) when an exported library is found.
void addToRoots(const CatalogueRoots& roots);
// Where Music keeps its library for other applications when asked to
// ("~/Music/Music/Library.xml") or, else, where the README asks the user to
// save its Export Library command's file ("~/Music/Library.xml"); a null
// string when neither exists.
QString libraryPath();

} // namespace AppleMusicFolder
