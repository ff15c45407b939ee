#include "model/MediaFolder.h"
#include "platform/system/NotificationCenter.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// A folder whose hooks count their calls and fill it with what the test says.
class CountingFolder : public MediaFolder {
public:
    explicit CountingFolder(bool expandable = false, int subFolders = 0, int items = 0)
        : MediaFolder(QStringLiteral("counting"), QImage())
        , _expandable(expandable)
        , _subFolders(subFolders)
        , _items(items) {}

    int loads = 0;
    int expandableAsks = 0;

protected:
    void loadFolder() override {
        ++loads;
        for (int i = 0; i < _subFolders; ++i) {
            addFolder(std::make_shared<MediaFolder>());
        }
        for (int i = 0; i < _items; ++i) {
            addFile(std::make_shared<Item>());
        }
    }
    bool loadExpandable() override {
        ++expandableAsks;
        return _expandable;
    }

private:
    struct Item : MediaItem {
        QString name() override { return {}; }
        bool matchesFilter(const QString&) override { return false; }
    };
    bool _expandable;
    int _subFolders;
    int _items;
};

struct Item : MediaItem {
    QString name() override { return QStringLiteral("item"); }
    bool matchesFilter(const QString&) override { return true; }
};

// Records every folder notification, in order, as (name, object) pairs.
class NotificationLog {
public:
    NotificationLog() {
        for (const char* name : {MediaFolderSubFoldersChanged, MediaFolderFilesChanged}) {
            NotificationCenter::defaultCenter().addObserver(
                this, name, nullptr,
                [this](const Notification& n) { entries.emplace_back(std::string(n.name), n.object); });
        }
    }
    ~NotificationLog() { NotificationCenter::defaultCenter().removeObserver(this); }
    std::vector<std::pair<std::string, const void*>> entries;
};

const std::string kSub = MediaFolderSubFoldersChanged;
const std::string kFiles = MediaFolderFilesChanged;

TEST(MediaFolder, LoadsOnceWithoutNotifyingAndAnswersExpandabilityWithoutLoading) {
    auto root = std::make_shared<MediaFolder>();
    auto folder = std::make_shared<CountingFolder>(/*expandable*/ true, /*subFolders*/ 0, /*items*/ 2);
    root->addFolder(folder);
    NotificationLog log;

    EXPECT_TRUE(folder->isExpandable());
    EXPECT_TRUE(folder->isExpandable());
    EXPECT_EQ(folder->expandableAsks, 1);
    EXPECT_EQ(folder->loads, 0);

    EXPECT_EQ(folder->folders().size(), 0u);
    EXPECT_EQ(folder->files().size(), 2u);
    EXPECT_FALSE(folder->isEmpty());
    EXPECT_EQ(folder->loads, 1);
    EXPECT_TRUE(log.entries.empty()); // loading announces nothing, here or above
    // Once loaded, the real sub-folders decide: items do not count.
    EXPECT_FALSE(folder->isExpandable());
    EXPECT_EQ(folder->expandableAsks, 1);
}

TEST(MediaFolder, ExpandabilityAfterLoadingCountsOnlySubFolders) {
    CountingFolder withFolders(false, 1, 0);
    EXPECT_FALSE(withFolders.isExpandable());
    withFolders.lazyLoad();
    EXPECT_TRUE(withFolders.isExpandable());

    MediaFolder plain;
    EXPECT_FALSE(plain.isExpandable());
}

TEST(MediaFolder, SubFolderChangeIsAnnouncedByEachAncestorNearestFirst) {
    auto root = std::make_shared<MediaFolder>();
    auto a = std::make_shared<MediaFolder>();
    auto b = std::make_shared<MediaFolder>();
    auto c = std::make_shared<MediaFolder>();
    root->addFolder(a);
    a->addFolder(b);
    b->addFolder(c);
    NotificationLog log;
    c->addFolder(std::make_shared<MediaFolder>());
    ASSERT_EQ(log.entries.size(), 4u);
    EXPECT_EQ(log.entries[0], std::make_pair(kSub, static_cast<const void*>(c.get())));
    EXPECT_EQ(log.entries[1], std::make_pair(kSub, static_cast<const void*>(b.get())));
    EXPECT_EQ(log.entries[2], std::make_pair(kSub, static_cast<const void*>(a.get())));
    EXPECT_EQ(log.entries[3], std::make_pair(kSub, static_cast<const void*>(root.get())));
    EXPECT_EQ(c->parent(), b.get());
}

