#include "model/MediaItem.h"

MediaItem::~MediaItem() = default;

QUrl MediaItem::url() const {
    return {};
}

QString MediaItem::searchField(int) {
    return name();
}
