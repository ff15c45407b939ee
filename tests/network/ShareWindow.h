#pragma once

#include "browser/MediaBrowserWindow.h"
#include "browser/QVMBTreeController.h"
#include "model/MediaFolder.h"

// The top folder of the Pictures tab's outline called name: a location of
// the preferences' list, or nothing.
inline MediaFolderPtr rootFolder(MediaBrowserWindow& window, const QString& name) {
    MediaFolder* root = window.treeController(0)->folderForIndex({});
    for (const MediaFolderPtr& folder : root->folders()) {
        if (folder->name() == name) {
            return folder;
        }
    }
    return nullptr;
}
