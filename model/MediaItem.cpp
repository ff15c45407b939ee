#include "model/MediaItem.h"

MediaItem::~MediaItem() = default;

QUrl MediaItem::url() const {
    return {};
}
