#include "platform/system/ExtensionSet.h"

#include <algorithm>

ExtensionSet::ExtensionSet(const QSet<QString>& extensions) {
    for (const QString& extension : extensions) {
        quint64 key = 0;
        if (pack(extension, key)) {
            _packed.push_back(key);
        } else {
            _others.insert(extension);
        }
    }
    std::sort(_packed.begin(), _packed.end());
}

bool ExtensionSet::pack(QStringView extension, quint64& key) {
    // File names hold no NUL, so the length is implied by the packed characters.
    if (extension.isEmpty() || extension.size() > 8) {
        return false;
    }
    key = 0;
    for (const QChar c : extension) {
        if (c.unicode() == 0 || c.unicode() > 0xFF) {
            return false;
        }
        key = (key << 8) | c.unicode();
    }
    return true;
}

bool ExtensionSet::contains(QStringView extension) const {
    quint64 key = 0;
    if (pack(extension, key)) {
        return std::binary_search(_packed.begin(), _packed.end(), key);
    }
    return !extension.isEmpty() && _others.contains(QString::fromRawData(extension.data(), extension.size()));
}
