#include "support/CatalogueOutline.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"

namespace CatalogueOutline {

QString item(const MediaItemPtr& item) {
    if (const auto photo = std::dynamic_pointer_cast<Photo>(item)) {
        return QStringLiteral("%1|%2").arg(photo->name(), photo->path());
    }
    if (const auto track = std::dynamic_pointer_cast<QVTrack>(item)) {
        return QStringLiteral("%1|%2|%3|%4")
            .arg(track->name(), track->artist())
            .arg(track->length())
            .arg(track->url().toString());
    }
    return QStringLiteral("%1|%2").arg(item->name(), item->url().toString());
}

QStringList items(const std::vector<MediaItemPtr>& list) {
    QStringList result;
    for (const MediaItemPtr& each : list) {
        result << item(each);
    }
    return result;
}

QString groups(const std::vector<CatalogueGroup>& list) {
    QStringList parts;
    for (const CatalogueGroup& group : list) {
        QString part = QStringLiteral("%1[%2]").arg(group.name).arg(group.items.size());
        if (!group.groups.empty()) {
            part += QLatin1Char('(') + groups(group.groups) + QLatin1Char(')');
        }
        parts << part;
    }
    return parts.join(QLatin1Char(','));
}

QStringList folderNames(const MediaFolderPtr& root) {
    QStringList names;
    for (const MediaFolderPtr& folder : root->folders()) {
        names << folder->name();
    }
    return names;
}

const CatalogueGroup* find(const std::vector<CatalogueGroup>& list, const QString& path) {
    const std::vector<CatalogueGroup>* level = &list;
    const CatalogueGroup* found = nullptr;
    for (const QString& name : path.split(QLatin1Char('/'))) {
        found = nullptr;
        for (const CatalogueGroup& group : *level) {
            if (group.name == name) {
                found = &group;
                break;
            }
        }
        if (found == nullptr) {
            return nullptr;
        }
        level = &found->groups;
    }
    return found;
}

} // namespace CatalogueOutline
