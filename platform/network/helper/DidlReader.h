#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Reads the DIDL-Lite documents a media server answers a browse or search
// with, through gupnp-av's parser, into the plain object records of
// HelperProtocol (kObjectFields strings each). What a server sends is not
// trusted:
// - a document without the usual namespace declarations (as some televisions
//   send) is read as if it had them;
// - a document that declares a DOCTYPE or entities is refused whole: DIDL-Lite
//   needs neither, and expanding them is how a few bytes become gigabytes;
// - a document over kMaxDocumentBytes is refused unread, and so is one cut
//   short (the SOAP reader stops at ten million characters of text);
// - at most maxObjects objects are kept, and each text is cut at kMaxTextBytes;
// - a resource or picture URL is kept only when it is http or https on the
//   server's own host: never a file:// URL or another machine's address.
namespace DidlReader {

inline constexpr std::size_t kMaxDocumentBytes = 32u << 20;
inline constexpr std::size_t kMaxTextBytes = 4096;
inline constexpr std::size_t kMaxUrlBytes = 8192;

struct Result {
    std::vector<std::string> fields; // kObjectFields per object
    std::size_t objects = 0;
    // Empty when the document was read; otherwise why it was refused.
    std::string problem;
};

Result read(std::string_view didl, std::string_view serverHost, std::size_t maxObjects);

// Whether url may be opened for a server on serverHost: http or https, on that host.
bool isAllowedUrl(std::string_view url, std::string_view serverHost);

// The document with the namespace declarations of DIDL-Lite's prefixes added
// to its root element where it lacks them (a copy; unchanged when nothing lacks).
std::string withNamespaces(std::string_view didl);

} // namespace DidlReader
