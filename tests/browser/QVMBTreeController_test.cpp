#include "RecordingList.h"
#include "browser/OutlineRestore.h"
#include "browser/QVMBTreeController.h"
#include "support/Wait.h"

#include <QAbstractItemModelTester>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

// A folder that counts its loads and has the sub-folders the test gives it.
class LazyFolder : public MediaFolder {
public:
    LazyFolder(const QString& name, int children, bool expandable)
        : MediaFolder(name, QImage(8, 8, QImage::Format_ARGB32))
        , _children(children)
        , _expandable(expandable) {}
    int loads = 0;

protected:
    void loadFolder() override {
        ++loads;
        for (int i = 0; i < _children; ++i) {
            addFolder(std::make_shared<MediaFolder>(name() + QString::number(i), QImage()));
        }
    }
    bool loadExpandable() override { return _expandable; }

private:
    int _children;
    bool _expandable;
};

struct Outline {
    MediaFolderPtr root = std::make_shared<MediaFolder>();
    QTreeView view;
    RecordingList list;
    QVMBTreeController controller{root, &view, &list};

    void select(int topLevelRow) {
        view.selectionModel()->setCurrentIndex(controller.index(topLevelRow, 0),
                                               QItemSelectionModel::ClearAndSelect |
                                                   QItemSelectionModel::Rows);
    }
};

