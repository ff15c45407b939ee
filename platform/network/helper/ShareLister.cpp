#include "platform/network/helper/ShareLister.h"

#include "platform/network/HelperProtocol.h"
#include "platform/network/helper/HelperChannel.h"

namespace {

constexpr int kBatch = 256;
constexpr const char* kAttributes =
    G_FILE_ATTRIBUTE_STANDARD_NAME "," G_FILE_ATTRIBUTE_STANDARD_TYPE "," G_FILE_ATTRIBUTE_STANDARD_SIZE
                                   "," G_FILE_ATTRIBUTE_STANDARD_IS_HIDDEN "," G_FILE_ATTRIBUTE_TIME_MODIFIED;

// Answers a mount's questions without a person: a guest login where the share
// offers one, nothing otherwise.
void askPassword(GMountOperation* operation, gchar*, gchar*, gchar*, GAskPasswordFlags flags, gpointer) {
    if ((flags & G_ASK_PASSWORD_ANONYMOUS_SUPPORTED) != 0) {
        g_mount_operation_set_anonymous(operation, TRUE);
        g_mount_operation_reply(operation, G_MOUNT_OPERATION_HANDLED);
    } else {
        g_mount_operation_reply(operation, G_MOUNT_OPERATION_ABORTED);
    }
}

void askQuestion(GMountOperation* operation, gchar*, GStrv, gpointer) {
    g_mount_operation_reply(operation, G_MOUNT_OPERATION_ABORTED);
}

} // namespace

struct ShareLister::Listing {
    Listing(ShareLister* owner, std::string id, GFile* location)
        : owner(owner)
        , id(std::move(id))
        , location(location) {}

    ShareLister* owner;
    std::string id;
    GFile* location;
    GCancellable* cancellable = g_cancellable_new();
    GFileEnumerator* enumerator = nullptr;
    bool triedMount = false;

    ~Listing() {
        g_clear_object(&enumerator);
        g_clear_object(&location);
        g_clear_object(&cancellable);
    }
};

ShareLister::ShareLister(HelperChannel& channel)
    : _channel(channel) {
}

ShareLister::~ShareLister() {
    for (auto& [id, listing] : _listings) {
        g_cancellable_cancel(listing->cancellable);
    }
}

void ShareLister::list(const std::string& id, const std::string& uri) {
    auto* listing = new Listing(this, id, g_file_new_for_uri(uri.c_str()));
    _listings[id] = listing;
    enumerate(listing);
}

bool ShareLister::cancel(const std::string& id) {
    const auto found = _listings.find(id);
    if (found == _listings.end()) {
        return false;
    }
    g_cancellable_cancel(found->second->cancellable);
    return true;
}

void ShareLister::enumerate(Listing* listing) {
    g_file_enumerate_children_async(listing->location, kAttributes, G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS,
                                    G_PRIORITY_DEFAULT, listing->cancellable, enumerated, listing);
}

void ShareLister::enumerated(GObject*, GAsyncResult* result, gpointer data) {
    auto* listing = static_cast<Listing*>(data);
    GError* error = nullptr;
    listing->enumerator = g_file_enumerate_children_finish(listing->location, result, &error);
    if (listing->enumerator != nullptr) {
        g_file_enumerator_next_files_async(listing->enumerator, kBatch, G_PRIORITY_DEFAULT,
                                           listing->cancellable, batchRead, listing);
        return;
    }
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_MOUNTED) && !listing->triedMount) {
        g_clear_error(&error);
        listing->triedMount = true;
        GMountOperation* operation = g_mount_operation_new();
        g_signal_connect(operation, "ask-password", G_CALLBACK(askPassword), nullptr);
        g_signal_connect(operation, "ask-question", G_CALLBACK(askQuestion), nullptr);
        g_file_mount_enclosing_volume(listing->location, G_MOUNT_MOUNT_NONE, operation, listing->cancellable,
                                      mounted, listing);
        g_object_unref(operation);
        return;
    }
    const std::string reason = error != nullptr ? error->message : "the location cannot be listed";
    g_clear_error(&error);
    listing->owner->end(listing, reason);
}

void ShareLister::mounted(GObject*, GAsyncResult* result, gpointer data) {
    auto* listing = static_cast<Listing*>(data);
    GError* error = nullptr;
    if (!g_file_mount_enclosing_volume_finish(listing->location, result, &error) &&
        !g_error_matches(error, G_IO_ERROR, G_IO_ERROR_ALREADY_MOUNTED)) {
        const std::string reason = error != nullptr ? error->message : "the location cannot be mounted";
        g_clear_error(&error);
        listing->owner->end(listing, reason);
        return;
    }
    g_clear_error(&error);
    listing->owner->enumerate(listing);
}

void ShareLister::batchRead(GObject*, GAsyncResult* result, gpointer data) {
    auto* listing = static_cast<Listing*>(data);
    ShareLister* self = listing->owner;
    GError* error = nullptr;
    GList* infos = g_file_enumerator_next_files_finish(listing->enumerator, result, &error);
    if (error != nullptr) {
        const std::string reason = error->message;
        g_clear_error(&error);
        self->end(listing, reason);
        return;
    }
    if (infos == nullptr) {
        self->end(listing, {});
        return;
    }
    HelperProtocol::Message message = {std::string(HelperProtocol::kEntries), listing->id};
    for (GList* at = infos; at != nullptr; at = at->next) {
        auto* info = G_FILE_INFO(at->data);
        const char* name = g_file_info_get_name(info);
        if (name == nullptr || g_file_info_get_is_hidden(info)) {
            continue;
        }
        const GFileType type = g_file_info_get_file_type(info);
        GFile* child = g_file_enumerator_get_child(listing->enumerator, info);
        char* uri = g_file_get_uri(child);
        char* path = g_file_get_path(child);
        GDateTime* modified = g_file_info_get_modification_date_time(info);
        message.emplace_back(name);
        message.emplace_back(type == G_FILE_TYPE_DIRECTORY ? "d" : type == G_FILE_TYPE_REGULAR ? "f" : "o");
        message.push_back(std::to_string(g_file_info_get_size(info)));
        message.push_back(modified != nullptr ? std::to_string(g_date_time_to_unix(modified))
                                              : std::string());
        message.emplace_back(uri != nullptr ? uri : "");
        message.emplace_back(path != nullptr ? path : "");
        if (modified != nullptr) {
            g_date_time_unref(modified);
        }
        g_free(uri);
        g_free(path);
        g_object_unref(child);
    }
    g_list_free_full(infos, g_object_unref);
    if (!g_cancellable_is_cancelled(listing->cancellable)) {
        self->_channel.send(message);
    }
    g_file_enumerator_next_files_async(listing->enumerator, kBatch, G_PRIORITY_DEFAULT, listing->cancellable,
                                       batchRead, listing);
}

void ShareLister::end(Listing* listing, const std::string& failure) {
    if (!g_cancellable_is_cancelled(listing->cancellable)) {
        if (failure.empty()) {
            _channel.send({std::string(HelperProtocol::kDone), listing->id});
        } else {
            _channel.send({std::string(HelperProtocol::kFailed), listing->id, failure});
        }
    }
    _listings.erase(listing->id);
    delete listing;
}
