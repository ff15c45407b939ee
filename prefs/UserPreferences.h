#pragma once

#include <QStringList>
#include <QVMediaBrowser/Notifications.h>
#include <QVMediaBrowser/Preferences.h>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class PreferencesStore;

// The fixed identifier under which the library keeps its preferences.
extern const char QVMediaBrowserBundleIdentifier[];
// Whether the browser looks for media servers on the local network: "true"
// or "false", true when not stored.
extern const char MediaServersKey[];

// The process-wide store of the user's three folder lists, kept in step
// between all running copies of the library.
class UserPreferences {
public:
    // The one store of the process, created (and loaded) on first use.
    static UserPreferences* sharedPreferences();

    // The live lists: later re-reads and setters change these very lists.
    QStringList& picturePaths() { return _picturePaths; }
    QStringList& musicPaths() { return _musicPaths; }
    QStringList& moviePaths() { return _moviePaths; }

    void setPicturePaths(const QStringList& paths);
    void setMusicPaths(const QStringList& paths);
    void setMoviePaths(const QStringList& paths);

    // Whether media servers on the local network are shown.
    bool mediaServersEnabled() const { return _mediaServers; }
    void setMediaServersEnabled(bool enabled);
    // Whether thumbnails are written to the desktop's shared cache. Setting it
    // takes effect at once and is stored with the next synchronize().
    bool writesThumbnailCache() const { return _writesThumbnailCache; }
    void setWritesThumbnailCache(bool writes);

    // Writes to disk and tells every running copy to re-read.
    void synchronize();
    // Re-reads all three lists and posts UserPreferencesChanged once.
    void synchronizedPrefs();

    // The stored value for key, or its default. A stored value that is not a
    // list of strings counts as not stored.
    QVariant preferenceForKey(const QString& key) const;
    void setPreference(const QVariant& value, const QString& key);

    static QString bundleID();

private:
    UserPreferences();
    ~UserPreferences();
    void replaceList(QStringList& list, const QStringList& paths, const char* key);

    QStringList _picturePaths;
    QStringList _musicPaths;
    QStringList _moviePaths;
    bool _mediaServers = true;
    bool _writesThumbnailCache = true;
    QVariantMap _defaults;
    std::unique_ptr<PreferencesStore> _store;

    static UserPreferences* _sharedPreferences;
};
