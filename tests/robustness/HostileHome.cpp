#include "HostileHome.h"

#include "platform/system/PreferencesStore.h"
#include "prefs/UserPreferences.h"

#include <QFileInfo>

QByteArray catalogue(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n" +
           body + "\n</dict>\n</plist>\n";
}

Tally loadEverything(const MediaFolderPtr& folder) {
    Tally tally;
    for (const MediaItemPtr& item : folder->files()) {
        (void)item->name();
        (void)item->url();
        (void)item->matchesFilter(QStringLiteral("e"));
        ++tally.items;
    }
    for (const MediaFolderPtr& child : folder->folders()) {
        const Tally below = loadEverything(child);
        tally.folders += 1 + below.folders;
        tally.items += below.items;
    }
    return tally;
}

QStringList HostileHome::preferencesPaths() {
    const QString file = PreferencesStore::filePath(UserPreferences::bundleID());
    return {file, QFileInfo(file).path()};
}

void HostileHome::expectNothingWritten() {
    if (_before) {
        const QStringList changes = TreeSnapshot(_home.path()).changesSince(*_before, preferencesPaths());
        EXPECT_TRUE(changes.isEmpty())
            << "written in the home: " << changes.join(QLatin1Char('\n')).toStdString();
        _before.reset();
    }
}
