#pragma once

#include "sources/catalogues/CatalogueRoots.h"
#include "sources/network/ServerContainerReader.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

class MediaFolder;
struct MediaServer;

// The media servers' folders in the three roots: one folder per server in
// each tab it has items for, named by its friendly name, after the folders
// of the user's preferences. It follows the servers found on the network
// (MediaServers): a server that appears later gets its folders at once, one
// that goes away greys out where it is shown, and comes back to life with
// its server. QVMedia owns one and calls addToRoots() at every rebuild.
class NetworkSources {
public:
    NetworkSources();
    ~NetworkSources();
    NetworkSources(const NetworkSources&) = delete;
    NetworkSources& operator=(const NetworkSources&) = delete;

    // Starts or stops looking for servers (the user's preference).
    void setEnabled(bool enabled);
    // Adds the folders of the servers known now to roots (emptied by the
    // caller), and those of servers found later, until the next call.
    void addToRoots(const CatalogueRoots& roots);

private:
    struct Shown {
        QString udn;
        int type;
        std::weak_ptr<MediaFolder> folder;
    };

    void serversChanged();
    void show(const MediaServer& server, int type);
    std::shared_ptr<ServerPresence> presenceOf(const QString& udn);

    CatalogueRoots _roots;
    std::vector<Shown> _shown;
    QHash<QString, std::shared_ptr<ServerPresence>> _presence; // by server, kept across rebuilds
};
