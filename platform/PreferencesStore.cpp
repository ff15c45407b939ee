#include "platform/PreferencesStore.h"

#include <QStandardPaths>

#include <algorithm>

namespace {
const QString kArrayItem = QStringLiteral("value");
}

PreferencesStore::PreferencesStore(const QString& applicationId)
    : _applicationId(applicationId)
    , _settings(filePath(applicationId), QSettings::IniFormat) {
}

QString PreferencesStore::filePath(const QString& applicationId) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           applicationId + QStringLiteral(".conf");
}

std::optional<QVariant> PreferencesStore::read(const QString& key) const {
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
    _settings.remove(key);
    if (value.canConvert<QVariantList>() && value.metaType() != QMetaType::fromType<QString>()) {
        const QVariantList list = value.toList();
        _settings.beginWriteArray(key, static_cast<int>(list.size()));
        for (int i = 0; i < list.size(); ++i) {
            _settings.setArrayIndex(i);
            _settings.setValue(kArrayItem, list.at(i));
        }
        _settings.endArray();
        return;
    }
    _settings.setValue(key, value);
}

void PreferencesStore::synchronize() {
    _settings.sync();
}
