#pragma once

#include <QString>
#include <QUrl>

#include <memory>

// An item that a folder lists: a picture, an audio track or a movie. Every
// kind has a display name and answers whether it matches the search text.
// Both may read the item's file the first time they are asked. Tracks and
// movies also answer the file URL they play from.
class MediaItem {
public:
    virtual ~MediaItem();

    virtual QString name() = 0;
    // text is a non-empty search text; matching ignores case, treats composed
    // and decomposed forms of a character as equal and keeps accents significant.
    virtual bool matchesFilter(const QString& text) = 0;
    // The texts matchesFilter() looks in, as written (the name; a track adds
    // its artist): what a list's search index folds once per item.
    virtual int searchFieldCount() { return 1; }
    virtual QString searchField(int field);
    // The file URL of a track or movie (never reads the file); empty for pictures.
    virtual QUrl url() const;
    // A hash of what the item shows and plays, from what it holds (no file
    // is read): catalogues read again compare their items by it. Kinds that
    // do not say answer a number no other item has.
    virtual std::size_t contentHash() const;

protected:
    MediaItem() = default;
    MediaItem(const MediaItem&) = default;
    MediaItem& operator=(const MediaItem&) = default;
};

using MediaItemPtr = std::shared_ptr<MediaItem>;
