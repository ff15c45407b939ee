#pragma once

#include <QString>

// Deterministic catalogues in the shape that real library exports have, for
// benchmarks and for trying the browser on a large library. The same
// arguments always give the same bytes.
namespace CatalogueGenerator {

// An iTunes music library export: `tracks` track records with the usual keys
// (about 5% video, some decomposed-Unicode names, localhost, bare, Windows and
// http locations) and 300 playlists (master, the special ones, smart and
// ordinary playlists, some empty). 50,000 tracks give about 86 MB.
bool writeITunesLibrary(const QString& path, int tracks, quint64 seed = 1);

// An iPhoto AlbumData.xml: `photos` photo records and 400 albums (master,
// roll, month, smart, ordinary and other types), with film rolls and keywords.
bool writeIPhotoLibrary(const QString& path, int photos, quint64 seed = 1);

} // namespace CatalogueGenerator