TEST(MediaFolder, ItemNotificationsStayWithTheFolder) {
    auto root = std::make_shared<MediaFolder>();
    auto folder = std::make_shared<MediaFolder>();
    root->addFolder(folder);
    NotificationLog log;
    folder->addFile(nullptr);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_TRUE(folder->files().empty());

    folder->addFiles({});
    folder->addFile(std::make_shared<Item>());
    folder->addFiles({std::make_shared<Item>(), std::make_shared<Item>()});
    ASSERT_EQ(log.entries.size(), 3u);
    for (const auto& entry : log.entries) {
        EXPECT_EQ(entry, std::make_pair(kFiles, static_cast<const void*>(folder.get())));
    }
    EXPECT_EQ(folder->files().size(), 3u);
}

TEST(MediaFolder, AddingSeveralFoldersPostsOnceAndParentsThemAll) {
    MediaFolder folder;
    NotificationLog log;
    auto first = std::make_shared<MediaFolder>();
    auto second = std::make_shared<MediaFolder>();
    folder.addFolders({first, second});
    EXPECT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(first->parent(), &folder);
    EXPECT_EQ(second->parent(), &folder);
}

TEST(MediaFolder, RemovingLeavesALoadedEmptyFolderAndOrphansTheChildren) {
    auto folder = std::make_shared<CountingFolder>(false, 2, 1);
    const auto children = folder->folders(); // copies keep the children alive
    ASSERT_EQ(children.size(), 2u);
    NotificationLog log;
    folder->removeAll();
    for (const auto& child : children) {
        EXPECT_EQ(child->parent(), nullptr);
    }
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[0].first, kSub);
    EXPECT_EQ(log.entries[1].first, kFiles);
    EXPECT_TRUE(folder->folders().empty());
    EXPECT_TRUE(folder->isEmpty());
    EXPECT_EQ(folder->loads, 1); // not loaded again

    // Removing from an already empty list still announces it.
    log.entries.clear();
    folder->removeAllFolders();
    EXPECT_EQ(log.entries.size(), 1u);
}

TEST(MediaFolder, DestructionRemovesEverythingSoSurvivingChildrenLoseTheirParent) {
    auto child = std::make_shared<MediaFolder>();
    const void* parentAddress = nullptr;
    {
        NotificationLog log;
        auto parent = std::make_shared<MediaFolder>();
        parentAddress = parent.get();
        parent->addFolder(child);
        parent->addFile(std::make_shared<Item>());
        log.entries.clear();
        parent.reset();
        ASSERT_EQ(log.entries.size(), 2u);
        EXPECT_EQ(log.entries[0], std::make_pair(kSub, parentAddress));
        EXPECT_EQ(log.entries[1], std::make_pair(kFiles, parentAddress));
    }
    EXPECT_EQ(child->parent(), nullptr);
}

TEST(MediaFolder, NameAndIconAreTakenOnceAndChangeOnlyOnRequest) {
    MediaFolder folder(QStringLiteral("Holiday"), QImage(4, 4, QImage::Format_ARGB32));
    EXPECT_EQ(folder.name(), QStringLiteral("Holiday"));
    EXPECT_FALSE(folder.icon().isNull());
    folder.setName(QStringLiteral("Other"));
    EXPECT_EQ(folder.name(), QStringLiteral("Other"));
    MediaFolder unnamed;
    EXPECT_TRUE(unnamed.name().isNull());
    EXPECT_TRUE(unnamed.icon().isNull());
}

TEST(MediaFolder, IconCacheAnswersNothingForUnknownOrUnreadableResources) {
    EXPECT_TRUE(MediaFolder::icon(QStringLiteral("never-loaded")).isNull());
    MediaFolder::loadBundleIcon(QStringLiteral("broken"), QStringLiteral("no-such-resource.tif"));
    ASSERT_NE(MediaFolder::_icons, nullptr);
    EXPECT_FALSE(MediaFolder::_icons->contains(QStringLiteral("broken")));
    EXPECT_TRUE(MediaFolder::icon(QStringLiteral("broken")).isNull());
}

} // namespace