TEST(QVMBTreeController, ShowsTheRootsFoldersAndLoadsAFolderOnlyWhenItsChildrenAreAsked) {
    Outline outline;
    auto library = std::make_shared<LazyFolder>(QStringLiteral("Library"), 2, true);
    auto empty = std::make_shared<LazyFolder>(QStringLiteral("Empty"), 0, true);
    outline.root->addFolder(library);
    outline.root->addFolder(empty);
    outline.controller.awakeFromNib();
    QAbstractItemModelTester tester(&outline.controller,
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);

    ASSERT_EQ(outline.controller.rowCount(), 2);
    const QModelIndex first = outline.controller.index(0, 0);
    EXPECT_EQ(first.data().toString(), QStringLiteral("Library"));
    EXPECT_FALSE(first.data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_TRUE(outline.controller.hasChildren(first));

    // The tester walks everything; a fresh outline shows that showing a row does not load it.
    Outline fresh;
    auto lazy = std::make_shared<LazyFolder>(QStringLiteral("Lazy"), 3, true);
    fresh.root->addFolder(lazy);
    fresh.controller.awakeFromNib();
    fresh.view.show();
    EXPECT_TRUE(fresh.controller.hasChildren(fresh.controller.index(0, 0)));
    EXPECT_EQ(lazy->loads, 0);
    fresh.view.expand(fresh.controller.index(0, 0));
    EXPECT_EQ(fresh.controller.rowCount(fresh.controller.index(0, 0)), 3);
    EXPECT_EQ(lazy->loads, 1);
    EXPECT_EQ(fresh.controller.parent(fresh.controller.index(1, 0, fresh.controller.index(0, 0))),
              fresh.controller.index(0, 0));

    // Shown as expandable but empty once loaded: a leaf from then on.
    EXPECT_EQ(outline.controller.rowCount(outline.controller.index(1, 0)), 0);
    EXPECT_FALSE(outline.controller.hasChildren(outline.controller.index(1, 0)));
}

TEST(QVMBTreeController, HandsTheSelectedFolderToTheListEveryTime) {
    Outline outline;
    auto a = std::make_shared<MediaFolder>(QStringLiteral("A"), QImage());
    auto b = std::make_shared<MediaFolder>(QStringLiteral("B"), QImage());
    outline.root->addFolder(a);
    outline.root->addFolder(b);
    outline.controller.awakeFromNib();
    ASSERT_EQ(outline.list.handed, std::vector<MediaFolder*>{nullptr}); // nothing selected at first

    outline.select(1);
    EXPECT_EQ(outline.list.handed.back(), b.get());
    EXPECT_EQ(outline.controller.selection(), b);
    const size_t handedBefore = outline.list.handed.size();
    outline.select(1); // the same row again: no selection change, nothing handed
    EXPECT_EQ(outline.list.handed.size(), handedBefore);

    outline.view.selectionModel()->clearSelection();
    EXPECT_EQ(outline.list.handed.back(), nullptr);
    EXPECT_EQ(outline.controller.selection(), nullptr);
}

TEST(QVMBTreeController, ARebuildOfTheRootSelectsAndExpandsAgainTheFoldersThatCameBackAndNothingElse) {
    Outline outline;
    outline.root->addFolder(std::make_shared<LazyFolder>(QStringLiteral("Kept"), 2, true));
    outline.root->addFolder(std::make_shared<MediaFolder>(QStringLiteral("Gone"), QImage()));
    outline.controller.awakeFromNib();
    QAbstractItemModelTester tester(&outline.controller,
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    outline.view.expand(outline.controller.index(0, 0));
    outline.view.selectionModel()->setCurrentIndex(
        outline.controller.index(1, 0, outline.controller.index(0, 0)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_EQ(outline.controller.selection()->name(), QStringLiteral("Kept1"));

    // What the media roots do on a preference change: empty, then add one by one.
    outline.root->removeAll();
    EXPECT_EQ(outline.controller.rowCount(), 0);
    EXPECT_EQ(outline.list.handed.back(), nullptr);
    outline.root->addFolder(std::make_shared<MediaFolder>(QStringLiteral("New"), QImage()));
    EXPECT_EQ(outline.list.handed.back(), nullptr); // not what was selected
    auto kept = std::make_shared<LazyFolder>(QStringLiteral("Kept"), 2, true);
    outline.root->addFolder(kept);
    EXPECT_TRUE(outline.view.isExpanded(outline.controller.index(1, 0)));
    ASSERT_NE(outline.controller.selection(), nullptr);
    EXPECT_EQ(outline.controller.selection(), kept->folders()[1]);
    EXPECT_EQ(outline.list.handed.back(), kept->folders()[1].get());

    // Once the user chose something else, what went before is not brought back.
    outline.select(0);
    outline.root->removeAll();
    outline.root->addFolder(std::make_shared<LazyFolder>(QStringLiteral("Kept"), 2, true));
    EXPECT_EQ(outline.controller.selection(), nullptr);
}

// A home with a music catalogue and a music folder both called "Music": the
// user's place in the second comes back there after a relaunch, not in the first.
TEST(QVMBTreeController, APlaceInTheSecondOfTwoSourcesOfOneNameComesBackThere) {
    const auto twoMusics = [](Outline& outline) {
        outline.root->addFolder(std::make_shared<LazyFolder>(QStringLiteral("Music"), 2, true));
        outline.root->addFolder(std::make_shared<LazyFolder>(QStringLiteral("Music"), 2, true));
        outline.controller.awakeFromNib();
    };
    QStringList expanded;
    QString selected;
    {
        Outline before;
        twoMusics(before);
        const QModelIndex second = before.controller.index(1, 0);
        before.view.expand(second);
        before.view.selectionModel()->setCurrentIndex(before.controller.index(1, 0, second),
                                                      QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
        expanded = before.controller.expandedFolderPaths();
        selected = OutlineRestore::pathOf(before.controller.selection().get(), before.root.get());
    }
    Outline after;
    twoMusics(after);
    after.controller.restoreFolders(expanded, selected);
    ASSERT_EVENTUALLY(after.controller.selection() != nullptr, 5000);
    EXPECT_EQ(after.controller.selection(), after.root->folders()[1]->folders()[1]);
    EXPECT_TRUE(after.view.isExpanded(after.controller.index(1, 0)));
    EXPECT_FALSE(after.view.isExpanded(after.controller.index(0, 0)));
    // A name that holds the escapes' own characters reads back as it was.
    const QList<OutlineRestore::Step> steps{{QStringLiteral("a/b\\#2"), 3}, {QStringLiteral("Music")}};
    EXPECT_EQ(OutlineRestore::stepsOf(OutlineRestore::pathOf(steps)), steps);
}

TEST(QVMBTreeController, AnEmptyRootGivesAnEmptyOutlineAndNoFolder) {
    Outline outline;
    outline.controller.awakeFromNib();
    EXPECT_EQ(outline.controller.rowCount(), 0);
    EXPECT_EQ(outline.list.handed, std::vector<MediaFolder*>{nullptr});
}

} // namespace
