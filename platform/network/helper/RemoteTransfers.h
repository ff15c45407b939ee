#pragma once

#include <gio/gio.h>
#include <libsoup/soup.h>
#include <map>
#include <string>

class HelperChannel;

// The helper's transfers of remote files: a thumbnail or album art read into
// memory (up to a bound the library gives) and answered whole, and a media
// file saved to a path the library chose, with its progress. http and https
// URLs are read with libsoup, without following redirections (what a server
// names is what is read, and nothing else); the locations of network shares
// (smb, sftp, nfs, dav...) through GIO. Local files are never opened.
class RemoteTransfers {
public:
    explicit RemoteTransfers(HelperChannel& channel);
    ~RemoteTransfers();
    RemoteTransfers(const RemoteTransfers&) = delete;
    RemoteTransfers& operator=(const RemoteTransfers&) = delete;

    void fetch(const std::string& id, const std::string& url, std::size_t maxBytes);
    void download(const std::string& id, const std::string& url, const std::string& path);
    bool cancel(const std::string& id);

private:
    struct Transfer;

    void start(Transfer* transfer, const std::string& url, bool share);
    static void sent(GObject* source, GAsyncResult* result, gpointer transfer);
    static void opened(GObject* source, GAsyncResult* result, gpointer transfer);
    static void readDone(GObject* source, GAsyncResult* result, gpointer transfer);
    void readMore(Transfer* transfer);
    void fail(Transfer* transfer, const std::string& reason);
    void finish(Transfer* transfer);

    HelperChannel& _channel;
    SoupSession* _session;
    std::map<std::string, Transfer*> _transfers;
};
