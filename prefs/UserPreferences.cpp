#include "prefs/UserPreferences.h"

#include "platform/media/ThumbnailCache.h"
#include "platform/system/DistributedNotificationCenter.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/PreferencesStore.h"

const char PicturePathsKey[] = "PicturePaths";
const char MusicPathsKey[] = "MusicPaths";
const char MoviePathsKey[] = "MoviePaths";
const char MediaServersKey[] = "MediaServers";
const char WriteThumbnailCacheKey[] = "WriteThumbnailCache";
const char UserPreferencesChanged[] = "UserPreferencesChangedNotification";
const char SynchronizedPrefs[] = "SynchronizedPrefsNotification";
const char QVMediaBrowserBundleIdentifier[] = "org.qvmediabrowser.QVMediaBrowser";

UserPreferences* UserPreferences::_sharedPreferences = nullptr;

QVariantMap Defaults() {
    return {
        {QLatin1String(PicturePathsKey), QStringList{QStringLiteral("~/Pictures")}},
        {QLatin1String(MusicPathsKey), QStringList{QStringLiteral("~/Music")}},
        {QLatin1String(MoviePathsKey), QStringList{QStringLiteral("~/Movies")}},
    };
}

namespace {

// A stored list must be a list of strings; anything else (a plain string, a
// number, a list holding other values) is treated as nothing stored.
std::optional<QStringList> asStringList(const QVariant& value) {
    if (value.metaType() != QMetaType::fromType<QVariantList>() &&
        value.metaType() != QMetaType::fromType<QStringList>()) {
        return std::nullopt;
    }
    QStringList list;
    for (const QVariant& element : value.toList()) {
        if (element.metaType() != QMetaType::fromType<QString>()) {
            return std::nullopt;
        }
        list.append(element.toString());
    }
    return list;
}

} // namespace

UserPreferences* UserPreferences::sharedPreferences() {
    if (_sharedPreferences == nullptr) {
        new UserPreferences(); // records itself; lives until the process ends
    }
    return _sharedPreferences;
}

UserPreferences::UserPreferences()
    : _store(std::make_unique<PreferencesStore>(bundleID())) {
    // Recorded before loading, so that observers of the first change
    // notification that ask for the shared store get this one.
    _sharedPreferences = this;
    _defaults = Defaults();
    _picturePaths.reserve(1);
    _musicPaths.reserve(1);
    _moviePaths.reserve(1);
    synchronizedPrefs();
    DistributedNotificationCenter::defaultCenter().addObserver(this, QLatin1String(SynchronizedPrefs),
                                                               [this] { synchronizedPrefs(); });
}

UserPreferences::~UserPreferences() {
    DistributedNotificationCenter::defaultCenter().removeObserver(this, QLatin1String(SynchronizedPrefs));
}

QString UserPreferences::bundleID() {
    return QLatin1String(QVMediaBrowserBundleIdentifier);
}

QVariant UserPreferences::preferenceForKey(const QString& key) const {
    const std::optional<QVariant> stored = _store->read(key);
    if (stored) {
        if (const std::optional<QStringList> list = asStringList(*stored)) {
            return *list;
        }
    }
    return _defaults.value(key);
}

void UserPreferences::setPreference(const QVariant& value, const QString& key) {
    _store->record(key, value);
}

void UserPreferences::replaceList(QStringList& list, const QStringList& paths, const char* key) {
    const QStringList copy = paths; // paths may be the live list itself
    list.clear();
    list.append(copy);
    setPreference(list, QLatin1String(key));
    NotificationCenter::defaultCenter().postNotification(UserPreferencesChanged, this);
}

void UserPreferences::setPicturePaths(const QStringList& paths) {
    replaceList(_picturePaths, paths, PicturePathsKey);
}

void UserPreferences::setMusicPaths(const QStringList& paths) {
    replaceList(_musicPaths, paths, MusicPathsKey);
}

void UserPreferences::setMoviePaths(const QStringList& paths) {
    replaceList(_moviePaths, paths, MoviePathsKey);
}

void UserPreferences::setMediaServersEnabled(bool enabled) {
    _mediaServers = enabled;
    setPreference(enabled, QLatin1String(MediaServersKey));
    NotificationCenter::defaultCenter().postNotification(UserPreferencesChanged, this);
}

void UserPreferences::setWritesThumbnailCache(bool writes) {
    _writesThumbnailCache = writes;
    setPreference(writes, QLatin1String(WriteThumbnailCacheKey));
    ThumbnailCache::setWritingEnabled(writes);
}

void UserPreferences::synchronize() {
    _store->synchronize();
    DistributedNotificationCenter::defaultCenter().postNotification(QLatin1String(SynchronizedPrefs));
}

void UserPreferences::synchronizedPrefs() {
    _store->synchronize();
    _picturePaths.clear();
    _musicPaths.clear();
    _moviePaths.clear();
    _picturePaths.append(preferenceForKey(QLatin1String(PicturePathsKey)).toStringList());
    _musicPaths.append(preferenceForKey(QLatin1String(MusicPathsKey)).toStringList());
    _moviePaths.append(preferenceForKey(QLatin1String(MoviePathsKey)).toStringList());
    // Anything stored but a plain "false" leaves it on.
    const std::optional<QVariant> servers = _store->read(QLatin1String(MediaServersKey));
    _mediaServers = !servers || servers->toString().trimmed().toLower() != QLatin1String("false");
    // Anything but a stored false leaves writing on.
    const std::optional<QVariant> writes = _store->read(QLatin1String(WriteThumbnailCacheKey));
    _writesThumbnailCache = !writes || writes->toString() != QLatin1String("false");
    ThumbnailCache::setWritingEnabled(_writesThumbnailCache);
    NotificationCenter::defaultCenter().postNotification(UserPreferencesChanged, this);
}
