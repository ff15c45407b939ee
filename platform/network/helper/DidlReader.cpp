#include "platform/network/helper/DidlReader.h"

#include "platform/network/HelperProtocol.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <glib.h>
#include <libgupnp-av/gupnp-av.h>

namespace DidlReader {

namespace {

using HelperProtocol::kObjectFields;

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// text cut to at most limit bytes, at a character boundary.
std::string bounded(const char* text, std::size_t limit) {
    if (text == nullptr) {
        return {};
    }
    std::size_t length = strnlen(text, limit + 1);
    if (length > limit) {
        length = limit;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xc0) == 0x80) {
            --length; // inside a character: back to its first byte
        }
    }
    return std::string(text, length);
}

// Whether the document declares a DOCTYPE or entities anywhere (such
// declarations may only stand before the root element, but the text is
// looked at whole, case-insensitively, so no spelling slips through).
bool declaresEntities(std::string_view didl) {
    for (const std::string_view word : {std::string_view("<!DOCTYPE"), std::string_view("<!ENTITY")}) {
        const auto found = std::search(didl.begin(), didl.end(), word.begin(), word.end(),
                                       [](char a, char b) { return g_ascii_toupper(a) == b; });
        if (found != didl.end()) {
            return true;
        }
    }
    return false;
}

// Whether the document ends with its root element's end tag (whatever its prefix).
bool endsWithRoot(std::string_view didl) {
    while (!didl.empty() && g_ascii_isspace(didl.back())) {
        didl.remove_suffix(1);
    }
    static constexpr std::string_view end = "DIDL-Lite>";
    if (didl.size() < end.size() || didl.substr(didl.size() - end.size()) != end) {
        return false;
    }
    const std::size_t open = didl.rfind('<');
    return open != std::string_view::npos && didl.substr(open, 2) == "</";
}

struct UriDeleter {
    void operator()(GUri* uri) const { g_uri_unref(uri); }
};

enum class MediaKind { Picture, Audio, Video, Other };

MediaKind kindOfClass(std::string_view upnpClass) {
    if (startsWith(upnpClass, "object.item.imageItem")) {
        return MediaKind::Picture;
    }
    if (startsWith(upnpClass, "object.item.audioItem")) {
        return MediaKind::Audio;
    }
    if (startsWith(upnpClass, "object.item.videoItem")) {
        return MediaKind::Video;
    }
    return MediaKind::Other;
}

bool mimeFits(std::string_view mime, MediaKind kind) {
    switch (kind) {
    case MediaKind::Picture:
        return startsWith(mime, "image/");
    case MediaKind::Audio:
        return startsWith(mime, "audio/") || startsWith(mime, "application/ogg");
    case MediaKind::Video:
        return startsWith(mime, "video/") || startsWith(mime, "application/");
    case MediaKind::Other:
        return true;
    }
    return true;
}

// A resource as far as the choice of what to play and what to show goes.
struct Resource {
    GUPnPDIDLLiteResource* resource;
    std::string_view uri;
    std::string_view mime;
    std::string_view profile;
    bool thumbnailProfile; // a DLNA thumbnail or small-picture profile
    long long pixels;
};

std::string_view orEmpty(const char* text) {
    return text == nullptr ? std::string_view() : std::string_view(text);
}

bool isThumbnailProfile(std::string_view profile) {
    return profile == "JPEG_TN" || profile == "PNG_TN" || profile == "JPEG_SM" || profile == "PNG_SM" ||
           profile == "JPEG_SM_ICO" || profile == "JPEG_LRG_ICO" || profile == "PNG_SM_ICO" ||
           profile == "PNG_LRG_ICO";
}

// The rank of a resource as the item's thumbnail; lower is better, -1 unfit.
int thumbnailRank(const Resource& resource) {
    if (!startsWith(resource.mime, "image/")) {
        return -1;
    }
    if (resource.profile == "JPEG_TN" || resource.profile == "PNG_TN") {
        return 0;
    }
    if (resource.profile == "JPEG_SM" || resource.profile == "PNG_SM") {
        return 1;
    }
    return resource.thumbnailProfile ? 2 : 3;
}

