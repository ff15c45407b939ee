#pragma once

#include "model/MediaFolder.h"

#include <QStringList>

#include <vector>

// The names of items or folders, in order: what a test compares lists by.
inline QStringList names(const std::vector<MediaItemPtr>& items) {
    QStringList result;
    for (const auto& item : items) {
        result.append(item->name());
    }
    return result;
}

inline QStringList names(const std::vector<MediaFolderPtr>& folders) {
    QStringList result;
    for (const auto& folder : folders) {
        result.append(folder->name());
    }
    return result;
}
