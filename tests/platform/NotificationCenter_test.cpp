#include "platform/system/NotificationCenter.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Recorder {
    std::vector<std::string> calls;
};

TEST(NotificationCenter, DeliversInRegistrationOrderAndFiltersByNameAndObject) {
    NotificationCenter center;
    Recorder log;
    int a = 0;
    int b = 0;
    center.addObserver(&log, "N", &a, [&](const Notification&) { log.calls.push_back("first-a"); });
    center.addObserver(&log, "N", nullptr, [&](const Notification& n) {
        log.calls.push_back(n.object == &a ? "any-a" : "any-b");
    });
    center.addObserver(&log, "Other", nullptr, [&](const Notification&) { log.calls.push_back("other"); });
    center.addObserver(&log, "N", &b, [&](const Notification&) { log.calls.push_back("last-b"); });

    center.postNotification("N", &a);
    center.postNotification("N", &b);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"first-a", "any-a", "any-b", "last-b"}));
}

TEST(NotificationCenter, ObserverRemovedDuringPostIsNotCalledAndAddedOneWaitsForNextPost) {
    NotificationCenter center;
    std::vector<std::string> calls;
    int first = 0;
    int second = 0;
    int late = 0;
    center.addObserver(&first, "N", nullptr, [&](const Notification&) {
        calls.push_back("first");
        center.removeObserver(&second);
        center.addObserver(&late, "N", nullptr, [&](const Notification&) { calls.push_back("late"); });
    });
    center.addObserver(&second, "N", nullptr, [&](const Notification&) { calls.push_back("second"); });

    center.postNotification("N", nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"first"}));
    calls.clear();
    center.removeObserver(&first);
    center.postNotification("N", nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"late"}));
}

TEST(NotificationCenter, ObserverMayRemoveItselfInsideItsOwnCallback) {
    NotificationCenter center;
    int token = 0;
    int calls = 0;
    std::string captured = "kept alive by the copy";
    center.addObserver(&token, "N", nullptr, [&, captured](const Notification&) {
        center.removeObserver(&token);
        // The callback's own state must survive its removal.
        EXPECT_EQ(captured, "kept alive by the copy");
        ++calls;
    });
    center.postNotification("N", nullptr);
    center.postNotification("N", nullptr);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(center.observerCount(), 0u);
}

TEST(NotificationCenter, RemovesByNameAndObjectOrAllAtOnce) {
    NotificationCenter center;
    int observer = 0;
    int object = 0;
    int calls = 0;
    center.addObserver(&observer, "A", &object, [&](const Notification&) { ++calls; });
    center.addObserver(&observer, "B", &object, [&](const Notification&) { ++calls; });
    center.addObserver(&observer, "C", nullptr, [&](const Notification&) { ++calls; });
    center.removeObserver(&observer, "A", &object);
    center.postNotification("A", &object);
    EXPECT_EQ(calls, 0);
    center.postNotification("B", &object);
    EXPECT_EQ(calls, 1);
    center.removeObserver(&observer);
    center.postNotification("B", &object);
    center.postNotification("C", nullptr);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(center.observerCount(), 0u);
}

} // namespace
