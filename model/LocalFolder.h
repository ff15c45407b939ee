#pragma once

#include "model/MediaFolder.h"

#include <QString>

#include <memory>

class LocalFolder;
using LocalFolderPtr = std::shared_ptr<LocalFolder>;

// A directory on the local disk, read one level at a time: its visible
// sub-directories become local folders of the same kind, its regular files of
// that kind become media items.
class LocalFolder : public MediaFolder {
public:
    // Media kinds a folder collects (and the tab codes).
    enum FolderType : int { Pictures = 0, Music = 1, Movies = 2 };
    // What a directory holds, as far as a local folder is concerned.
    enum DirectoryKind : int {
        OrdinaryDirectory = 0,
        ITunesLibraryDirectory = 1, // holds "iTunes Music Library.xml"
        IPhotoLibraryDirectory = 2, // holds "AlbumData.xml"
        IMovieProject = 3,          // "*.iMovieProject", or holds a "*.iMovieProj"
    };

    // A folder for the directory at path ("~" expanded) collecting items of
    // type; null when nothing exists at the path.
    static LocalFolderPtr create(const QString& path, int type);

    // The kind of the directory at path, decided by its extension or by the
    // first telling entry at its top level.
    static int getFolderType(const QString& path);
    // The item of type for the file at path; null when the file is not of that
    // kind or type is none of the media kinds.
    static MediaItemPtr makeItem(const QString& path, int type);

    LocalFolder(const QString& expandedPath, int type);

    QString path() const { return _path; }
    int type() const { return _type; }

protected:
    void loadFolder() override;
    bool loadExpandable() override;

private:
    QString _path;
    int _type;
};
