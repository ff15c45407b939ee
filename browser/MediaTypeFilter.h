#pragma once

#include "model/MediaItem.h"

#include <QString>
#include <QStringList>

#include <optional>

// What a picker lets the user choose, from the kinds and MIME types a host or
// a caller on the bus asked for: which tabs to offer, and whether an item is
// of a wanted type. A family ("image/*") or kind ("pictures") takes every item
// of its tab; an exact type takes the items whose file name says that type
// (or one derived from it). No file is read.
class MediaTypeFilter {
public:
    // Every kind.
    MediaTypeFilter() = default;

    // From kinds ("pictures", "music", "movies") and MIME types of pictures,
    // audio and video; none when one is neither (an empty list: every kind).
    static std::optional<MediaTypeFilter> fromTypes(const QStringList& types);

    // The tabs to offer, as QVMediaBrowser's type mask bits.
    int typeMask() const { return _wholeKinds | _exactKinds; }
    bool accepts(MediaItem& item) const;

    // The MIME type of a file by its name; empty when unknown.
    static QString mimeTypeOfFile(const QString& path);
    // The kind bit (QVMediaBrowser's type mask) of an item.
    static int kindOf(MediaItem& item);
    // The local file an item stands for; empty when it has none.
    static QString filePath(MediaItem& item);

private:
    int _wholeKinds = 7;
    int _exactKinds = 0;
    QStringList _exactTypes;
};
