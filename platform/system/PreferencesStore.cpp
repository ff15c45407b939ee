#include "platform/system/PreferencesStore.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>

namespace {

const QString kArrayItem = QStringLiteral("value");

bool isList(const QVariant& value) {
    return value.canConvert<QVariantList>() && value.metaType() != QMetaType::fromType<QString>();
}

// Writes value under key, a list as an INI array.
void write(QSettings& settings, const QString& key, const QVariant& value) {
    settings.remove(key);
    if (!isList(value)) {
        settings.setValue(key, value);
        return;
    }
    const QVariantList list = value.toList();
    settings.beginWriteArray(key, static_cast<int>(list.size()));
    for (int i = 0; i < list.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(kArrayItem, list.at(i));
    }
    settings.endArray();
}

bool belongsTo(const QString& settingsKey, const QString& key) {
    return settingsKey == key ||
           (settingsKey.startsWith(key) && settingsKey.at(key.size()) == QLatin1Char('/'));
}

} // namespace

PreferencesStore::PreferencesStore(const QString& applicationId)
    : _applicationId(applicationId)
    , _path(filePath(applicationId))
    , _settings(_path, QSettings::IniFormat) {
}

QString PreferencesStore::filePath(const QString& applicationId) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           applicationId + QStringLiteral(".conf");
}

std::optional<QVariant> PreferencesStore::read(const QString& key) const {
    if (const auto recorded = _recorded.find(key); recorded != _recorded.end()) {
        return isList(recorded->second) ? QVariant(recorded->second.toList()) : recorded->second;
    }
    if (_settings.childGroups().contains(key)) {
        // The array's recorded size is only a number in the file: a list is
        // never longer than the elements the file holds.
        _settings.beginGroup(key);
        const qsizetype stored = _settings.childGroups().size();
        _settings.endGroup();
        const int size = static_cast<int>(std::clamp<qsizetype>(_settings.beginReadArray(key), 0, stored));
        QVariantList list;
        list.reserve(size);
        for (int i = 0; i < size; ++i) {
            _settings.setArrayIndex(i);
            list.append(_settings.value(kArrayItem));
        }
        _settings.endArray();
        return list;
    }
    if (_settings.contains(key)) {
        return _settings.value(key);
    }
    return std::nullopt;
}

void PreferencesStore::record(const QString& key, const QVariant& value) {
    _recorded[key] = value;
}

void PreferencesStore::synchronize() {
    if (!_recorded.empty() && writeRecorded()) {
        _recorded.clear();
    }
    _settings.sync();
}

bool PreferencesStore::writeRecorded() {
    const QString directory = QFileInfo(_path).path();
    if (!QDir().mkpath(directory)) {
        return false;
    }
    // The lock QSettings itself takes, so that copies writing at once do not
    // lose each other's values.
    QLockFile lock(_path + QStringLiteral(".lock"));
    if (!lock.tryLock(2000)) {
        return false;
    }
    QTemporaryFile replacement(_path + QStringLiteral(".XXXXXX"));
    if (!replacement.open()) {
        return false;
    }
    replacement.close();
    QStringList keys;
    QStringList values;
    {
        // The file as it is now, with the recorded values in place of theirs.
        const QSettings current(_path, QSettings::IniFormat);
        QSettings merged(replacement.fileName(), QSettings::IniFormat);
        for (const QString& key : current.allKeys()) {
            const bool replaced = std::any_of(_recorded.begin(), _recorded.end(),
                                              [&](const auto& entry) { return belongsTo(key, entry.first); });
            if (!replaced) {
                merged.setValue(key, current.value(key));
            }
        }
        for (const auto& [key, value] : _recorded) {
            write(merged, key, value);
        }
        merged.sync();
        if (merged.status() != QSettings::NoError) {
            return false;
        }
        keys = merged.allKeys();
        for (const QString& key : keys) {
            values.append(merged.value(key).toString());
        }
    }
    // A disk that fills up can leave the file cut short with no error
    // reported: only a file that reads back whole replaces the old one. It is
    // read under a name of its own, since QSettings shares what it read of a
    // file between the objects that name it.
    const QString checked = replacement.fileName() + QStringLiteral("-checked");
    if (std::rename(QFile::encodeName(replacement.fileName()).constData(),
                    QFile::encodeName(checked).constData()) != 0) {
        return false;
    }
    bool whole = false;
    {
        const QSettings written(checked, QSettings::IniFormat);
        whole = written.status() == QSettings::NoError && written.allKeys() == keys;
        for (qsizetype i = 0; whole && i < keys.size(); ++i) {
            whole = written.value(keys.at(i)).toString() == values.at(i);
        }
    }
    if (!whole ||
        std::rename(QFile::encodeName(checked).constData(), QFile::encodeName(_path).constData()) != 0) {
        QFile::remove(checked);
        return false;
    }
    return true;
}
