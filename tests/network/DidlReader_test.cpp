// The helper's reader of DIDL-Lite, on documents as servers write them and
// as hostile ones might: real bytes through gupnp-av's parser.

#include "platform/network/HelperProtocol.h"
#include "platform/network/helper/DidlReader.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Record = std::vector<std::string>;
const std::string kHost = "127.0.0.1";
const std::string kNamespaces =
    R"(xmlns="urn:schemas-upnp-org:metadata-1-0/DIDL-Lite/" xmlns:dc="http://purl.org/dc/elements/1.1/" )"
    R"(xmlns:upnp="urn:schemas-upnp-org:metadata-1-0/upnp/" xmlns:dlna="urn:schemas-dlna-org:metadata-1-0/")";

std::string document(const std::string& body, const std::string& namespaces = kNamespaces) {
    return "<DIDL-Lite " + namespaces + ">" + body + "</DIDL-Lite>";
}

std::vector<Record> records(const DidlReader::Result& result) {
    std::vector<Record> all;
    for (std::size_t at = 0; at < result.fields.size(); at += HelperProtocol::kObjectFields) {
        all.emplace_back(result.fields.begin() + static_cast<std::ptrdiff_t>(at),
                         result.fields.begin() +
                             static_cast<std::ptrdiff_t>(at + HelperProtocol::kObjectFields));
    }
    return all;
}

// A page as ReadyMedia writes one: a folder, a photo with its thumbnail, a track with album art.
const std::string kPage =
    R"(<container id="1" parentID="0" restricted="1" childCount="1000000000"><dc:title>Music</dc:title>)"
    R"(<upnp:class>object.container.storageFolder</upnp:class></container>)"
    R"(<item id="p" parentID="3" restricted="1"><dc:title>Beach</dc:title><upnp:class>object.item.imageItem.photo</upnp:class>)"
    R"(<res resolution="160x120" protocolInfo="http-get:*:image/jpeg:DLNA.ORG_PN=JPEG_TN">http://127.0.0.1:8200/Resized/22.jpg</res>)"
    R"(<res size="6633" resolution="640x480" protocolInfo="http-get:*:image/jpeg:DLNA.ORG_PN=JPEG_SM">http://127.0.0.1:8200/MediaItems/22.jpg</res></item>)"
    R"(<item id="t" parentID="1" restricted="1"><dc:title>Song &amp; Dance</dc:title><upnp:class>object.item.audioItem.musicTrack</upnp:class>)"
    R"(<dc:creator>Creator</dc:creator><upnp:artist>Artist</upnp:artist><upnp:album>Album</upnp:album>)"
    R"(<upnp:albumArtURI>http://127.0.0.1:8200/AlbumArt/1.jpg</upnp:albumArtURI>)"
    R"(<res size="24531" duration="0:03:05.052" protocolInfo="http-get:*:audio/mpeg:DLNA.ORG_PN=MP3">http://127.0.0.1:8200/MediaItems/29.mp3</res></item>)";

TEST(DidlReader, ReadsWhatAServerSaysAndPicksThePictureToShowAndTheThumbnail) {
    const DidlReader::Result result = DidlReader::read(document(kPage), kHost, 100);
    ASSERT_TRUE(result.problem.empty()) << result.problem;
    const std::vector<Record> objects = records(result);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0][HelperProtocol::ObjectKind], "c");
    // A count a server claims is only a number: nothing is made for it.
    EXPECT_EQ(objects[0][HelperProtocol::ObjectChildCount], "1000000000");
    const Record& photo = objects[1];
    EXPECT_EQ(photo[HelperProtocol::ObjectUrl], "http://127.0.0.1:8200/MediaItems/22.jpg");
    EXPECT_EQ(photo[HelperProtocol::ObjectThumbnail], "http://127.0.0.1:8200/Resized/22.jpg");
    EXPECT_EQ(photo[HelperProtocol::ObjectResolution], "640x480");
    const Record& track = objects[2];
    EXPECT_EQ(track[HelperProtocol::ObjectTitle], "Song & Dance");
    EXPECT_EQ(track[HelperProtocol::ObjectArtist], "Artist");
    EXPECT_EQ(track[HelperProtocol::ObjectAlbum], "Album");
    EXPECT_EQ(track[HelperProtocol::ObjectDuration], "185052");
    EXPECT_EQ(track[HelperProtocol::ObjectSize], "24531");
    EXPECT_EQ(track[HelperProtocol::ObjectMime], "audio/mpeg");
    EXPECT_EQ(track[HelperProtocol::ObjectThumbnail], "http://127.0.0.1:8200/AlbumArt/1.jpg");

    // Written without its namespace declarations, as some televisions do, it reads the same.
    const DidlReader::Result bare = DidlReader::read(document(kPage, ""), kHost, 100);
    EXPECT_TRUE(bare.problem.empty()) << bare.problem;
    EXPECT_EQ(records(bare), objects);
}

