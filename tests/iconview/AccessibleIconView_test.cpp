#include "GridFixture.h"

#include <QAccessible>
#include <QAccessibleInterface>

#include <gtest/gtest.h>

namespace {

TEST(AccessibleIconView, CellsAreNamedAndStatefulActLikeClicksAndGoWithAShrinkingReload) {
    Grid grid(310, 250);
    grid.reload(12);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(grid.view);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 12);

    QAccessibleInterface* last = list->child(11);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->text(QAccessible::Name), QStringLiteral("Item 11"));
    EXPECT_EQ(list->indexOfChild(last), 11);
    EXPECT_EQ(last->parent(), list);
    EXPECT_EQ(list->child(11), last) << "a cell keeps its identity for readers";
    EXPECT_TRUE(last->state().offscreen) << "the fourth row is below the 250-high viewport";
    EXPECT_FALSE(list->child(0)->state().offscreen);

    // The cell under a point of the screen is the one drawn there.
    const QPoint second = grid.view->mapToGlobal(QPoint(4 + 103 + 47, 4 + 47));
    EXPECT_EQ(list->childAt(second.x(), second.y()), list->child(1));

    // Actions do what a click does: set focus selects the one cell, toggle adds or removes.
    QAccessibleActionInterface* actions = list->child(1)->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_EQ(grid.view->selection(), IndexSet({1}));
    list->child(4)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(grid.view->selection(), IndexSet({1, 4}));
    EXPECT_TRUE(list->child(4)->state().selected);
    EXPECT_FALSE(list->child(0)->state().selected);

    // Fewer items: the cells beyond them answer as gone rather than with stale captions.
    const QAccessible::Id lastId = QAccessible::uniqueId(last);
    grid.reload(3);
    EXPECT_EQ(list->childCount(), 3);
    EXPECT_EQ(list->child(11), nullptr);
    QAccessibleInterface* gone = QAccessible::accessibleInterface(lastId);
    EXPECT_TRUE(gone == nullptr || (!gone->isValid() && gone->text(QAccessible::Name).isEmpty()));
}

} // namespace
