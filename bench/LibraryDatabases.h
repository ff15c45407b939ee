#pragma once

#include <QString>
#include <QStringList>

// Large libraries of darktable, Lightroom, Photos, Elisa, Lollypop and Kodi,
// in their applications' own tables (tests/support/CatalogueSchemas), for the
// catalogue benchmarks; and the statements their readers run, for the bare
// sqlite3 loop they are measured against. The same arguments always give the
// same rows. (Beside CatalogueGenerator, which writes the XML catalogues.)
namespace LibraryDatabases {

// pictures in film rolls of 100, with 500 tags (two per picture), colour
// labels on a fifth and ratings on all; every 25th rejected. library and
// data are darktable's two databases.
void writeDarktable(const QString& library, const QString& data, int pictures);
// pictures under 5 root folders in 2,000 folders, 300 collections (in 30
// sets), 500 keywords (two per picture); every 25th rejected.
void writeLightroom(const QString& catalogue, int pictures);
// assets (every 20th a video, every 50th trashed) over days, and albums of
// 40 assets each in folders of 20 albums. Writes the bundle's store.
void writePhotosLibrary(const QString& bundle, int assets, int albums);
// tracks in albums of 12.
void writeElisa(const QString& database, int tracks);
// tracks in albums of 12 by 5,000 artists, and 50 playlists of 200 tracks.
void writeLollypop(const QString& collection, const QString& playlists, int tracks);
// songs in albums of 12 in folders of 50.
void writeKodiMusic(const QString& database, int songs);

} // namespace LibraryDatabases
