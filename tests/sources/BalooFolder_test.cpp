#include "browser/MusicListController.h"
#include "browser/MusicTableView.h"
#include "model/QVMedia.h"
#include "platform/index/BalooIndex.h"
#include "prefs/UserPreferences.h"
#include "sources/index/BalooFolder.h"
#include "sources/index/BalooReader.h"
#include "support/CatalogueOutline.h"
#include "support/MediaFixtures.h"
#include "support/MediaRoots.h"
#include "support/PrivateBus.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>
#include <random>

namespace {

using CatalogueOutline::items;

std::size_t count(const QString& index, BalooIndex::Type type) {
    const auto paths = BalooIndex::paths(index, type, [] { return false; });
    return paths ? paths->size() : 0;
}

// How many of the index's files of the type its extractors gave a title.
std::size_t titled(const QString& index, BalooIndex::Type type) {
    const auto documents = BalooIndex::documents(index, type, true, [] { return false; });
    return documents ? static_cast<std::size_t>(std::count_if(
                           documents->begin(), documents->end(),
                           [](const BalooIndex::Document& d) { return !d.properties.title.isEmpty(); }))
                     : 0;
}

// The songs of an index file as the reader makes them.
QStringList songs(const QString& index) {
    LoadProgress progress;
    return items(BalooReader::read(index, BalooIndex::Type::Audio, progress).items);
}

// Each file of the folder with a digest of its bytes.
QStringList folderState(const QString& folder) {
    QStringList state;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile file(folder + QLatin1Char('/') + name);
        state << name + QLatin1Char(' ') +
                     (file.open(QIODevice::ReadOnly)
                          ? QString::fromLatin1(
                                QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex())
                          : QStringLiteral("unreadable"));
    }
    return state;
}

// A real index: KDE's own indexer run over a generated home on a private
// session bus, its extractors (KFileMetaData's, TagLib's among them) reading
// the files' tags.
class BalooIndexFixture : public ::testing::Test {
protected:
    void startIndexer() {
        _home.writeFile(QStringLiteral(".config/baloofilerc"),
                        "[Basic Settings]\nIndexing-Enabled=true\n[General]\nfolders[$e]=$HOME/\n"
                        "only basic indexing=false\n");
        _indexer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        _indexer.setStandardOutputFile(QProcess::nullDevice());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*=false"));
        _indexer.setProcessEnvironment(environment);
        _indexer.start(QStringLiteral("baloo_file"), {});
        ASSERT_TRUE(_indexer.waitForStarted(10000))
            << "baloo_file is not installed (tools/setup installs it)";
    }
    void stopIndexer() {
        _indexer.terminate();
        _indexer.waitForFinished(10000);
    }
    void TearDown() override { stopIndexer(); }

    QString indexFile() const { return _home.file(QStringLiteral(".local/share/baloo/index")); }

    TempHome _home;
    PrivateBus _bus;
    QProcess _indexer;
};

