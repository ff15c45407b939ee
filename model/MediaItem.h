#pragma once

#include <QString>
#include <QUrl>

#include <memory>

// An item that a folder lists: a picture, an audio track or a movie. Every
// kind has a display name and answers whether it matches the search text.
// Both may read the item's file the first time they are asked. Tracks and
// movies also answer the URL they play from: a file URL, or for an item of a
// media server, the server's http URL.
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
    // The file URL of a track or movie (never reads the file); empty for
    // pictures on disk. A media server's items answer their http URL.
    virtual QUrl url() const;
    // The picture a media server offers for the item (its thumbnail or album
    // art); empty for everything else.
    virtual QUrl thumbnailUrl() const;
    // A hash of what the item shows and plays, from what it holds (no file
    // is read): catalogues read again compare their items by it. Kinds that
    // do not say answer a number no other item has.
    virtual std::size_t contentHash() const;

    // What the item stands for across reads of its source: its file's path,
    // else its URL. A source read again keeps the item whose identity and
    // version are unchanged. Made from what the item was built with: safe to
    // ask on a reading thread while the item is shown.
    virtual QString identity() const;
    // Which state of that file or entry the item shows: for files listed from
    // a directory their size and change time (setStamp, by the listing), so
    // that a file written in place becomes a new item; for catalogue entries
    // what they show and play (contentHash).
    std::size_t version() const { return _stamp != 0 ? _stamp : contentHash(); }
    void setStamp(std::size_t stamp) { _stamp = stamp; }
    // The listed file's state, or 0 for an item no directory listing made.
    std::size_t stamp() const { return _stamp; }

protected:
    MediaItem() = default;
    MediaItem(const MediaItem&) = default;
    MediaItem& operator=(const MediaItem&) = default;

private:
    std::size_t _stamp = 0;
};

using MediaItemPtr = std::shared_ptr<MediaItem>;
