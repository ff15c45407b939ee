#include "app/QVMediaBrowserController.h"
#include "app/SingleInstance.h"
#include "browser/QVMediaBrowser.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QApplication>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QString uniqueKey() {
    return QStringLiteral("qvmb-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

TEST(SingleInstance, OnlyOneOfTwoCopiesWithTheSameKeyRuns) {
    const QString key = uniqueKey();
    SingleInstance first(key);
    ASSERT_TRUE(first.claim());
    QSignalSpy reopened(&first, &SingleInstance::reopenRequested);
    SingleInstance second(key);
    EXPECT_FALSE(second.claim());
    EXPECT_EVENTUALLY(reopened.count() == 1, 5000);

    SingleInstance elsewhere(uniqueKey()); // another home: a copy of its own
    EXPECT_TRUE(elsewhere.claim());
}

TEST(QVMediaBrowserApp, ASecondProgramExitsAtOnceAndTheFirstKeepsRunning) {
    TempHome home;
    QProcess first;
    first.start(QStringLiteral(QVMB_APP_PATH), {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    ASSERT_TRUE(first.waitForStarted(5000));
    // Wait until the first copy listens (its key depends only on the home).
    const auto listening = [] {
        QLocalSocket probe;
        probe.connectToServer(SingleInstance::defaultKey());
        return probe.waitForConnected(100);
    };
    ASSERT_EVENTUALLY(listening(), 10000);
    ASSERT_EQ(first.state(), QProcess::Running);

    QProcess second;
    second.start(QStringLiteral(QVMB_APP_PATH), {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.terminate();
    first.waitForFinished(5000);
}

TEST(QVMediaBrowserController, LaunchShowsTheBrowserAndReopenBringsItBack) {
    QVMediaBrowserController controller;
    controller.applicationDidFinishLaunching();
    QWidget* window = QVMediaBrowser::sharedBrowser()->window();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(controller.hasTrayIcon()); // the offscreen platform has no tray

    window->hide();
    EXPECT_FALSE(controller.applicationShouldHandleReopen());
    EXPECT_TRUE(window->isVisible());
}

} // namespace