TEST(DidlReader, NeverKeepsAUrlOffTheServerOrOutsideTheWeb) {
    const std::string body =
        R"(<item id="a" restricted="1"><dc:title>A</dc:title><upnp:class>object.item.audioItem</upnp:class>)"
        R"(<upnp:albumArtURI>file:///etc/shadow</upnp:albumArtURI>)"
        R"(<res protocolInfo="http-get:*:audio/mpeg:*">file:///etc/passwd</res>)"
        R"(<res protocolInfo="http-get:*:audio/mpeg:*">http://192.0.2.7/a.mp3</res>)"
        R"(<res protocolInfo="http-get:*:audio/mpeg:*">http://127.0.0.1.example.net/a.mp3</res>)"
        R"(<res protocolInfo="http-get:*:audio/mpeg:*">ftp://127.0.0.1/a.mp3</res>)"
        R"(<res protocolInfo="http-get:*:audio/mpeg:*">/MediaItems/a.mp3</res>)"
        R"(<res protocolInfo="rtsp-rtp-udp:*:audio/mpeg:*">http://127.0.0.1/rtsp.mp3</res></item>)"
        R"(<item id="b" restricted="1"><dc:title>B</dc:title><upnp:class>object.item.audioItem</upnp:class>)"
        R"(<upnp:albumArtURI>http://192.0.2.7/art.jpg</upnp:albumArtURI>)"
        R"(<res protocolInfo="http-get:*:audio/mpeg:*">HTTP://user@127.0.0.1:8200/b.mp3</res></item>)";
    const std::vector<Record> objects = records(DidlReader::read(document(body), kHost, 100));
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0][HelperProtocol::ObjectUrl], "");
    EXPECT_EQ(objects[0][HelperProtocol::ObjectThumbnail], "");
    EXPECT_EQ(objects[1][HelperProtocol::ObjectUrl], "HTTP://user@127.0.0.1:8200/b.mp3");
    EXPECT_EQ(objects[1][HelperProtocol::ObjectThumbnail], "");
    EXPECT_FALSE(DidlReader::isAllowedUrl("http://[::1]/a.mp3", kHost));
    EXPECT_TRUE(DidlReader::isAllowedUrl("http://[fe80::1]:8200/a.mp3", "fe80::1"));
}

TEST(DidlReader, RefusesEntitiesTruncatedAnswersAndHugeOnesWholeAndBoundsTheRest) {
    const std::string laughs =
        R"(<?xml version="1.0"?><!DOCTYPE d [<!ENTITY a "ha"><!ENTITY b "&a;&a;&a;&a;&a;&a;">]>)";
    EXPECT_FALSE(
        DidlReader::read(laughs + document(R"(<item id="x"><dc:title>&b;</dc:title></item>)"), kHost, 100)
            .problem.empty());
    EXPECT_FALSE(DidlReader::read(R"(<!doctype x SYSTEM "file:///etc/passwd">)" + document(""), kHost, 100)
                     .problem.empty());
    EXPECT_FALSE(DidlReader::read(document(kPage).substr(0, 300), kHost, 100).problem.empty());
    std::string huge = document(std::string(DidlReader::kMaxDocumentBytes, ' '));
    EXPECT_FALSE(DidlReader::read(huge, kHost, 100).problem.empty());

    // Nesting far deeper than any library: the parser stops, nothing breaks.
    std::string deep;
    for (int i = 0; i < 200000; ++i) {
        deep += R"(<container id="c" restricted="1">)";
    }
    for (int i = 0; i < 200000; ++i) {
        deep += "</container>";
    }
    EXPECT_LE(DidlReader::read(document(deep), kHost, 100).objects, 1u);

    // At most the objects asked for, each text cut at a character's boundary.
    std::string many;
    for (int i = 0; i < 50; ++i) {
        many += R"(<container id="c)" + std::to_string(i) + R"(" restricted="1"><dc:title>)" +
                std::string(DidlReader::kMaxTextBytes - 1, 'x') + "é</dc:title></container>";
    }
    const DidlReader::Result bounded = DidlReader::read(document(many), kHost, 10);
    EXPECT_EQ(bounded.objects, 10u);
    EXPECT_EQ(records(bounded)[0][HelperProtocol::ObjectTitle],
              std::string(DidlReader::kMaxTextBytes - 1, 'x'));
}

} // namespace
