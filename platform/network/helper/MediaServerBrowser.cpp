#include "platform/network/helper/MediaServerBrowser.h"

#include "platform/network/HelperProtocol.h"
#include "platform/network/helper/DidlReader.h"
#include "platform/network/helper/HelperChannel.h"

#include <array>
#include <cstring>
#include <libgupnp-av/gupnp-av.h>

namespace {

constexpr const char* kMediaServer = "urn:schemas-upnp-org:device:MediaServer:1";
constexpr const char* kContentDirectory = "urn:schemas-upnp-org:service:ContentDirectory";
// A page may hold more objects than were asked for (some servers ignore the
// count), but never more than this.
constexpr unsigned kMaxPageObjects = 5000;
// Seconds a server has to answer a request before it counts as gone silent.
constexpr unsigned kRequestTimeout = 30;
// How often, and how many seconds apart, a server is asked again for the
// kinds of media it seemed not to have.
constexpr int kReprobes = 5;
constexpr unsigned kReprobeSeconds = 20;

struct KindProbe {
    char kind;
    const char* criteria;
};
constexpr std::array<KindProbe, 3> kKindProbes = {{
    {HelperProtocol::kPictures, "upnp:class derivedfrom \"object.item.imageItem\""},
    {HelperProtocol::kMusic, "upnp:class derivedfrom \"object.item.audioItem\""},
    {HelperProtocol::kMovies, "upnp:class derivedfrom \"object.item.videoItem\""},
}};

std::string hostOf(const char* location) {
    if (location == nullptr) {
        return {};
    }
    GUri* uri = g_uri_parse(location, G_URI_FLAGS_NONE, nullptr);
    if (uri == nullptr) {
        return {};
    }
    const char* host = g_uri_get_host(uri);
    std::string result = host != nullptr ? host : "";
    g_uri_unref(uri);
    return result;
}

} // namespace

// One request in flight: what to answer, and to whom.
struct MediaServerBrowser::Call {
    MediaServerBrowser* browser;
    std::string id; // the library's request number; empty for a probe of the helper's own
    std::string udn;
    std::string host;
    GCancellable* cancellable = nullptr; // owned
    char probeKind = 0;                  // the kind probed, for a probe
    bool capabilities = false;           // asks for the search capabilities
    unsigned start = 0;

    ~Call() {
        if (cancellable != nullptr) {
            g_object_unref(cancellable);
        }
    }
};

MediaServerBrowser::MediaServerBrowser(HelperChannel& channel)
    : _channel(channel) {
}

MediaServerBrowser::~MediaServerBrowser() {
    stop();
}

void MediaServerBrowser::stop() {
    for (auto& [id, cancellable] : _requests) {
        g_cancellable_cancel(cancellable);
    }
    _requests.clear();
    for (auto& [udn, server] : _servers) {
        g_clear_object(&server.directory);
        if (server.reprobeTimer != 0) {
            g_source_remove(server.reprobeTimer);
        }
    }
    _servers.clear();
    if (_manager != nullptr) {
        g_signal_handlers_disconnect_by_data(_manager, this);
        g_clear_object(&_manager);
    }
}

void MediaServerBrowser::start() {
    if (_manager != nullptr) {
        return;
    }
    _manager = gupnp_context_manager_create_full(GSSDP_UDA_VERSION_1_0, G_SOCKET_FAMILY_IPV4, 0);
    g_signal_connect(_manager, "context-available", G_CALLBACK(contextAvailable), this);
}

void MediaServerBrowser::contextAvailable(GUPnPContextManager* manager, GUPnPContext* context,
                                          gpointer self) {
    // A server that accepts a connection and never answers must not hold a
    // request for ever.
    g_object_set(gupnp_context_get_session(context), "timeout", kRequestTimeout, nullptr);
    GUPnPControlPoint* point = gupnp_control_point_new(context, kMediaServer);
    g_signal_connect(point, "device-proxy-available", G_CALLBACK(deviceAvailable), self);
    g_signal_connect(point, "device-proxy-unavailable", G_CALLBACK(deviceUnavailable), self);
    // Servers answer a search within this many seconds, each at a random moment.
    gssdp_resource_browser_set_mx(GSSDP_RESOURCE_BROWSER(point), 1);
    gssdp_resource_browser_set_active(GSSDP_RESOURCE_BROWSER(point), TRUE);
    gupnp_context_manager_manage_control_point(manager, point);
    g_object_unref(point);
}