// The resource's duration in milliseconds ("H+:MM:SS" with an optional
// fraction, as DIDL-Lite writes it); -1 when it has none that reads.
long long durationMs(GUPnPDIDLLiteResource* resource) {
    xmlNode* node = gupnp_didl_lite_resource_get_xml_node(resource);
    xmlChar* text =
        node != nullptr ? xmlGetProp(node, reinterpret_cast<const xmlChar*>("duration")) : nullptr;
    if (text == nullptr) {
        return -1;
    }
    unsigned long long hours = 0;
    unsigned minutes = 0;
    unsigned seconds = 0;
    int used = 0;
    long long result = -1;
    const char* value = reinterpret_cast<const char*>(text);
    if (std::sscanf(value, "%llu:%2u:%2u%n", &hours, &minutes, &seconds, &used) == 3 && hours < 1000000 &&
        minutes < 60 && seconds < 60) {
        result = static_cast<long long>((hours * 3600 + minutes * 60 + seconds) * 1000);
        if (value[used] == '.') {
            // The fraction's first three digits, as milliseconds.
            long long scale = 100;
            for (const char* digit = value + used + 1; *digit >= '0' && *digit <= '9' && scale > 0; ++digit) {
                result += (*digit - '0') * scale;
                scale /= 10;
            }
        }
    }
    xmlFree(text);
    return result;
}

class ObjectReader {
public:
    ObjectReader(std::string_view host, std::size_t maxObjects, Result& result)
        : _host(host)
        , _maxObjects(maxObjects)
        , _result(result) {}

    void take(GUPnPDIDLLiteObject* object) {
        if (_result.objects >= _maxObjects) {
            return;
        }
        std::array<std::string, kObjectFields> fields;
        const bool isContainer = GUPNP_IS_DIDL_LITE_CONTAINER(object);
        fields[HelperProtocol::ObjectKind] = isContainer ? "c" : "i";
        fields[HelperProtocol::ObjectId] = bounded(gupnp_didl_lite_object_get_id(object), kMaxTextBytes);
        if (fields[HelperProtocol::ObjectId].empty()) {
            return; // nothing could ever ask for it again
        }
        fields[HelperProtocol::ObjectTitle] =
            bounded(gupnp_didl_lite_object_get_title(object), kMaxTextBytes);
        const std::string upnpClass = bounded(gupnp_didl_lite_object_get_upnp_class(object), kMaxTextBytes);
        fields[HelperProtocol::ObjectClass] = upnpClass;
        fields[HelperProtocol::ObjectArtist] = artistOf(object);
        fields[HelperProtocol::ObjectAlbum] =
            bounded(gupnp_didl_lite_object_get_album(object), kMaxTextBytes);
        if (isContainer) {
            const gint children =
                gupnp_didl_lite_container_get_child_count(GUPNP_DIDL_LITE_CONTAINER(object));
            if (children >= 0) {
                fields[HelperProtocol::ObjectChildCount] = std::to_string(children);
            }
        } else {
            readResources(object, kindOfClass(upnpClass), fields);
        }
        if (fields[HelperProtocol::ObjectThumbnail].empty()) {
            const char* art = gupnp_didl_lite_object_get_album_art(object);
            if (art != nullptr && isAllowedUrl(art, _host) && strlen(art) <= kMaxUrlBytes) {
                fields[HelperProtocol::ObjectThumbnail] = art;
            }
        }
        for (std::string& field : fields) {
            _result.fields.push_back(std::move(field));
        }
        ++_result.objects;
    }

private:
    static std::string artistOf(GUPnPDIDLLiteObject* object) {
        std::string artist;
        if (GList* artists = gupnp_didl_lite_object_get_artists(object)) {
            auto* first = GUPNP_DIDL_LITE_CONTRIBUTOR(artists->data);
            artist = bounded(gupnp_didl_lite_contributor_get_name(first), kMaxTextBytes);
            g_list_free_full(artists, g_object_unref);
        }
        if (artist.empty()) {
            artist = bounded(gupnp_didl_lite_object_get_creator(object), kMaxTextBytes);
        }
        return artist;
    }

