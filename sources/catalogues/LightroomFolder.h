#pragma once

#include "sources/catalogues/CatalogueFolder.h"
#include "sources/catalogues/CatalogueRoots.h"
#include "sources/catalogues/LightroomReader.h"

#include <QString>
#include <QStringList>

// A Lightroom Classic catalogue: its pictures in the pictures tree and its
// videos in the movies tree (see LightroomReader), named after the catalogue.
class LightroomFolder : public CatalogueFolder {
public:
    // Adds a folder to the pictures and movies roots for each catalogue found.
    static void addToRoots(const CatalogueRoots& roots);
    // The catalogues (".lrcat") in "~/Pictures/Lightroom" and one level below
    // it, and in the user's picture folders.
    static QStringList cataloguePaths();

    LightroomFolder(const QString& name, const QString& catalogue, LightroomReader::Media media);

protected:
    CatalogueReader catalogueReader() const override;
    QStringList catalogueFiles() const override { return databaseFiles(_catalogue); }

private:
    QString _catalogue;
    LightroomReader::Media _media;
};
