#pragma once

#include "model/MediaFolder.h"

#include <QImage>
#include <QString>

#include <memory>

class LocalFolder;
using LocalFolderPtr = std::shared_ptr<LocalFolder>;

// A directory on the local disk, read one level at a time: its visible
// sub-directories become local folders of the same kind, its regular files of
// that kind become media items. A folder loaded in the background follows its
// directory afterwards: files added, removed or renamed show up by themselves.
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
    // The same with the folder icon given, for folders made off the main thread.
    LocalFolder(const QString& expandedPath, int type, const QImage& folderIcon);
    ~LocalFolder() override;

    QString path() const { return _path; }
    int type() const { return _type; }

protected:
    MediaFolderReader reader() const override;
    bool loadExpandable() override;
    // Once loaded in the background, the folder follows its directory.
    void didLoad() override;
    // Keeps the items and sub-folders whose paths remain, so that views keep
    // what was selected and sub-folders keep what they loaded.
    void mergeContents(MediaFolderContents&& contents) override;

private:
    QString _path;
    int _type;
    QImage _folderIcon; // for the sub-folders, taken on the main thread
    bool _watched = false;
};
