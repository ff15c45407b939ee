#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

#include <map>
#include <optional>

// A per-user store of values keyed by (application identifier, key), kept in
// an INI file under the user's configuration directory. Lists are written as
// INI arrays so that empty and one-element lists read back exactly.
//
// Recorded values are kept here until synchronize() writes them: the file is
// replaced in one step by a complete new version, checked by reading it back
// first, so a full disk or a read-only directory leaves the old file whole
// (the values stay recorded and are written by a later synchronize()).
class PreferencesStore {
public:
    explicit PreferencesStore(const QString& applicationId);

    // The file that holds the values of applicationId for the current user.
    static QString filePath(const QString& applicationId);

    // The recorded value, else the stored value, or nothing. A list comes back
    // as a QVariantList whose elements are the values as read (strings for strings).
    std::optional<QVariant> read(const QString& key) const;

    // Records a value; it reaches the file at the next synchronize().
    void record(const QString& key, const QVariant& value);

    // Writes recorded values and picks up what other processes wrote since.
    void synchronize();

    QString applicationId() const { return _applicationId; }

private:
    bool writeRecorded();

    QString _applicationId;
    QString _path;
    // The file as last read; never written through, since a write that fails
    // part way can leave a file cut short without reporting an error.
    mutable QSettings _settings;
    std::map<QString, QVariant> _recorded;
};
