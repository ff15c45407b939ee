// A host that makes its application object more than once (a plug-in host, a
// test runner) reads and follows folders with each: the loaders and the
// watcher belong to the application object, go with it and come anew.

#include "sources/local/LocalFolder.h"
#include "support/TempHome.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(SecondApplication, ReadsAndFollowsFoldersLikeTheFirst) {
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        int argc = 1;
        char name[] = "second_application_tests";
        char* argv[] = {name, nullptr};
        QApplication application(argc, argv);
        TempHome home;
        home.writeFile(QStringLiteral("Pictures/a.jpg"));
        const LocalFolderPtr folder =
            LocalFolder::create(home.file(QStringLiteral("Pictures")), LocalFolder::Pictures);
        folder->loadInBackground();
        ASSERT_TRUE(QTest::qWaitFor([&] { return folder->isLoaded(); }, 5000));
        EXPECT_EQ(folder->files().size(), 1u);
        home.writeFile(QStringLiteral("Pictures/b.jpg"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return folder->files().size() == 2; }, 5000));
    }
}

} // namespace

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
