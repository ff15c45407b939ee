#include "browser/QVMBListController.h"
#include "platform/system/NotificationCenter.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

struct NamedItem : MediaItem {
    explicit NamedItem(QString n)
        : itemName(std::move(n)) {}
    QString name() override { return itemName; }
    bool matchesFilter(const QString& text) override { return itemName.contains(text, Qt::CaseInsensitive); }
    QString itemName;
};

MediaFolderPtr folderOf(std::initializer_list<const char*> names) {
    auto folder = std::make_shared<MediaFolder>();
    for (const char* name : names) {
        folder->addFile(std::make_shared<NamedItem>(QString::fromUtf8(name)));
    }
    return folder;
}

// A list whose hooks write into the shared log and that plays when told to.
class RecordingList : public QVMBListController {
public:
    explicit RecordingList(Log& log)
        : _log(log) {}
    bool playable = true;
    bool playing = false;
    bool isPlaying() override { return playing; }
    bool canPlay() override { return playable; }

    QStringList names() const {
        QStringList result;
        for (const MediaItemPtr& item : filtered()) {
            result.append(item->name());
        }
        return result;
    }

protected:
    void listChanged() override { _log.push_back("listChanged"); }
    void doPlay() override {
        _log.push_back("doPlay");
        playing = true;
    }
    void doStop() override {
        _log.push_back("doStop");
        playing = false;
    }

private:
    Log& _log;
};

class ListControllerTest : public ::testing::Test {
protected:
    ListControllerTest() {
        for (const char* name :
             {QVMBListCtrlNumItemsChanged, QVMBListCtrlCanPlayChanged, QVMBListCtrlIsPlayingChanged}) {
            NotificationCenter::defaultCenter().addObserver(
                this, name, &list, [this](const Notification& n) { log.push_back(std::string(n.name)); });
        }
    }
    ~ListControllerTest() override { NotificationCenter::defaultCenter().removeObserver(this); }

    Log log;
    RecordingList list{log};
    const std::string count = QVMBListCtrlNumItemsChanged;
    const std::string canPlay = QVMBListCtrlCanPlayChanged;
    const std::string playing = QVMBListCtrlIsPlayingChanged;
};

TEST_F(ListControllerTest, EveryRebuildRefreshesThenPostsCountThenCanPlay) {
    EXPECT_EQ(list.numItems(), 0);
    EXPECT_TRUE(log.empty());
    list.setFilter(QStringLiteral("x"));
    list.setFilter(QStringLiteral("x"));
    EXPECT_EQ(log, (Log{"listChanged", count, canPlay, "listChanged", count, canPlay}));
    EXPECT_EQ(list.numItems(), 0);

    // Setting the folder stops what plays first, also for the same folder.
    auto folder = folderOf({"ax", "b", "xc"});
    list.setFolder(folder);
    list.play();
    log.clear();
    list.setFolder(folder);
    EXPECT_EQ(log, (Log{"doStop", playing, "listChanged", count, canPlay}));
    EXPECT_EQ(list.numItems(), 2);
}

TEST_F(ListControllerTest, TheFilterIsTrimmedOfSpacesButNotOfLineBreaks) {
    list.setFolder(folderOf({"red rose", "rose", "red tulip", "tulip\n"}));
    list.setFilter(QStringLiteral(" \t\u00a0\u3000 "));
    EXPECT_EQ(list.filter(), QString());
    EXPECT_EQ(list.numItems(), 4);

    list.setFilter(QStringLiteral("\t rose\u2003 "));
    EXPECT_EQ(list.filter(), QStringLiteral("rose"));
    EXPECT_EQ(list.names(), (QStringList{QStringLiteral("red rose"), QStringLiteral("rose")}));

    list.setFilter(QStringLiteral(" red rose "));
    EXPECT_EQ(list.names(), QStringList{QStringLiteral("red rose")});

    list.setFilter(QStringLiteral("tulip\n"));
    EXPECT_EQ(list.names(), QStringList{QStringLiteral("tulip\n")});

    list.setFilter(QString());
    EXPECT_TRUE(list.filter().isNull());
    EXPECT_EQ(list.numItems(), 4);
}

TEST_F(ListControllerTest, PlayAndStopGoThroughTheHooks) {
    list.playable = false;
    list.play();
    list.stop();
    list.togglePlay();
    EXPECT_TRUE(log.empty());

    list.playable = true;
    list.togglePlay();
    EXPECT_EQ(log, (Log{"doPlay", playing}));
    log.clear();
    // Playing anew ends what plays first.
    list.play();
    EXPECT_EQ(log, (Log{"doStop", playing, "doPlay", playing}));
    log.clear();
    list.togglePlay();
    EXPECT_EQ(log, (Log{"doStop", playing}));
}

TEST_F(ListControllerTest, OnlyTheHeldFolderRebuildsTheListWhenItsFilesChange) {
    auto first = folderOf({"a"});
    auto second = folderOf({"b", "c"});
    list.setFolder(first);
    list.setFolder(second);
    log.clear();

    first->addFile(std::make_shared<NamedItem>(QStringLiteral("d")));
    EXPECT_TRUE(log.empty());
    second->removeAllFiles();
    EXPECT_EQ(log, (Log{"listChanged", count, canPlay}));
    EXPECT_EQ(list.numItems(), 0);

    list.setFolder(nullptr);
    log.clear();
    second->addFile(std::make_shared<NamedItem>(QStringLiteral("e")));
    EXPECT_TRUE(log.empty());
}

TEST(ListController, StopsObservingWhenDestroyed) {
    auto folder = folderOf({"a"});
    const std::size_t before = NotificationCenter::defaultCenter().observerCount();
    {
        QVMBListController list;
        list.setFolder(folder);
        // The folder's files and its loading state.
        EXPECT_EQ(NotificationCenter::defaultCenter().observerCount(), before + 2);
    }
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount(), before);
    folder->removeAllFiles();
}

} // namespace
