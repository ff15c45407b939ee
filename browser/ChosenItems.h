#pragma once

#include "model/MediaItem.h"

#include <QList>
#include <QUrl>
#include <QVMediaBrowser/MediaItemInfo.h>

#include <vector>

// What hosts learn of the items a user chose in a picker.
namespace ChosenItems {

// The items' file URLs, in order; an item without a file is left out.
QList<QUrl> urls(const std::vector<MediaItemPtr>& items);

// What the browser knows of each item, in order. Reads what is not known yet:
// a picture's size from its file's header, a track's tags, a movie's length.
QList<QVMediaItemInfo> describe(const std::vector<MediaItemPtr>& items);

} // namespace ChosenItems
