#pragma once

#include "model/MediaFolder.h"
#include "sources/catalogues/CatalogueContents.h"

#include <QString>
#include <QStringList>

// Catalogue contents written out for comparing in tests.
namespace CatalogueOutline {

// Each item as the lists show it: a picture's name and file, or a track's
// name, artist, length and URL, or a movie's name and URL.
QString item(const MediaItemPtr& item);
QStringList items(const std::vector<MediaItemPtr>& items);
// The groups as one line: "Name[3](Child[1],Other[2])", with the number of items.
QString groups(const std::vector<CatalogueGroup>& groups);
// The names of a root's folders, in order.
QStringList folderNames(const MediaFolderPtr& root);
// The group at the path of names ("Tags/places/France"), or null.
const CatalogueGroup* find(const std::vector<CatalogueGroup>& groups, const QString& path);

} // namespace CatalogueOutline