    void readResources(GUPnPDIDLLiteObject* object, MediaKind kind,
                       std::array<std::string, kObjectFields>& fields) {
        GList* list = gupnp_didl_lite_object_get_resources(object);
        std::vector<Resource> resources;
        for (GList* at = list; at != nullptr; at = at->next) {
            auto* resource = GUPNP_DIDL_LITE_RESOURCE(at->data);
            const std::string_view uri = orEmpty(gupnp_didl_lite_resource_get_uri(resource));
            GUPnPProtocolInfo* info = gupnp_didl_lite_resource_get_protocol_info(resource);
            if (info == nullptr || uri.size() > kMaxUrlBytes || !isAllowedUrl(uri, _host)) {
                continue; // file://, another host, or nothing said of what it is
            }
            if (orEmpty(gupnp_protocol_info_get_protocol(info)) != "http-get") {
                continue;
            }
            const std::string_view profile = orEmpty(gupnp_protocol_info_get_dlna_profile(info));
            const long long width = std::max(0, gupnp_didl_lite_resource_get_width(resource));
            const long long height = std::max(0, gupnp_didl_lite_resource_get_height(resource));
            resources.push_back({resource, uri, orEmpty(gupnp_protocol_info_get_mime_type(info)), profile,
                                 isThumbnailProfile(profile), width * height});
        }
        // What plays or shows: the first resource of the item's kind that is
        // not a thumbnail, the largest for a picture; failing that, any of its kind.
        const Resource* main = nullptr;
        for (const Resource& resource : resources) {
            if (!mimeFits(resource.mime, kind) || resource.thumbnailProfile) {
                continue;
            }
            if (main == nullptr || (kind == MediaKind::Picture && resource.pixels > main->pixels)) {
                main = &resource;
            }
        }
        if (main == nullptr) {
            for (const Resource& resource : resources) {
                if (mimeFits(resource.mime, kind) && (main == nullptr || resource.pixels > main->pixels)) {
                    main = &resource;
                }
            }
        }
        const Resource* thumbnail = nullptr;
        int thumbnailBest = -1;
        for (const Resource& resource : resources) {
            const int rank = thumbnailRank(resource);
            if (&resource == main || rank < 0 || (kind == MediaKind::Picture && rank > 1)) {
                continue;
            }
            if (thumbnail == nullptr || rank < thumbnailBest) {
                thumbnail = &resource;
                thumbnailBest = rank;
            }
        }
        if (main != nullptr) {
            fields[HelperProtocol::ObjectUrl] = std::string(main->uri);
            fields[HelperProtocol::ObjectMime] = std::string(main->mime.substr(0, kMaxTextBytes));
            const long long duration = durationMs(main->resource);
            if (duration >= 0) {
                fields[HelperProtocol::ObjectDuration] = std::to_string(duration);
            }
            const int width = gupnp_didl_lite_resource_get_width(main->resource);
            const int height = gupnp_didl_lite_resource_get_height(main->resource);
            if (width > 0 && height > 0) {
                fields[HelperProtocol::ObjectResolution] =
                    std::to_string(width) + "x" + std::to_string(height);
            }
            const gint64 size = gupnp_didl_lite_resource_get_size64(main->resource);
            if (size >= 0) {
                fields[HelperProtocol::ObjectSize] = std::to_string(size);
            }
        }
        if (thumbnail != nullptr) {
            fields[HelperProtocol::ObjectThumbnail] = std::string(thumbnail->uri);
        }
        g_list_free_full(list, g_object_unref);
    }

    std::string_view _host;
    std::size_t _maxObjects;
    Result& _result;
};

void objectAvailable(GUPnPDIDLLiteParser*, GUPnPDIDLLiteObject* object, gpointer reader) {
    static_cast<ObjectReader*>(reader)->take(object);
}

