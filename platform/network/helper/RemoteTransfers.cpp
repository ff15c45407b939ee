#include "platform/network/helper/RemoteTransfers.h"

#include "platform/network/HelperProtocol.h"
#include "platform/network/helper/HelperChannel.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr gsize kChunk = 64 * 1024;
// Progress is told at most this often.
constexpr gint64 kProgressInterval = 100 * G_TIME_SPAN_MILLISECOND;

enum class Scheme { Http, Share, Refused };

// http(s) for libsoup, a network share's scheme for GIO; nothing else (no
// file://, no resource:// or other schemes GIO would open locally).
Scheme schemeOf(const std::string& url) {
    char* scheme = g_uri_parse_scheme(url.c_str());
    if (scheme == nullptr) {
        return Scheme::Refused;
    }
    Scheme kind = Scheme::Refused;
    if (g_ascii_strcasecmp(scheme, "http") == 0 || g_ascii_strcasecmp(scheme, "https") == 0) {
        kind = Scheme::Http;
    } else {
        for (const char* share : {"smb", "sftp", "nfs", "dav", "davs", "ftp", "afp"}) {
            if (g_ascii_strcasecmp(scheme, share) == 0) {
                kind = Scheme::Share;
            }
        }
    }
    g_free(scheme);
    return kind;
}

} // namespace

struct RemoteTransfers::Transfer {
    Transfer(RemoteTransfers* owner, std::string id)
        : owner(owner)
        , id(std::move(id)) {}

    RemoteTransfers* owner;
    std::string id;
    SoupMessage* message = nullptr; // http
    GFile* location = nullptr;      // a share's file
    GInputStream* stream = nullptr;
    GCancellable* cancellable = g_cancellable_new();
    std::size_t maxBytes = 0; // fetch: the most kept in memory
    std::string data;         // fetch: what arrived
    int file = -1;            // download: where it goes
    goffset received = 0;
    goffset total = 0;
    gint64 lastProgress = 0;
    char buffer[kChunk];

    ~Transfer() {
        g_clear_object(&stream);
        g_clear_object(&message);
        g_clear_object(&location);
        g_clear_object(&cancellable);
        if (file >= 0) {
            close(file);
        }
    }
};

RemoteTransfers::RemoteTransfers(HelperChannel& channel)
    : _channel(channel)
    , _session(soup_session_new_with_options("timeout", 30, "idle-timeout", 60, nullptr)) {
}

RemoteTransfers::~RemoteTransfers() {
    for (auto& [id, transfer] : _transfers) {
        g_cancellable_cancel(transfer->cancellable);
    }
    g_object_unref(_session);
}

void RemoteTransfers::fetch(const std::string& id, const std::string& url, std::size_t maxBytes) {
    const Scheme scheme = schemeOf(url);
    if (scheme == Scheme::Refused) {
        _channel.send({std::string(HelperProtocol::kFailed), id, "not a network URL"});
        return;
    }
    auto* transfer = new Transfer(this, id);
    transfer->maxBytes = maxBytes;
    start(transfer, url, scheme == Scheme::Share);
}

void RemoteTransfers::download(const std::string& id, const std::string& url, const std::string& path) {
    const Scheme scheme = schemeOf(url);
    if (scheme == Scheme::Refused) {
        _channel.send({std::string(HelperProtocol::kFailed), id, "not a network URL"});
        return;
    }
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (file < 0) {
        _channel.send({std::string(HelperProtocol::kFailed), id, "the file cannot be written"});
        return;
    }
    auto* transfer = new Transfer(this, id);
    transfer->file = file;
    start(transfer, url, scheme == Scheme::Share);
}

void RemoteTransfers::start(Transfer* transfer, const std::string& url, bool share) {
    _transfers[transfer->id] = transfer;
    if (share) {
        transfer->location = g_file_new_for_uri(url.c_str());
        g_file_read_async(transfer->location, G_PRIORITY_DEFAULT, transfer->cancellable, opened, transfer);
        return;
    }
    transfer->message = soup_message_new(SOUP_METHOD_GET, url.c_str());
    if (transfer->message == nullptr) {
        fail(transfer, "the URL cannot be read");
        return;
    }
    soup_message_add_flags(transfer->message, SOUP_MESSAGE_NO_REDIRECT);
    soup_session_send_async(_session, transfer->message, G_PRIORITY_DEFAULT, transfer->cancellable, sent,
                            transfer);
}

