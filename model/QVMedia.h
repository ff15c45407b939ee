#pragma once

#include "model/MediaFolder.h"

#include <QString>
#include <QStringList>

#include <memory>

class NetworkSources;

// Where the two library catalogues live, "~" unexpanded.
extern const char QVMediaIPhotoLibraryPath[];
extern const char QVMediaITunesLibraryPath[];

// Fills the three roots of the browser (pictures, music, movies) from the
// user's preferences: each gets the folders of the libraries the user has
// (iPhoto, iTunes, Shotwell, digiKam, Rhythmbox, Strawberry/Clementine, each
// kind listed once in QVMedia.cpp), then one folder per configured location
// in the order of the preferences (a local directory that exists, or a
// network share), then the media servers found on the network when the
// preferences let the browser look for them. The roots are made by the window and stay the same
// objects; every change of the preferences empties and refills them.
class QVMedia {
public:
    QVMedia();
    ~QVMedia();
    QVMedia(const QVMedia&) = delete;
    QVMedia& operator=(const QVMedia&) = delete;

    // The roots, connected by the window before awakeFromNib().
    void setPhotos(const MediaFolderPtr& root) { _photos = root; }
    void setMusic(const MediaFolderPtr& root) { _music = root; }
    void setMovies(const MediaFolderPtr& root) { _movies = root; }
    MediaFolderPtr photos() const { return _photos; }
    MediaFolderPtr music() const { return _music; }
    MediaFolderPtr movies() const { return _movies; }

    // The first build, then a rebuild on every change of the preferences.
    void awakeFromNib();
    // Rebuilds all three trees.
    void prefsChanged();
    // Adds to root one local folder of type per path naming an existing
    // directory ("~" allowed), and one share folder per network location
    // (smb://, sftp://, nfs://, dav://...); the folder gets the path as given.
    void loadPaths(const QStringList& paths, MediaFolder& root, int type);

private:
    MediaFolderPtr _photos;
    MediaFolderPtr _music;
    MediaFolderPtr _movies;
    bool _observing = false;
    std::unique_ptr<NetworkSources> _networkSources;
};
