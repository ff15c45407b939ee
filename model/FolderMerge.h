#pragma once

#include "model/MediaItem.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class MediaFolder;

// The one merge of a source read again with what its folder shows. Items are
// matched by identity (a file's path, an entry's URL): an item whose
// identity and version are unchanged stays the same object, so that the views
// keep what they selected, what plays and the pictures they drew; an item
// whose version changed (a file written in place, an entry edited) is a new
// object standing for the same thing. Sub-folders are matched by their own
// identity (a directory's path, a group's catalogue id) and keep their
// objects too, with whatever they loaded and whoever shows them.
namespace FolderMerge {

// What a read changed in a folder's items.
struct ItemChanges {
    std::size_t inserted = 0;
    std::size_t removed = 0;
    std::size_t changed = 0; // same identity, new version
    std::size_t kept = 0;

    bool any() const { return inserted + removed + changed != 0; }
};

// Fresh items with the old objects put back where they still hold.
struct MergedItems {
    std::vector<MediaItemPtr> items;
    ItemChanges changes;
    // Whether items holds the old objects in their old order.
    bool same = false;
    // Each fresh object that an old one replaced: lists that share the items
    // (a catalogue's albums and playlists) take the old objects through it.
    std::unordered_map<const MediaItem*, MediaItemPtr> keptFor;
};

// Merges fresh (in the order the source now gives) with old. Touches only
// what items were built with (identity, version): safe on a reading thread
// while old is shown. Identities given twice are matched in order.
MergedItems mergeItems(const std::vector<MediaItemPtr>& old, std::vector<MediaItemPtr> fresh);

// The merged items placed in the order of current, a list kept in the user's
// order: items of current that remain keep their places, and the others of
// merged (new, or replacing one) are placed by order — those that comparable
// says cannot be compared yet (their texts are still being read) go to the
// end, in merged's order, to be placed once they can.
std::vector<MediaItemPtr> keepOrder(const std::vector<MediaItemPtr>& current,
                                    const std::vector<MediaItemPtr>& merged,
                                    const std::function<bool(MediaItem&, MediaItem&)>& order,
                                    const std::function<bool(MediaItem&)>& comparable);

// What a merge of sub-folders did.
struct FolderChanges {
    std::size_t inserted = 0;
    std::size_t removed = 0;
    std::size_t kept = 0;

    bool any() const { return inserted + removed != 0; }
};

// Sub-folders: fresh with each old folder of the same identity put back in
// its place (main thread). A kept folder takes over what the fresh one was
// given: its name and icon, and — when the fresh one was read already, as a
// catalogue's groups are — its items and sub-folders, merged the same way
// down the tree, posting only what changed.
std::vector<std::shared_ptr<MediaFolder>> mergeFolders(const std::vector<std::shared_ptr<MediaFolder>>& old,
                                                       std::vector<std::shared_ptr<MediaFolder>> fresh,
                                                       FolderChanges* changes = nullptr);

} // namespace FolderMerge
