#pragma once

#include "model/MediaItem.h"

#include <QString>

#include <functional>
#include <vector>

namespace TrackSorting {

// The sort key of a music table column: "name" and "artist" sort by those
// texts, "time" by the length in seconds; an empty string for any other column.
QString sortKey(const QString& columnIdentifier);

// items in order of key ("name", "artist" or "length"), ascending or
// descending, keeping the order of equal items. Texts compare case-sensitively
// by their UTF-16 code units (not by locale), a missing text as the empty
// string; lengths compare as unsigned numbers, so an unknown length (all bits
// set) comes after every known one when ascending. Items that are not tracks
// sort as a track with no texts and an unknown length. An unknown key leaves
// the order alone.
std::vector<MediaItemPtr> sorted(const std::vector<MediaItemPtr>& items, const QString& key, bool ascending);

// The same order as a comparison of two items ("a before b"), for placing
// items that come later; none for an unknown key.
std::function<bool(MediaItem&, MediaItem&)> order(const QString& key, bool ascending);

} // namespace TrackSorting
