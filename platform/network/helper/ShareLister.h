#pragma once

#include <gio/gio.h>
#include <map>
#include <string>

class HelperChannel;

// The helper's listings of network shares (smb://, sftp://, nfs://, dav://
// and whatever else gvfs mounts), through GIO: a location not mounted yet is
// mounted first, as a guest where the share allows it (a share that wants a
// password or a confirmation is left to the desktop's file manager to
// mount), then its entries are answered in batches as GIO reads them.
class ShareLister {
public:
    explicit ShareLister(HelperChannel& channel);
    ~ShareLister();
    ShareLister(const ShareLister&) = delete;
    ShareLister& operator=(const ShareLister&) = delete;

    void list(const std::string& id, const std::string& uri);
    bool cancel(const std::string& id);

private:
    struct Listing;

    void enumerate(Listing* listing);
    static void enumerated(GObject* source, GAsyncResult* result, gpointer listing);
    static void mounted(GObject* source, GAsyncResult* result, gpointer listing);
    static void batchRead(GObject* source, GAsyncResult* result, gpointer listing);
    void end(Listing* listing, const std::string& failure);

    HelperChannel& _channel;
    std::map<std::string, Listing*> _listings;
};
