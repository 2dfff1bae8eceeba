#pragma once

#include <QTest>

#include <gtest/gtest.h>

// Waits, with the event loop running, until `condition` holds, and fails the test when it does
// not within `timeoutMs`. Qt Test's own QTRY_* macros only report to Qt Test: a timed-out wait
// would return quietly and the test would pass.
#define ASSERT_EVENTUALLY(condition, timeoutMs)                                                    \
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(condition); }, (timeoutMs)))                    \
        << "still false after " << (timeoutMs) << " ms: " #condition