// No index: no rows. With one: "All Pictures", "All Music" and "All Movies"
// with the indexed files of each kind; songs with the titles, artists,
// lengths and albums the indexer found in their tags, or named after their
// files when it found none; a song the indexer finds later shows in the
// loaded folder. Reading writes nothing beside the index, and copies of it
// spoilt every way a disk or a crash can spoil it, or with spoilt tags, show
// nothing wrong.
TEST_F(BalooIndexFixture, ListsWhatTheIndexKnowsAndFollowsIt) {
    ASSERT_TRUE(_bus.isRunning());
    UserPreferences::sharedPreferences()->setPicturePaths({});
    UserPreferences::sharedPreferences()->setMusicPaths({});
    UserPreferences::sharedPreferences()->setMoviePaths({});
    MediaRoots roots;
    auto& [photos, music, movies, media] = roots;
    EXPECT_TRUE(photos->folders().empty());

    const QString home = _home.path();
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(_home.writeFile(QStringLiteral("Pictures/sea.jpg"))));
    ASSERT_TRUE(picture.save(_home.writeFile(QStringLiteral("Pictures/Trip/b c.png"))));
    MediaFixtures::copy(MediaFixtures::Fixture::TaggedMp3, home + QStringLiteral("/Music/Tide.mp3"));
    MediaFixtures::copy(MediaFixtures::Fixture::TaggedFlac,
                        home + QStringLiteral("/Music/Low Water/04.flac"));
    MediaFixtures::copy(MediaFixtures::Fixture::TaggedMov, home + QStringLiteral("/Videos/a b.mov"));
    _home.writeFile(QStringLiteral("notes.txt"), "not media");
    startIndexer();
    ASSERT_EVENTUALLY(count(indexFile(), BalooIndex::Type::Image) == 2, 60000);
    ASSERT_EVENTUALLY(titled(indexFile(), BalooIndex::Type::Audio) == 2, 60000)
        << "; the indexer's extractors read no tags (tools/setup installs them: libkf5filemetadata-bin)";
    ASSERT_EVENTUALLY(titled(indexFile(), BalooIndex::Type::Video) == 1, 60000);

    UserPreferences::sharedPreferences()->setMusicPaths({}); // rebuilds the roots
    EXPECT_EQ(CatalogueOutline::folderNames(photos), QStringList{"All Pictures"});
    EXPECT_EQ(CatalogueOutline::folderNames(music), QStringList{"All Music"});
    EXPECT_EQ(CatalogueOutline::folderNames(movies), QStringList{"All Movies"});
    EXPECT_EQ(items(photos->folders()[0]->files()),
              (QStringList{"b c|" + home + "/Pictures/Trip/b c.png", "sea|" + home + "/Pictures/sea.jpg"}));
    EXPECT_EQ(items(movies->folders()[0]->files()),
              QStringList{"Holiday Clip|file://" + home + "/Videos/a b.mov"});

    const MediaFolderPtr all = music->folders()[0];
    all->loadInBackground();
    ASSERT_EVENTUALLY(all->loadState() == MediaFolder::LoadState::Loaded, 30000);
    const QString nightSwim = "Night Swim|Tide Pool|1|file://" + home + "/Music/Low Water/04.flac";
    const QString morningSong = "Morning Song|Zoë Keating|2|file://" + home + "/Music/Tide.mp3";
    EXPECT_EQ(items(all->files()), (QStringList{nightSwim, morningSong}));
    ASSERT_EQ(CatalogueOutline::folderNames(all), QStringList{"Albums"});
    EXPECT_EQ(CatalogueOutline::folderNames(all->folders()[0]), QStringList{"Low Water"});
    // A file the extractors read nothing from is named after itself.
    _home.writeFile(QStringLiteral("Music/Gull.ogg"), QByteArray(64, 'o'));
    EXPECT_EVENTUALLY(all->files().size() == 3, 60000);
    EXPECT_EQ(items(all->files()),
              (QStringList{"Gull||0|file://" + home + "/Music/Gull.ogg", nightSwim, morningSong}));

    // The rows of the window's song list.
    MusicTableView table;
    MusicListController list;
    list.setTableView(&table);
    list.awakeFromNib();
    list.setFolder(all);
    QStringList rows;
    for (int row = 0; row < list.rowCount(); ++row) {
        rows << list.data(list.index(row, 0)).toString() + " / " + list.data(list.index(row, 1)).toString();
    }
    rows.sort();
    EXPECT_EQ(rows, (QStringList{"Gull / ", "Morning Song / Zoë Keating", "Night Swim / Tide Pool"}));

    // Read with the indexer stopped: nothing in the index's folder changes.
    stopIndexer();
    const QString folder = QFileInfo(indexFile()).path();
    const QStringList before = folderState(folder);
    all->loadInBackground();
    ASSERT_EVENTUALLY(all->loadState() == MediaFolder::LoadState::Loaded, 30000);
    EXPECT_EQ(count(indexFile(), BalooIndex::Type::Audio), 3u);
    EXPECT_EQ(folderState(folder), before);

    // Spoilt copies: cut short, overwritten with noise from the start or
    // after the header pages, or a page of noise in the middle. None may
    // crash; a cut copy reads as no index at all.
    QFile original(indexFile());
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    ASSERT_GE(bytes.size(), 4 * 4096);
    std::mt19937 noise(25);
    const auto noisy = [&](QByteArray copy, qsizetype from, qsizetype length) {
        for (qsizetype i = from; i < from + length && i < copy.size(); ++i) {
            copy[i] = static_cast<char>(noise());
        }
        return copy;
    };
    const std::vector<std::pair<const char*, QByteArray>> spoilt = {
        {"empty", QByteArray()},
        {"one page", bytes.left(4096)},
        {"cut short", bytes.left(bytes.size() - 4096)},
        {"all noise", noisy(bytes, 0, bytes.size())},
        {"noise after the header pages", noisy(bytes, 2 * 4096, bytes.size())},
        {"a page of noise", noisy(bytes, bytes.size() - 2 * 4096, 4096)},
    };
    for (const auto& [name, contents] : spoilt) {
        SCOPED_TRACE(name);
        const QString copy = _home.writeFile(QStringLiteral("spoilt/index"), contents);
        for (const auto type : {BalooIndex::Type::Image, BalooIndex::Type::Audio, BalooIndex::Type::Video}) {
            const auto documents = BalooIndex::documents(copy, type, true, [] { return false; });
            if (documents) {
                for (const BalooIndex::Document& document : *documents) {
                    EXPECT_TRUE(document.path.startsWith('/')) << document.path.toStdString();
                    for (const QString& text :
                         {document.properties.title, document.properties.artist, document.properties.album}) {
                        EXPECT_FALSE(std::any_of(text.begin(), text.end(), [](QChar c) {
                            return c.category() == QChar::Other_Control;
                        }));
                    }
                }
            }
        }
        EXPECT_EQ(QDir(QFileInfo(copy).path()).entryList(QDir::Files | QDir::Hidden), QStringList{"index"});
    }
    EXPECT_FALSE(
        BalooIndex::paths(_home.writeFile(QStringLiteral("cut/index"), bytes.left(bytes.size() - 4096)),
                          BalooIndex::Type::Image, [] { return false; }));

    // Spoilt tags, written over the extractors' data in place: a title of the
    // wrong type and an artist of control characters in one song, data that
    // is no longer JSON in the other. The songs keep their files' names, and
    // no control character shows.
    QByteArray spoiltTags = bytes;
    const auto spoil = [&spoiltTags](const QByteArray& from, const QByteArray& to) {
        ASSERT_EQ(from.size(), to.size());
        ASSERT_TRUE(spoiltTags.contains(from)) << from.toStdString();
        spoiltTags.replace(from, to);
    };
    spoil(R"("15":"Morning Song")", R"("15":{"a":12345678})");
    spoil(R"("9":"Zoë Keating")", R"("9":"\u0007ab\tcd")");
    spoil(R"("Low Water","15":)", R"("Low Water",,,,,,)");
    EXPECT_EQ(songs(_home.writeFile(QStringLiteral("tags/index"), spoiltTags)),
              (QStringList{"Gull||0|file://" + home + "/Music/Gull.ogg",
                           "04||0|file://" + home + "/Music/Low Water/04.flac",
                           "Tide|ab cd|2|file://" + home + "/Music/Tide.mp3"}));
}

} // namespace
