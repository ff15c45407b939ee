#pragma once

#include <gio/gio.h>
#include <libgupnp/gupnp.h>
#include <map>
#include <memory>
#include <string>

class HelperChannel;

// The helper's view of the media servers on the local network, through
// GUPnP: it finds them (SSDP, through GUPnP's context manager on every
// IPv4 interface), learns which kinds of media each has, announces them to
// the library and announces their leaving, and browses or searches their
// containers for the library, one page per request, answering each with the
// objects as DidlReader reads them.
class MediaServerBrowser {
public:
    explicit MediaServerBrowser(HelperChannel& channel);
    ~MediaServerBrowser();
    MediaServerBrowser(const MediaServerBrowser&) = delete;
    MediaServerBrowser& operator=(const MediaServerBrowser&) = delete;

    void start();
    // Forgets every server and looks no more (nothing is announced).
    void stop();

    void browse(const std::string& id, const std::string& udn, const std::string& objectId, unsigned start,
                unsigned count);
    void search(const std::string& id, const std::string& udn, const std::string& containerId,
                const std::string& criteria, unsigned start, unsigned count);
    // Whether id named a request of this browser (which then ends unanswered).
    bool cancel(const std::string& id);

private:
    struct Server {
        std::string udn;
        std::string name;
        std::string host;
        GUPnPServiceProxy* directory = nullptr; // owned
        int proxies = 0;                        // the interfaces it was found on
        bool searchable = false;
        int probesLeft = 0;
        std::string kinds;
        bool announced = false;
        std::string announcedKinds;
        int reprobes = 0;
        unsigned reprobeTimer = 0;
    };
    struct Call;

    static void contextAvailable(GUPnPContextManager* manager, GUPnPContext* context, gpointer self);
    static void deviceAvailable(GUPnPControlPoint* point, GUPnPDeviceProxy* device, gpointer self);
    static void deviceUnavailable(GUPnPControlPoint* point, GUPnPDeviceProxy* device, gpointer self);
    static void actionFinished(GObject* source, GAsyncResult* result, gpointer call);

    void probe(Server& server);
    void probeNextKind(Server& server);
    void probeFinished(const std::string& udn, char kind, bool found);
    void announce(Server& server);
    // Sends action to the server of udn for the request id, or answers that the server is gone.
    void request(const std::string& id, const std::string& udn, unsigned start,
                 GUPnPServiceProxyAction* action);
    void callDirectory(Server& server, GUPnPServiceProxyAction* action, std::unique_ptr<Call> call);
    void finish(Call& call, GUPnPServiceProxy* proxy, GAsyncResult* result);

    HelperChannel& _channel;
    GUPnPContextManager* _manager = nullptr;
    std::map<std::string, Server> _servers; // by UDN
    std::map<std::string, GCancellable*> _requests;
};
