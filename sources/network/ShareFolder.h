#pragma once

#include "model/SourceFolder.h"

#include <QImage>
#include <QString>

// A folder of a network share (smb://, sftp://, nfs://, dav://... added in
// the preferences like a local folder), read through GIO and gvfs in the
// network helper on a loader's thread: its sub-directories become share
// folders, its files of the folder's kind become items. Where the desktop
// maps the share into the file system (gvfs's FUSE folder), items are local
// files there and play, picture and drag as any; otherwise they are items
// at the share's own URL, pictured and dragged by fetching them. Shares are
// not followed (no change notices come over the network): a share is read
// again each time it is opened, and merged as any source by its items' paths or URLs
// and its sub-folders' locations.
class ShareFolder : public SourceFolder {
public:
    // Whether a preferences entry names a network share rather than a directory.
    static bool isShareLocation(const QString& location);

    // The share folder at location collecting items of type (0 pictures, 1 music, 2 movies).
    ShareFolder(const QString& location, int type);
    // A sub-folder, made off the main thread.
    ShareFolder(const QString& location, int type, const QString& name, const QImage& icon);

    QString location() const { return _location; }
    int type() const { return _type; }

    // Reads the share the first time; once read, reads it again and merges:
    // no change notices come over the network, so opening the folder is when
    // a share that was switched off, or has changed, is seen anew.
    void loadInBackground() override;

protected:
    MediaFolderReader reader() const override;
    // Whether a share folder has sub-folders is not asked before it is opened.
    bool loadExpandable() override { return true; }

private:
    QString _location;
    int _type;
    QImage _folderIcon;
};
