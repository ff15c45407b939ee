#pragma once

#include <QString>

#include <vector>

// Posted on the main thread, with the list as object, whenever a media
// server appears, changes what it is known to have, or goes away.
extern const char MediaServersChanged[];

// A media server on the local network, as the helper found it.
struct MediaServer {
    QString udn;  // the server's lasting identity
    QString name; // its friendly name
    QString host; // the address its files are read from
    bool pictures = false;
    bool music = false;
    bool movies = false;
    bool searchable = false; // answers searches by UPnP class
    // Whether it is still there. A server that leaves stays in the list,
    // unavailable, so that the folders shown for it can grey out instead of
    // vanishing under the user; it is available again when it comes back.
    bool available = true;
};

// The media servers found on the local network, kept on the main thread
// from the network helper's announcements. Discovery runs while enabled;
// a helper that ends marks every server unavailable and is started again.
class MediaServers {
public:
    static MediaServers& shared();

    // Starts or stops looking for servers (the user's preference).
    void setEnabled(bool enabled);
    bool isEnabled() const { return _enabled; }

    const std::vector<MediaServer>& servers() const { return _servers; }
    // The server of that identity, or null.
    const MediaServer* server(const QString& udn) const;

    // Takes one of the helper's events (also for tests).
    void handleEvent(const std::vector<std::string>& event);

private:
    MediaServers();
    void helperEnded();

    std::vector<MediaServer> _servers;
    bool _enabled = false;
    bool _restartPending = false;
};