void RemoteTransfers::opened(GObject*, GAsyncResult* result, gpointer data) {
    auto* transfer = static_cast<Transfer*>(data);
    RemoteTransfers* self = transfer->owner;
    GError* error = nullptr;
    GFileInputStream* stream = g_file_read_finish(transfer->location, result, &error);
    if (stream == nullptr) {
        const std::string reason = error != nullptr ? error->message : "the file cannot be read";
        g_clear_error(&error);
        self->fail(transfer, reason);
        return;
    }
    transfer->stream = G_INPUT_STREAM(stream);
    if (GFileInfo* info =
            g_file_input_stream_query_info(stream, G_FILE_ATTRIBUTE_STANDARD_SIZE, nullptr, nullptr)) {
        transfer->total = g_file_info_get_size(info);
        g_object_unref(info);
    }
    if (transfer->file < 0 && transfer->total > static_cast<goffset>(transfer->maxBytes)) {
        self->fail(transfer, "too large");
        return;
    }
    self->readMore(transfer);
}

bool RemoteTransfers::cancel(const std::string& id) {
    const auto found = _transfers.find(id);
    if (found == _transfers.end()) {
        return false;
    }
    // Ends at its next step, unanswered: the library stopped waiting.
    g_cancellable_cancel(found->second->cancellable);
    return true;
}

void RemoteTransfers::sent(GObject*, GAsyncResult* result, gpointer data) {
    auto* transfer = static_cast<Transfer*>(data);
    RemoteTransfers* self = transfer->owner;
    GError* error = nullptr;
    transfer->stream = soup_session_send_finish(self->_session, result, &error);
    if (transfer->stream == nullptr) {
        const std::string reason = error != nullptr ? error->message : "no answer";
        g_clear_error(&error);
        self->fail(transfer, reason);
        return;
    }
    const SoupStatus status = soup_message_get_status(transfer->message);
    if (status < 200 || status >= 300) {
        self->fail(transfer, "the server answered " + std::to_string(static_cast<int>(status)));
        return;
    }
    transfer->total =
        soup_message_headers_get_content_length(soup_message_get_response_headers(transfer->message));
    if (transfer->file < 0 && transfer->total > static_cast<goffset>(transfer->maxBytes)) {
        self->fail(transfer, "too large");
        return;
    }
    self->readMore(transfer);
}

void RemoteTransfers::readMore(Transfer* transfer) {
    g_input_stream_read_async(transfer->stream, transfer->buffer, kChunk, G_PRIORITY_DEFAULT,
                              transfer->cancellable, readDone, transfer);
}

void RemoteTransfers::readDone(GObject*, GAsyncResult* result, gpointer data) {
    auto* transfer = static_cast<Transfer*>(data);
    RemoteTransfers* self = transfer->owner;
    GError* error = nullptr;
    const gssize count = g_input_stream_read_finish(transfer->stream, result, &error);
    if (count < 0) {
        const std::string reason = error != nullptr ? error->message : "the transfer broke off";
        g_clear_error(&error);
        self->fail(transfer, reason);
        return;
    }
    if (count == 0) {
        self->finish(transfer);
        return;
    }
    transfer->received += count;
    if (transfer->file >= 0) {
        gssize written = 0;
        while (written < count) {
            const ssize_t step =
                write(transfer->file, transfer->buffer + written, static_cast<size_t>(count - written));
            if (step < 0 && errno == EINTR) {
                continue;
            }
            if (step <= 0) {
                self->fail(transfer, "the file cannot be written");
                return;
            }
            written += step;
        }
        const gint64 now = g_get_monotonic_time();
        if (now - transfer->lastProgress >= kProgressInterval) {
            transfer->lastProgress = now;
            self->_channel.send({std::string(HelperProtocol::kProgress), transfer->id,
                                 std::to_string(transfer->received),
                                 std::to_string(std::max<goffset>(0, transfer->total))});
        }
    } else {
        if (transfer->data.size() + static_cast<std::size_t>(count) > transfer->maxBytes) {
            self->fail(transfer, "too large");
            return;
        }
        transfer->data.append(transfer->buffer, static_cast<std::size_t>(count));
    }
    self->readMore(transfer);
}

void RemoteTransfers::fail(Transfer* transfer, const std::string& reason) {
    if (!g_cancellable_is_cancelled(transfer->cancellable)) {
        _channel.send({std::string(HelperProtocol::kFailed), transfer->id, reason});
    }
    _transfers.erase(transfer->id);
    delete transfer;
}

void RemoteTransfers::finish(Transfer* transfer) {
    if (!g_cancellable_is_cancelled(transfer->cancellable)) {
        if (transfer->file >= 0) {
            if (fsync(transfer->file) != 0 && errno != EINVAL) {
                fail(transfer, "the file cannot be written");
                return;
            }
            _channel.send({std::string(HelperProtocol::kDone), transfer->id});
        } else {
            _channel.send({std::string(HelperProtocol::kData), transfer->id, std::move(transfer->data)});
        }
    }
    _transfers.erase(transfer->id);
    delete transfer;
}
