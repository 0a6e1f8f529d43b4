#include "TestSupport.h"

#include "widget/WidgetClock.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using std::chrono::milliseconds;
using test::at;

TEST(WidgetClock, TheNextMinuteFollowsTheSystemClockThroughJumps) {
    const Calendar cal = test::berlin();
    Instant system = at(cal, 2026, 3, 11, 10).plus(30);
    WidgetClock clock(std::nullopt, WidgetClock::kRealMinute, [&] { return system; });
    EXPECT_EQ(clock.now(), system);
    // Half a minute to go, and a little past the boundary.
    EXPECT_GE(clock.untilNextMinute(), milliseconds(30000));
    EXPECT_LE(clock.untilNextMinute(), milliseconds(30100));
    // The clock set back an hour, then forward a day: the next boundary is worked out afresh.
    system = at(cal, 2026, 3, 11, 9, 59).plus(59.5);
    EXPECT_LE(clock.untilNextMinute(), milliseconds(600));
    system = at(cal, 2026, 3, 12, 10).plus(0.25);
    EXPECT_GE(clock.untilNextMinute(), milliseconds(59700));
    EXPECT_EQ(clock.now(), system);
}

TEST(WidgetClock, AFastClockStartsWhereItIsToldAndRunsItsMinutesShort) {
    const Calendar cal = test::berlin();
    const Instant start = at(cal, 2026, 3, 11, 10);
    WidgetClock clock(start, 100, [] { return Instant{}; });
    // Real milliseconds pass while the test runs; a minute of this clock is 100 of them.
    EXPECT_GE(clock.now(), start);
    EXPECT_LT(clock.now(), start.plus(3600));
    EXPECT_LE(clock.untilNextMinute(), milliseconds(121));
    EXPECT_GE(clock.untilNextMinute(), milliseconds(1));
    clock.start();
    EXPECT_TRUE(clock.isRunning());
}

} // namespace
} // namespace plannery
