#pragma once

#include <QTest>

#include <gtest/gtest.h>

// Waits, processing events, until the condition holds or the time is up, and
// records a GoogleTest failure on timeout. (Qt's QTRY_* macros report to the
// Qt test log, which GoogleTest never reads: a timeout there would pass.)
#define EXPECT_EVENTUALLY(condition, timeoutMs)                                                              \
    EXPECT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(condition); }, timeoutMs))                    \
        << "still false after " << (timeoutMs) << " ms: " #condition
#define ASSERT_EVENTUALLY(condition, timeoutMs)                                                              \
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(condition); }, timeoutMs))                    \
        << "still false after " << (timeoutMs) << " ms: " #condition