void MediaServerBrowser::deviceAvailable(GUPnPControlPoint*, GUPnPDeviceProxy* device, gpointer self) {
    auto* browser = static_cast<MediaServerBrowser*>(self);
    auto* info = GUPNP_DEVICE_INFO(device);
    const char* udn = gupnp_device_info_get_udn(info);
    if (udn == nullptr) {
        return;
    }
    Server& server = browser->_servers[udn];
    if (++server.proxies > 1) {
        return; // the same server on another interface
    }
    server.udn = udn;
    char* name = gupnp_device_info_get_friendly_name(info);
    server.name = name != nullptr && *name != '\0' ? std::string(name, strnlen(name, 256)) : std::string(udn);
    g_free(name);
    server.host = hostOf(gupnp_device_info_get_location(info));
    GUPnPServiceInfo* directory = gupnp_device_info_get_service(info, kContentDirectory);
    if (directory == nullptr || server.host.empty()) {
        if (directory != nullptr) {
            g_object_unref(directory);
        }
        return; // nothing to browse: never announced
    }
    server.directory = GUPNP_SERVICE_PROXY(directory);
    browser->probe(server);
}

void MediaServerBrowser::deviceUnavailable(GUPnPControlPoint*, GUPnPDeviceProxy* device, gpointer self) {
    auto* browser = static_cast<MediaServerBrowser*>(self);
    const char* udn = gupnp_device_info_get_udn(GUPNP_DEVICE_INFO(device));
    if (udn == nullptr) {
        return;
    }
    const auto found = browser->_servers.find(udn);
    if (found == browser->_servers.end() || --found->second.proxies > 0) {
        return;
    }
    if (found->second.announced) {
        browser->_channel.send({std::string(HelperProtocol::kServerGone), found->second.udn});
    }
    g_clear_object(&found->second.directory);
    if (found->second.reprobeTimer != 0) {
        g_source_remove(found->second.reprobeTimer);
    }
    browser->_servers.erase(found);
}

void MediaServerBrowser::probe(Server& server) {
    // Which kinds of media the server has decides the tabs it shows in:
    // one search per kind for a single item, where the server can search.
    auto call = std::make_unique<Call>();
    call->browser = this;
    call->udn = server.udn;
    call->capabilities = true;
    GUPnPServiceProxyAction* action = gupnp_service_proxy_action_new("GetSearchCapabilities", nullptr);
    callDirectory(server, action, std::move(call));
}

void MediaServerBrowser::probeFinished(const std::string& udn, char kind, bool found) {
    const auto it = _servers.find(udn);
    if (it == _servers.end()) {
        return;
    }
    Server& server = it->second;
    if (found) {
        server.kinds += kind;
    }
    if (--server.probesLeft > 0) {
        probeNextKind(server);
        return;
    }
    // A server that finds nothing of any kind is most likely still scanning
    // its disks, or searches badly: shown everywhere.
    if (server.kinds.empty()) {
        server.kinds = {HelperProtocol::kPictures, HelperProtocol::kMusic, HelperProtocol::kMovies};
    }
    announce(server);
    // Kinds it has none of yet may come with its scanning: asked again a few times.
    if (server.kinds.size() < kKindProbes.size() && server.reprobes < kReprobes) {
        ++server.reprobes;
        auto* later = new std::pair<MediaServerBrowser*, std::string>(this, server.udn);
        server.reprobeTimer = g_timeout_add_seconds_full(
            G_PRIORITY_DEFAULT, kReprobeSeconds,
            [](gpointer data) {
                auto& [browser, udn] = *static_cast<std::pair<MediaServerBrowser*, std::string>*>(data);
                const auto found = browser->_servers.find(udn);
                if (found != browser->_servers.end()) {
                    found->second.reprobeTimer = 0;
                    found->second.probesLeft = static_cast<int>(kKindProbes.size());
                    browser->probeNextKind(found->second);
                }
                return G_SOURCE_REMOVE;
            },
            later,
            [](gpointer data) { delete static_cast<std::pair<MediaServerBrowser*, std::string>*>(data); });
    }
}

