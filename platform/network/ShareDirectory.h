#pragma once

#include "platform/system/LoadProgress.h"

#include <QString>

#include <vector>

// An entry of a network share's directory.
struct ShareEntry {
    QString name;
    bool isDirectory = false;
    bool isFile = false; // a regular file (links and specials are neither)
    qint64 size = 0;
    qint64 modified = -1; // seconds since the epoch; -1 when unknown
    QString uri;          // its own location on the share
    QString localPath;    // where the desktop maps it into the file system, or empty
};

// Network shares (smb://, sftp://, nfs://, dav://...), listed through GIO and
// gvfs in the network helper, from a loader's thread.
namespace ShareDirectory {

// Whether location is one a share folder reads: a URI of a network share's scheme.
bool isShareLocation(const QString& location);

struct Listing {
    bool ok = false;
    QString failure;
    std::vector<ShareEntry> entries;
};

// The entries of the directory at uri, mounting its share first when the
// desktop has not (as a guest; a share that wants a password must be
// mounted by the user's file manager first). Waits for the share.
Listing list(const QString& uri, LoadProgress& progress);

} // namespace ShareDirectory
