#include "platform/system/DistributedNotificationCenter.h"
#include "support/PrivateBus.h"
#include "support/Wait.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(DistributedNotificationCenter, WithoutASessionBusEverythingIsASilentNoOp) {
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("XDG_RUNTIME_DIR");
    DistributedNotificationCenter center;
    int calls = 0;
    center.addObserver(&calls, QStringLiteral("N"), [&] { ++calls; });
    center.postNotification(QStringLiteral("N"));
    QCoreApplication::processEvents();
    EXPECT_FALSE(center.isConnected());
    EXPECT_EQ(calls, 0);
}

TEST(DistributedNotificationCenter, EveryCopyOnTheBusHearsAPostLaterOnItsEventLoop) {
    PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    DistributedNotificationCenter poster;
    DistributedNotificationCenter other;
    int posterCalls = 0;
    int otherCalls = 0;
    int unrelated = 0;
    poster.addObserver(&posterCalls, QStringLiteral("Changed"), [&] { ++posterCalls; });
    other.addObserver(&otherCalls, QStringLiteral("Changed"), [&] { ++otherCalls; });
    other.addObserver(&unrelated, QStringLiteral("Else"), [&] { ++unrelated; });
    ASSERT_TRUE(poster.isConnected());
    ASSERT_TRUE(other.isConnected());

    poster.postNotification(QStringLiteral("Changed"));
    EXPECT_EQ(posterCalls, 0); // not synchronous
    EXPECT_EVENTUALLY(otherCalls == 1, 5000);
    EXPECT_EVENTUALLY(posterCalls == 1, 5000);
    EXPECT_EQ(unrelated, 0);

    other.removeObserver(&otherCalls);
    poster.postNotification(QStringLiteral("Changed"));
    EXPECT_EVENTUALLY(posterCalls == 2, 5000);
    EXPECT_EQ(otherCalls, 1);
}

} // namespace