// The quiet handler for libxml2's complaints about a server's document:
// they are expected, and nothing reads them.
void ignoreXmlError(void*, const char*, ...) {
}

} // namespace

bool isAllowedUrl(std::string_view url, std::string_view serverHost) {
    if (url.empty() || serverHost.empty()) {
        return false;
    }
    const std::string text(url);
    std::unique_ptr<GUri, UriDeleter> uri(g_uri_parse(text.c_str(), G_URI_FLAGS_NONE, nullptr));
    if (!uri) {
        return false;
    }
    const char* scheme = g_uri_get_scheme(uri.get());
    const char* host = g_uri_get_host(uri.get());
    if (scheme == nullptr || host == nullptr ||
        (g_ascii_strcasecmp(scheme, "http") != 0 && g_ascii_strcasecmp(scheme, "https") != 0)) {
        return false;
    }
    const std::string expected(serverHost);
    return g_ascii_strcasecmp(host, expected.c_str()) == 0;
}

std::string withNamespaces(std::string_view didl) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 4> declarations = {{
        {"xmlns=", " xmlns=\"urn:schemas-upnp-org:metadata-1-0/DIDL-Lite/\""},
        {"xmlns:dc=", " xmlns:dc=\"http://purl.org/dc/elements/1.1/\""},
        {"xmlns:upnp=", " xmlns:upnp=\"urn:schemas-upnp-org:metadata-1-0/upnp/\""},
        {"xmlns:dlna=", " xmlns:dlna=\"urn:schemas-dlna-org:metadata-1-0/\""},
    }};
    const std::size_t root = didl.find("<DIDL-Lite");
    if (root == std::string_view::npos) {
        return std::string(didl);
    }
    const std::size_t nameEnd = root + std::strlen("<DIDL-Lite");
    const std::size_t tagEnd = didl.find('>', nameEnd);
    if (tagEnd == std::string_view::npos) {
        return std::string(didl);
    }
    const std::string_view tag = didl.substr(root, tagEnd - root);
    std::string missing;
    for (const auto& [attribute, declaration] : declarations) {
        if (tag.find(attribute) == std::string_view::npos) {
            missing += declaration;
        }
    }
    if (missing.empty()) {
        return std::string(didl);
    }
    std::string repaired;
    repaired.reserve(didl.size() + missing.size());
    repaired.append(didl.substr(0, nameEnd));
    repaired.append(missing);
    repaired.append(didl.substr(nameEnd));
    return repaired;
}

Result read(std::string_view didl, std::string_view serverHost, std::size_t maxObjects) {
    Result result;
    if (didl.empty()) {
        return result; // an empty page
    }
    if (didl.size() > kMaxDocumentBytes) {
        result.problem = "the answer is larger than " + std::to_string(kMaxDocumentBytes >> 20) + " MB";
        return result;
    }
    if (!endsWithRoot(didl)) {
        // Cut short: too large for the SOAP reader (which stops at ten
        // million characters of text), or broken off.
        result.problem = "the answer is incomplete";
        return result;
    }
    if (declaresEntities(didl)) {
        result.problem = "the answer declares a DOCTYPE or entities";
        return result;
    }
    // gupnp-av reads up to the first NUL: a document with one is read up to it.
    const std::string text = withNamespaces(didl);
    ObjectReader reader(serverHost, maxObjects, result);
    GUPnPDIDLLiteParser* parser = gupnp_didl_lite_parser_new();
    g_signal_connect(parser, "object-available", G_CALLBACK(objectAvailable), &reader);
    xmlSetGenericErrorFunc(nullptr, ignoreXmlError);
    GError* error = nullptr;
    if (!gupnp_didl_lite_parser_parse_didl(parser, text.c_str(), &error)) {
        // An empty document is an empty page, not a fault.
        if (error != nullptr && !g_error_matches(error, G_MARKUP_ERROR, G_MARKUP_ERROR_EMPTY)) {
            result.problem = "the answer is not DIDL-Lite";
        }
    }
    if (error != nullptr) {
        g_error_free(error);
    }
    g_object_unref(parser);
    return result;
}

} // namespace DidlReader
