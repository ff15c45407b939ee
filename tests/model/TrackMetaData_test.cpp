#include "model/TrackMetaData.h"
#include "platform/system/Path.h"
#include "support/MediaFixtures.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

MovieMetaDataItem item(quint32 key, const QByteArray& value,
                       quint32 format = MovieMetaDataKeyFormatItunesShort) {
    return {format, key, value};
}

TEST(TagValue, AnswersTheFirstShortFormItemAsUtf8) {
    const MovieMetaDataItems items{
        item(MovieMetaDataKeyName, "Other format", 0x6D647461),
        item(MovieMetaDataKeyName, "Zo\xc3\xab"),
        item(MovieMetaDataKeyName, "Second"),
        item(MovieMetaDataKeyArtist, "\xef\xbb\xbf"
                                     "Band"),
    };
    EXPECT_EQ(TagValue(items, MovieMetaDataKeyName), QStringLiteral("Zo\u00eb"));
    // A byte-order mark is text like any other.
    EXPECT_EQ(TagValue(items, MovieMetaDataKeyArtist), QStringLiteral("\ufeffBand"));
    EXPECT_TRUE(TagValue(items, MovieMetaDataKeyAlbum).isNull());
}

TEST(TagValue, BytesThatAreNotUtf8GiveNone) {
    for (const QByteArray& bytes : {QByteArray("Caf\xe9"), QByteArray("\xc0\xaf"), QByteArray("\xed\xa0\x80"),
                                    QByteArray("ab\xe2\x82")}) {
        EXPECT_TRUE(TagValue({item(MovieMetaDataKeyName, bytes)}, MovieMetaDataKeyName).isNull())
            << bytes.toHex().toStdString();
    }
    const QString empty = TagValue({item(MovieMetaDataKeyName, QByteArray())}, MovieMetaDataKeyName);
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.isNull());
}

TEST(MovieMetaData, ReadsFromFilesAndAnswersUnknownForTheUnreadable) {
    const TrackMetaData mov =
        MovieMetaData(Path::fileUrl(MediaFixtures::path(MediaFixtures::Fixture::TaggedMov)));
    EXPECT_EQ(mov.name, QStringLiteral("Holiday Clip"));
    EXPECT_EQ(mov.artist, QStringLiteral("Director"));
    EXPECT_EQ(mov.length, 1);

    TempHome home;
    for (const QUrl& url : {Path::fileUrl(home.writeFile(QStringLiteral("junk.m4a"), "junk")),
                            Path::fileUrl(home.file(QStringLiteral("gone.m4a"))), QUrl()}) {
        const TrackMetaData none = MovieMetaData(url);
        EXPECT_TRUE(none.name.isNull());
        EXPECT_TRUE(none.artist.isNull());
        EXPECT_EQ(none.length, -1);
    }
}

} // namespace