void MediaServerBrowser::probeNextKind(Server& server) {
    // One at a time: small servers answer searches that arrive together badly.
    const KindProbe& probe = kKindProbes[kKindProbes.size() - static_cast<std::size_t>(server.probesLeft)];
    if (server.kinds.find(probe.kind) != std::string::npos) {
        probeFinished(server.udn, probe.kind, false); // known already
        return;
    }
    auto call = std::make_unique<Call>();
    call->browser = this;
    call->udn = server.udn;
    call->host = server.host;
    call->probeKind = probe.kind;
    GUPnPServiceProxyAction* search = gupnp_service_proxy_action_new(
        "Search", "ContainerID", G_TYPE_STRING, "0", "SearchCriteria", G_TYPE_STRING, probe.criteria,
        "Filter", G_TYPE_STRING, "*", "StartingIndex", G_TYPE_UINT, 0, "RequestedCount", G_TYPE_UINT, 1,
        "SortCriteria", G_TYPE_STRING, "", nullptr);
    callDirectory(server, search, std::move(call));
}

void MediaServerBrowser::announce(Server& server) {
    std::string kinds;
    for (const KindProbe& probe : kKindProbes) {
        if (server.kinds.find(probe.kind) != std::string::npos) {
            kinds += probe.kind;
        }
    }
    if (server.announced && kinds == server.announcedKinds) {
        return;
    }
    // Announced again when it turns out to have more kinds.
    server.announced = true;
    server.announcedKinds = kinds;
    _channel.send({std::string(HelperProtocol::kServer), server.udn, server.name, server.host, kinds,
                   server.searchable ? "1" : "0"});
}

void MediaServerBrowser::browse(const std::string& id, const std::string& udn, const std::string& objectId,
                                unsigned start, unsigned count) {
    request(id, udn, start,
            gupnp_service_proxy_action_new(
                "Browse", "ObjectID", G_TYPE_STRING, objectId.c_str(), "BrowseFlag", G_TYPE_STRING,
                "BrowseDirectChildren", "Filter", G_TYPE_STRING, "*", "StartingIndex", G_TYPE_UINT, start,
                "RequestedCount", G_TYPE_UINT, count, "SortCriteria", G_TYPE_STRING, "", nullptr));
}

void MediaServerBrowser::search(const std::string& id, const std::string& udn, const std::string& containerId,
                                const std::string& criteria, unsigned start, unsigned count) {
    request(id, udn, start,
            gupnp_service_proxy_action_new(
                "Search", "ContainerID", G_TYPE_STRING, containerId.c_str(), "SearchCriteria", G_TYPE_STRING,
                criteria.c_str(), "Filter", G_TYPE_STRING, "*", "StartingIndex", G_TYPE_UINT, start,
                "RequestedCount", G_TYPE_UINT, count, "SortCriteria", G_TYPE_STRING, "", nullptr));
}

void MediaServerBrowser::request(const std::string& id, const std::string& udn, unsigned start,
                                 GUPnPServiceProxyAction* action) {
    const auto it = _servers.find(udn);
    if (it == _servers.end() || it->second.directory == nullptr) {
        gupnp_service_proxy_action_unref(action);
        _channel.send({std::string(HelperProtocol::kFailed), id, "the server is gone"});
        return;
    }
    auto call = std::make_unique<Call>();
    call->browser = this;
    call->id = id;
    call->udn = udn;
    call->host = it->second.host;
    call->start = start;
    callDirectory(it->second, action, std::move(call));
}

void MediaServerBrowser::callDirectory(Server& server, GUPnPServiceProxyAction* action,
                                       std::unique_ptr<Call> call) {
    call->cancellable = g_cancellable_new();
    if (!call->id.empty()) {
        _requests[call->id] = call->cancellable;
    }
    GCancellable* cancellable = call->cancellable;
    gupnp_service_proxy_call_action_async(server.directory, action, cancellable, actionFinished,
                                          call.release());
    gupnp_service_proxy_action_unref(action); // the call holds its own reference
}

