#pragma once

#include "model/SourceFolder.h"

#include <QImage>
#include <QString>

#include <memory>

class LocalFolder;
using LocalFolderPtr = std::shared_ptr<LocalFolder>;

// A directory on the local disk, read one level at a time: its visible
// sub-directories become local folders of the same kind, its regular files of
// that kind become media items, both in name order (as the user's file manager
// lists them). It follows its directory once asked for its contents: files
// added, removed, renamed or written in place show up by themselves, and a
// directory replaced, moved away or unmounted is followed again when it is back.
//
// Tracks and movies show what their files say (tags, titles): that is read on
// a worker after the listing is shown, for every item that does not know it
// yet; lists wait for it before they search or sort.
class LocalFolder : public SourceFolder {
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
    QString identity() const override { return _path; }
    bool detailsPending() const override;

protected:
    MediaFolderReader reader() const override;
    SourceWatch::Targets watchTargets() const override;
    bool loadExpandable() override;
    // Reads the tags or titles of the items that lack them.
    void didPublish() override;
    // Tracks and movies once their tags or titles are read.
    bool canBeOrdered(MediaItem& item) const override;

private:
    void detailsArrived();

    QString _path;
    int _type;
    QImage _folderIcon; // for the sub-folders, taken on the main thread
    // The items whose details are being read, and that read.
    std::vector<MediaItemPtr> _detailing;
    // The files the details are read for, whose search texts the worker folds.
    std::shared_ptr<const std::vector<MediaItemPtr>> _detailingFiles;
    std::shared_ptr<FolderLoadJob> _detailsJob;
};
