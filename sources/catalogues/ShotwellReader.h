#pragma once

#include "sources/catalogues/CatalogueContents.h"

#include <QString>

class LoadProgress;

// Reads a Shotwell library database: its photos or its videos, each listed
// by exposure time, with a group per event (in that order, named as Shotwell
// names them) and then per tag (by name, nested tags inside their parent's
// group; groups without such items are left out). Trashed and hidden items
// are not listed. Photos draw Shotwell's own cached thumbnails where they
// exist; videos are named by their title or else their file, never opened.
// Every schema since Shotwell 0.12 reads: a column a version lacks is data
// not given. Groups carry Shotwell's ids ("event-7", "tag-3").
class ShotwellReader {
public:
    enum class Media { Photos, Videos };

    // thumbnails names the directory of cached thumbnails (a null string for none).
    ShotwellReader(const QString& database, const QString& thumbnails, Media media);

    CatalogueContents read(LoadProgress& progress) const;

private:
    QString _database;
    QString _thumbnails;
    Media _media;
};
