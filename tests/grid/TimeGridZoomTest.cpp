#include "grid/TimeGridZoom.h"
#include "grid/TimeGridNow.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace plannery {
namespace {

const TimeGridViewport kView{.width = 800, .height = 700, .bottomInset = 0, .scale = 1};

TEST(TimeGridZoom, TheMinuteUnderThePointerStaysThere) {
    TimeGridMetrics metrics; // hour height 50, 24 hours
    const double scroller = 600;
    const double offset = metrics.y(9 * 60) - 100; // 9:00 is 100 points below the top
    // Doubling the height from 50 keeps 9:00 under a pointer 100 points down.
    const auto doubled = TimeGridZoom::pinch(metrics, 50, 2, 100, offset, kView, scroller);
    ASSERT_TRUE(doubled);
    EXPECT_EQ(doubled->hourHeight, 100);
    TimeGridMetrics after = metrics;
    after.hourHeight = doubled->hourHeight;
    EXPECT_DOUBLE_EQ(after.minute(doubled->offset + 100), 9 * 60);

    // Bounded: never above 200, never so small that the hours leave room below them.
    EXPECT_EQ(TimeGridZoom::pinch(metrics, 50, 10, 100, offset, kView, scroller)->hourHeight, 200);
    const auto smallest = TimeGridZoom::pinch(metrics, 50, 0.01, 100, offset, kView, scroller);
    ASSERT_TRUE(smallest);
    EXPECT_GE(smallest->hourHeight * 24, metrics.availableHeight(kView) - 24);
    EXPECT_GE(smallest->offset, 0);
    // Tiny or meaningless pinches change nothing.
    EXPECT_FALSE(TimeGridZoom::pinch(metrics, 50, 1.001, 100, offset, kView, scroller));
    EXPECT_FALSE(TimeGridZoom::pinch(metrics, 50, std::numeric_limits<double>::quiet_NaN(), 100,
                                     offset, kView, scroller));
    EXPECT_FALSE(TimeGridZoom::pinch(metrics, 50, -2, 100, offset, kView, scroller));

    // A height from elsewhere keeps the middle minute, and ignores differences of half a point.
    const auto set = TimeGridZoom::setHeight(metrics, 80, offset, kView, scroller);
    ASSERT_TRUE(set);
    after.hourHeight = 80;
    EXPECT_DOUBLE_EQ(after.minute(set->offset + scroller / 2),
                     metrics.minute(offset + scroller / 2));
    EXPECT_FALSE(TimeGridZoom::setHeight(metrics, 50.4, offset, kView, scroller));
}

TEST(TimeGridNow, LinePlaceAndMinuteTimer) {
    const Calendar berlin = test::berlin();
    EXPECT_DOUBLE_EQ(
        TimeGridNow::minuteOfDay(test::at(berlin, 2026, 3, 10, 10, 5).plus(30), berlin), 605.5);
    EXPECT_DOUBLE_EQ(TimeGridNow::minuteOfDay(test::at(berlin, 2026, 3, 10), berlin), 0);
    // After the spring change the wall clock says 3:30 although only 2.5 hours have passed.
    EXPECT_DOUBLE_EQ(TimeGridNow::minuteOfDay(test::at(berlin, 2026, 3, 29, 3, 30), berlin), 210);

    TimeGridMetrics metrics;
    metrics.columnWidth = 120;
    EXPECT_EQ(TimeGridNow::line(metrics, 360, 600),
              (Rect{.x = 360, .y = metrics.y(600) - 0.75, .width = 120, .height = 1.5}));
    EXPECT_EQ(TimeGridNow::dot(metrics, 360, 600),
              (Rect{.x = 359.5, .y = metrics.y(600) - 4, .width = 8, .height = 8}));
    metrics.startHour = 8;
    metrics.endHour = 20;
    EXPECT_TRUE(TimeGridNow::inHoursOf(metrics, 480));
    EXPECT_TRUE(TimeGridNow::inHoursOf(metrics, 1200));
    EXPECT_FALSE(TimeGridNow::inHoursOf(metrics, 1201));

    // 1,000,000,000 seconds is 40 seconds into a minute; 1,000,000,020 is on a minute.
    EXPECT_EQ(TimeGridNow::untilNextMinute(Instant{1'000'000'000.25}).count(), 19750);
    EXPECT_EQ(TimeGridNow::untilNextMinute(Instant{1'000'000'020}).count(), 60000);
    EXPECT_EQ(
        TimeGridNow::untilNextMinute(Instant{std::numeric_limits<double>::infinity()}).count(),
        60000);
}

} // namespace
} // namespace plannery
