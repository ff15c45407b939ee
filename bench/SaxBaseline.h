#pragma once

#include <QString>

#include <vector>

// The floor the catalogue folders are measured against: one bare libxml2 SAX2
// pass over the whole file, pushed in chunks, that pulls the fields the folders use
// into plain structs, and nothing else.
namespace SaxBaseline {

struct Track {
    QString id;
    QString name;
    QString artist;
    qint64 totalTime = 0;
    QString location;
    bool hasVideo = false;
};
struct Playlist {
    QString name;
    bool master = false;
    bool videos = false;
    bool podcasts = false;
    bool smart = false;
    std::vector<qint64> trackIds;
};
struct ITunesLibrary {
    std::vector<Track> tracks;
    std::vector<Playlist> playlists;
};

struct Photo {
    QString id;
    QString caption;
    QString comment;
    QString imagePath;
    QString thumbPath;
};
struct Album {
    QString name;
    bool master = false;
    QString type;
    std::vector<QString> keys;
};
struct IPhotoLibrary {
    std::vector<Photo> photos;
    std::vector<Album> albums;
};

bool readITunes(const QString& path, ITunesLibrary& library);
bool readIPhoto(const QString& path, IPhotoLibrary& library);

} // namespace SaxBaseline
