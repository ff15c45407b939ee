#pragma once

#include "platform/Export.h"

#include <QSettings>
#include <QString>
#include <QVariant>

#include <optional>

// A per-user store of values keyed by (application identifier, key), kept in
// an INI file under the user's configuration directory. Lists are written as
// INI arrays so that empty and one-element lists read back exactly.
class QVMB_EXPORT PreferencesStore {
public:
    explicit PreferencesStore(const QString& applicationId);

    // The file that holds the values of applicationId for the current user.
    static QString filePath(const QString& applicationId);

    // The stored value, or nothing. A list comes back as a QVariantList whose
    // elements are the stored values as read (strings for strings).
    std::optional<QVariant> read(const QString& key) const;

    // Records a value; it reaches the file at the next synchronize().
    void record(const QString& key, const QVariant& value);

    // Writes pending values and picks up what other processes wrote since.
    void synchronize();

    QString applicationId() const { return _applicationId; }

private:
    QString _applicationId;
    mutable QSettings _settings;
};
