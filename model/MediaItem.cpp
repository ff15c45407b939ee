#include "model/MediaItem.h"

#include <atomic>

MediaItem::~MediaItem() = default;

std::size_t MediaItem::contentHash() const {
    static std::atomic<std::size_t> made{0};
    return ++made;
}

QUrl MediaItem::url() const {
    return {};
}

QUrl MediaItem::thumbnailUrl() const {
    return {};
}

QString MediaItem::searchField(int) {
    return name();
}

QString MediaItem::identity() const {
    return url().toString();
}
