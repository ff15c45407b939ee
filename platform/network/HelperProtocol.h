#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The messages the library and its network helper process exchange over a
// pair of pipes. A message is a list of byte strings, the first naming it;
// on the wire a frame is its byte length, its field count, then each field's
// length and bytes (lengths as 32-bit little-endian numbers). Plain C++ with
// no Qt or GLib, so that both sides build it.
namespace HelperProtocol {

using Message = std::vector<std::string>;

// A frame larger than this is refused: whatever a server sends, no message
// makes either side allocate more.
inline constexpr std::uint32_t kMaxFrameBytes = 64u << 20;

// Requests, library to helper. The first field after the name is the
// request's number, which every answer to it repeats.
inline constexpr std::string_view kDiscover = "discover"; // "1" looks for media servers, "0" stops (no id)
inline constexpr std::string_view kBrowse = "browse";     // id udn objectId start count
inline constexpr std::string_view kSearch = "search";     // id udn containerId criteria start count
inline constexpr std::string_view kFetch = "fetch";       // id url maxBytes
inline constexpr std::string_view kDownload = "download"; // id url path
inline constexpr std::string_view kList = "list";         // id uri
inline constexpr std::string_view kCancel = "cancel";     // id

// Answers and events, helper to library.
inline constexpr std::string_view kPage = "page";         // id total returned, then kObjectFields per object
inline constexpr std::string_view kData = "data";         // id bytes
inline constexpr std::string_view kProgress = "progress"; // id received total (total 0 when unknown)
inline constexpr std::string_view kEntries = "entries";   // id, then kEntryFields per entry (more may follow)
inline constexpr std::string_view kDone = "done";         // id
inline constexpr std::string_view kFailed = "failed";     // id reason
inline constexpr std::string_view kServer = "server";     // udn name host kinds searchable ("1" or "0")
inline constexpr std::string_view kServerGone = "server-gone"; // udn

// One object of a media server's container, as the helper hands it on: the
// fields, in this order, after a page's header.
enum ObjectField : std::size_t {
    ObjectKind, // "c" a container, "i" an item
    ObjectId,
    ObjectTitle,
    ObjectClass, // the UPnP class, e.g. object.item.audioItem.musicTrack
    ObjectArtist,
    ObjectAlbum,
    ObjectDuration,   // milliseconds, empty when unknown
    ObjectResolution, // "WIDTHxHEIGHT", empty when unknown
    ObjectSize,       // bytes, empty when unknown
    ObjectUrl,        // the resource to play or show; http(s) on the server's own host
    ObjectMime,
    ObjectThumbnail,  // the server's thumbnail or album art, same rule
    ObjectChildCount, // as the server reports it, empty when unknown
    kObjectFields
};

// One entry of a share's directory.
enum EntryField : std::size_t {
    EntryName,
    EntryType,     // "d" directory, "f" regular file, "o" anything else
    EntrySize,     // bytes
    EntryModified, // seconds since the epoch, empty when unknown
    EntryUri,      // the entry's own location
    EntryPath,     // its local path when the desktop maps the share into the file system, else empty
    kEntryFields
};

// The kinds of media a server was found to have, as the kinds field spells them.
inline constexpr char kPictures = 'p';
inline constexpr char kMusic = 'm';
inline constexpr char kMovies = 'v';

std::string encode(const Message& message);

// Splits a byte stream into messages, however it is cut.
class Decoder {
public:
    void feed(const char* bytes, std::size_t count);
    // The next whole message, if one has arrived.
    std::optional<Message> next();
    // Whether the stream broke the framing (a frame too large or
    // inconsistent); nothing more is read from it then.
    bool failed() const { return _failed; }

private:
    std::string _buffer;
    std::size_t _offset = 0;
    bool _failed = false;
};

} // namespace HelperProtocol
