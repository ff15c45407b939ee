#pragma once

#include <QVMediaBrowser/Export.h>

// Names of the notifications the library posts on its process's default
// notification centre, each holding the name string its comment gives.

// "MediaFolderSubFoldersChangedNotification": with a folder whose sub-folder
// list changed, then with each ancestor.
QVMB_EXPORT extern const char MediaFolderSubFoldersChanged[];
// "MediaFolderFilesChangedNotification": with a folder whose item list changed.
QVMB_EXPORT extern const char MediaFolderFilesChanged[];

// "UserPreferencesChangedNotification": with the preferences store, after the
// folder lists changed.
QVMB_EXPORT extern const char UserPreferencesChanged[];
// "SynchronizedPrefsNotification": broadcast to every running copy of the
// library after the preferences were written.
QVMB_EXPORT extern const char SynchronizedPrefs[];

// "QVMBListCtrlNumItemsChangedNotification": with a list controller at the end
// of every rebuild of its list.
QVMB_EXPORT extern const char QVMBListCtrlNumItemsChanged[];
// "QVMBListCtrlCanPlayChangedNotification": with a list controller right after
// the count notification of a rebuild.
QVMB_EXPORT extern const char QVMBListCtrlCanPlayChanged[];
// "QVMBListCtrlIsPlayingChangedNotification": with a list controller when
// playback starts or stops.
QVMB_EXPORT extern const char QVMBListCtrlIsPlayingChanged[];

// "IconViewDrawNotification": with the thumbnail grid at the very start of
// every redraw (scrolling, resizing, a selection change, a reload); drawing a
// picture that has just arrived in its cell is no redraw and posts nothing.
QVMB_EXPORT extern const char IconViewDraw[];
// "IconViewSelectionChangedNotification": with the thumbnail grid whenever a
// click, a cursor move, Select All or a reload may have changed the selection.
QVMB_EXPORT extern const char IconViewSelectionChanged[];
// "IconViewDoubleClickNotification": with the thumbnail grid on the release of
// a double click.
QVMB_EXPORT extern const char IconViewDoubleClick[];