bool MediaServerBrowser::cancel(const std::string& id) {
    const auto found = _requests.find(id);
    if (found == _requests.end()) {
        return false;
    }
    g_cancellable_cancel(found->second);
    _requests.erase(found);
    return true;
}

void MediaServerBrowser::actionFinished(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<Call> call(static_cast<Call*>(data));
    call->browser->finish(*call, GUPNP_SERVICE_PROXY(source), result);
}

void MediaServerBrowser::finish(Call& call, GUPnPServiceProxy* proxy, GAsyncResult* result) {
    const bool cancelled = g_cancellable_is_cancelled(call.cancellable);
    if (!call.id.empty()) {
        const auto found = _requests.find(call.id);
        if (found != _requests.end() && found->second == call.cancellable) {
            _requests.erase(found);
        }
    }
    GError* error = nullptr;
    GUPnPServiceProxyAction* action = gupnp_service_proxy_call_action_finish(proxy, result, &error);
    if (call.capabilities) {
        char* capabilities = nullptr;
        if (action != nullptr && gupnp_service_proxy_action_get_result(
                                     action, &error, "SearchCaps", G_TYPE_STRING, &capabilities, nullptr)) {
            const std::string caps = capabilities != nullptr ? capabilities : "";
            g_free(capabilities);
            const auto it = _servers.find(call.udn);
            if (it != _servers.end()) {
                Server& server = it->second;
                server.searchable = caps.find("upnp:class") != std::string::npos || caps == "*";
                if (server.searchable) {
                    server.probesLeft = static_cast<int>(kKindProbes.size());
                    probeNextKind(server);
                } else {
                    server.kinds = {HelperProtocol::kPictures, HelperProtocol::kMusic,
                                    HelperProtocol::kMovies};
                    announce(server);
                }
            }
        } else if (const auto it = _servers.find(call.udn); it != _servers.end()) {
            // It cannot tell: shown in every tab, browsed without searching.
            it->second.kinds = {HelperProtocol::kPictures, HelperProtocol::kMusic, HelperProtocol::kMovies};
            announce(it->second);
        }
        g_clear_error(&error);
        return;
    }
    char* didl = nullptr;
    guint returned = 0;
    guint total = 0;
    const bool answered =
        action != nullptr && gupnp_service_proxy_action_get_result(
                                 action, &error, "Result", G_TYPE_STRING, &didl, "NumberReturned",
                                 G_TYPE_UINT, &returned, "TotalMatches", G_TYPE_UINT, &total, nullptr);
    if (call.probeKind != 0) {
        // A search that fails tells nothing (a server busy scanning its disks
        // may fail it): the kind counts as there. Only an answer without
        // any item leaves it out.
        bool found = true;
        if (answered) {
            found = didl != nullptr && DidlReader::read(didl, call.host, 1).objects > 0;
        }
        g_free(didl);
        g_clear_error(&error);
        probeFinished(call.udn, call.probeKind, found);
        return;
    }
    if (cancelled) {
        g_free(didl);
        g_clear_error(&error);
        return; // the library stopped waiting: nothing to answer
    }
    if (!answered) {
        const std::string reason =
            error != nullptr && error->message != nullptr ? error->message : "no answer";
        g_clear_error(&error);
        _channel.send({std::string(HelperProtocol::kFailed), call.id, reason});
        return;
    }
    DidlReader::Result page = DidlReader::read(didl != nullptr ? didl : "", call.host, kMaxPageObjects);
    g_free(didl);
    if (!page.problem.empty()) {
        _channel.send({std::string(HelperProtocol::kFailed), call.id, page.problem});
        return;
    }
    HelperProtocol::Message message;
    message.reserve(4 + page.fields.size());
    message.emplace_back(HelperProtocol::kPage);
    message.push_back(call.id);
    message.push_back(std::to_string(total));
    message.push_back(std::to_string(page.objects));
    message.insert(message.end(), std::make_move_iterator(page.fields.begin()),
                   std::make_move_iterator(page.fields.end()));
    _channel.send(message);
}
