#include "model/MediaItem.h"

MediaItem::~MediaItem() = default;
