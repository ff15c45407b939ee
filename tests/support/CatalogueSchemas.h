#pragma once

#include <QString>

// The tables of the libraries the browser reads, exactly as their
// applications create them: read from the applications' own binaries and
// sources in Debian's packages where the application is packaged (darktable
// 4.2, Elisa 22.12, Lollypop 1.4, Kodi 20), from published descriptions of
// the format where it is not (Lightroom Classic, Photos). Each with an older
// version where the tables differ in what the browser reads.
namespace CatalogueSchemas {

// darktable 4.2 (library version 38 era): library.db, and data.db with the tag names.
QString darktableLibrary();
QString darktableData();
// darktable 1.x: dates as text, tags kept in the library itself.
QString darktableLibraryOld();

// Lightroom Classic 7 to 13 (keywords and collections in tables of their own).
QString lightroom();
// Lightroom 3: keywords among the tags.
QString lightroom3();

// Photos on macOS 13 (assets in ZASSET, albums joined by Z_28ASSETS) and on
// macOS 10.15 (ZGENERICASSET, Z_26ASSETS).
QString photosVentura();
QString photosCatalina();

// Elisa today (tracks name their files) and before 0.4 (TracksMapping).
QString elisa();
QString elisaOld();

// Lollypop's collection and playlists today (schema version 46, lengths in
// milliseconds) and before its schema version 13 (files by path, lengths in seconds).
QString lollypop();
QString lollypopPlaylists();
QString lollypopOld();
QString lollypopPlaylistsOld();

// Kodi's music database since Kodi 19 (MyMusic82) and of Kodi 16 (MyMusic56);
// its video database (MyVideos121).
QString kodiMusic();
QString kodiMusicOld();
QString kodiVideos();

} // namespace CatalogueSchemas
