#include "sources/network/NetworkSources.h"

#include "platform/network/MediaServers.h"
#include "platform/system/NotificationCenter.h"
#include "sources/network/MediaServerFolder.h"

namespace {

MediaFolder* rootOf(const CatalogueRoots& roots, int type) {
    switch (type) {
    case 0:
        return roots.photos;
    case 1:
        return roots.music;
    case 2:
        return roots.movies;
    default:
        return nullptr;
    }
}

bool hasType(const MediaServer& server, int type) {
    return (type == 0 && server.pictures) || (type == 1 && server.music) || (type == 2 && server.movies);
}

// Every loaded folder below folder (itself included), as the presence of its
// server changed.
void tellPresence(MediaFolder& folder) {
    if (auto* serverFolder = dynamic_cast<MediaServerFolder*>(&folder)) {
        serverFolder->serverPresenceChanged();
    }
    if (folder.isLoaded()) {
        for (const MediaFolderPtr& child : folder.folders()) {
            tellPresence(*child);
        }
    }
}

} // namespace

NetworkSources::NetworkSources() {
    NotificationCenter::defaultCenter().addObserver(this, MediaServersChanged, nullptr,
                                                    [this](const Notification&) { serversChanged(); });
}

NetworkSources::~NetworkSources() {
    NotificationCenter::defaultCenter().removeObserver(this);
}

void NetworkSources::setEnabled(bool enabled) {
    MediaServers::shared().setEnabled(enabled);
}

void NetworkSources::addToRoots(const CatalogueRoots& roots) {
    _roots = roots;
    _shown.clear();
    for (const MediaServer& server : MediaServers::shared().servers()) {
        for (int type = 0; type < 3; ++type) {
            if (hasType(server, type)) {
                show(server, type);
            }
        }
    }
}

std::shared_ptr<ServerPresence> NetworkSources::presenceOf(const QString& udn) {
    std::shared_ptr<ServerPresence>& presence = _presence[udn];
    if (!presence) {
        presence = std::make_shared<ServerPresence>();
    }
    return presence;
}

void NetworkSources::show(const MediaServer& server, int type) {
    MediaFolder* root = rootOf(_roots, type);
    if (root == nullptr) {
        return;
    }
    ServerContainer container;
    container.udn = server.udn;
    container.host = server.host;
    container.objectId = QStringLiteral("0");
    container.type = type;
    container.searchable = server.searchable;
    container.folderIcon = MediaServerFolder::folderIcon();
    container.presence = presenceOf(server.udn);
    container.presence->available = server.available;
    auto folder = std::make_shared<MediaServerFolder>(std::move(container), server.name);
    _shown.push_back({server.udn, type, folder});
    root->addFolder(folder);
}

void NetworkSources::serversChanged() {
    const std::vector<MediaServer>& servers = MediaServers::shared().servers();
    // Servers no longer listed at all (discovery switched off) lose their folders at the next rebuild.
    for (const MediaServer& server : servers) {
        const std::shared_ptr<ServerPresence> presence = presenceOf(server.udn);
        const bool presenceChanged = presence->available != server.available;
        presence->available = server.available;
        for (int type = 0; type < 3; ++type) {
            const auto shown = std::find_if(_shown.begin(), _shown.end(), [&](const Shown& entry) {
                return entry.udn == server.udn && entry.type == type;
            });
            const MediaFolderPtr folder = shown != _shown.end() ? shown->folder.lock() : nullptr;
            if (!folder && hasType(server, type)) {
                show(server, type); // found now, or found to have this kind now
            } else if (folder && presenceChanged) {
                tellPresence(*folder);
            }
        }
    }
}
