#include "platform/network/MediaServers.h"

#include "platform/network/HelperProtocol.h"
#include "platform/network/NetworkHelper.h"
#include "platform/system/NotificationCenter.h"

#include <QTimer>

const char MediaServersChanged[] = "MediaServersChangedNotification";

namespace {

// After the helper ended, discovery starts again this much later (the
// helper itself is not started again sooner).
constexpr int kRediscoverMs = 3500;

QString text(const std::vector<std::string>& event, std::size_t field) {
    return field < event.size() ? QString::fromUtf8(event[field]) : QString();
}

} // namespace

MediaServers& MediaServers::shared() {
    static MediaServers* servers = new MediaServers(); // lives until the process ends
    return *servers;
}

MediaServers::MediaServers() {
    NetworkHelper::shared().setEventHandler(
        [this](const std::vector<std::string>& event) { handleEvent(event); });
}

void MediaServers::setEnabled(bool enabled) {
    if (enabled == _enabled) {
        return;
    }
    _enabled = enabled;
    NetworkHelper::shared().setDiscovery(enabled);
    if (!enabled && !_servers.empty()) {
        _servers.clear();
        NotificationCenter::defaultCenter().postNotification(MediaServersChanged, this);
    }
}

const MediaServer* MediaServers::server(const QString& udn) const {
    for (const MediaServer& server : _servers) {
        if (server.udn == udn) {
            return &server;
        }
    }
    return nullptr;
}

void MediaServers::handleEvent(const std::vector<std::string>& event) {
    if (event.empty()) {
        return;
    }
    const std::string& name = event[0];
    if (name == "ended") {
        helperEnded();
        return;
    }
    if (!_enabled) {
        return;
    }
    const QString udn = text(event, 1);
    if (udn.isEmpty()) {
        return;
    }
    MediaServer* known = nullptr;
    for (MediaServer& server : _servers) {
        if (server.udn == udn) {
            known = &server;
        }
    }
    if (name == HelperProtocol::kServerGone) {
        if (known == nullptr || !known->available) {
            return;
        }
        known->available = false;
    } else if (name == HelperProtocol::kServer) {
        if (known == nullptr) {
            _servers.push_back(MediaServer{});
            known = &_servers.back();
            known->udn = udn;
        }
        const QString kinds = text(event, 4);
        known->name = text(event, 2);
        known->host = text(event, 3);
        known->pictures = kinds.contains(QLatin1Char(HelperProtocol::kPictures));
        known->music = kinds.contains(QLatin1Char(HelperProtocol::kMusic));
        known->movies = kinds.contains(QLatin1Char(HelperProtocol::kMovies));
        known->searchable = text(event, 5) == QLatin1String("1");
        known->available = true;
    } else {
        return;
    }
    NotificationCenter::defaultCenter().postNotification(MediaServersChanged, this);
}

void MediaServers::helperEnded() {
    bool changed = false;
    for (MediaServer& server : _servers) {
        changed = changed || server.available;
        server.available = false;
    }
    if (changed) {
        NotificationCenter::defaultCenter().postNotification(MediaServersChanged, this);
    }
    if (_enabled && !_restartPending) {
        _restartPending = true;
        QTimer::singleShot(kRediscoverMs, [this] {
            _restartPending = false;
            if (_enabled) {
                NetworkHelper::shared().setDiscovery(true);
            }
        });
    }
}
