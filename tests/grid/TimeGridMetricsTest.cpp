#include "grid/TimeGridMetrics.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace plannery {
namespace {

TEST(TimeGridMetricsTest, HeaderContentAndMinutePositions) {
    TimeGridMetrics metrics;
    EXPECT_EQ(metrics.headerHeight(), 30);
    EXPECT_EQ(metrics.contentHeight(), 9 + 50 * 24 + 9);
    EXPECT_EQ(metrics.y(0), 9);
    EXPECT_EQ(metrics.y(480), 409);
    EXPECT_EQ(metrics.minute(409), 480);

    metrics.allDayRows = 2;
    EXPECT_EQ(metrics.headerHeight(), 30 + (17 + 2) * 2 + 2);

    // A band from 8:00 puts 8:00 right below the top margin; minutes before it lie above.
    metrics.startHour = 8;
    metrics.endHour = 20;
    metrics.hourHeight = 60;
    EXPECT_EQ(metrics.contentHeight(), 9 + 60 * 12 + 9);
    EXPECT_EQ(metrics.y(480), 9);
    EXPECT_EQ(metrics.y(1200), 729);
    EXPECT_LT(metrics.y(420), 0);
    EXPECT_DOUBLE_EQ(metrics.minute(metrics.y(617.5)), 617.5);
}

TEST(TimeGridMetricsTest, ColumnsInWholePixelsAndTheGutterTakesTheRest) {
    struct Case {
        std::string name;
        TimeGridViewport view;
        double gutterPreferred;
        int dayCount;
        TimeGridWidths expected;
    };
    const Case cases[] = {
        {"week on a 2x display",
         {.width = 1000, .height = 700, .scale = 2},
         45,
         7,
         {.columnWidth = 136, .gutterWidth = 48, .dateRowHeight = 32, .monthOnFirstDay = true}},
        {"one day",
         {.width = 400, .height = 700, .scale = 1},
         45,
         1,
         {.columnWidth = 355, .gutterWidth = 45, .dateRowHeight = 32, .monthOnFirstDay = false}},
        {"narrow columns get the taller date row",
         {.width = 600, .height = 700, .scale = 1},
         45,
         7,
         {.columnWidth = 79, .gutterWidth = 47, .dateRowHeight = 40, .monthOnFirstDay = true}},
        {"a scale below 1 counts as 1",
         {.width = 600, .height = 700, .scale = 0.25},
         45,
         7,
         {.columnWidth = 79, .gutterWidth = 47, .dateRowHeight = 40, .monthOnFirstDay = true}},
        {"a scale that is not a number counts as 1",
         {.width = 600, .height = 700, .scale = NAN},
         45,
         7,
         {.columnWidth = 79, .gutterWidth = 47, .dateRowHeight = 40, .monthOnFirstDay = true}},
        {"narrow: 20-point columns, small gutter",
         {.width = 150, .height = 700, .scale = 2},
         45,
         7,
         {.columnWidth = 20, .gutterWidth = 10, .dateRowHeight = 40, .monthOnFirstDay = true}},
        {"narrower: the gutter goes negative",
         {.width = 120, .height = 700, .scale = 2},
         45,
         7,
         {.columnWidth = 20, .gutterWidth = -20, .dateRowHeight = 40, .monthOnFirstDay = true}},
        {"damaged gutter width",
         {.width = 120, .height = 700, .scale = 2},
         NAN,
         3,
         {.columnWidth = 40, .gutterWidth = 0, .dateRowHeight = 40, .monthOnFirstDay = true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto widths = TimeGridMetrics::widths(c.view, c.gutterPreferred, c.dayCount);
        ASSERT_TRUE(widths.has_value());
        EXPECT_EQ(*widths, c.expected);
        EXPECT_DOUBLE_EQ(widths->columnWidth * c.dayCount + widths->gutterWidth, c.view.width);
    }

    // On a 3x display a column may be a third of a point wide; the page still fills the view.
    const auto thirds = TimeGridMetrics::widths({.width = 1000, .height = 700, .scale = 3}, 45, 7);
    ASSERT_TRUE(thirds.has_value());
    EXPECT_DOUBLE_EQ(thirds->columnWidth, 409.0 / 3);
    EXPECT_NEAR(thirds->gutterWidth + 7 * thirds->columnWidth, 1000, 1e-9);

    EXPECT_FALSE(TimeGridMetrics::widths({.width = 60, .height = 700}, 45, 7).has_value());
    EXPECT_FALSE(TimeGridMetrics::widths({.width = 700, .height = 40}, 45, 7).has_value());
    EXPECT_FALSE(TimeGridMetrics::widths({.width = NAN, .height = 700}, 45, 7).has_value());

    const TimeGridMetrics laidOut = TimeGridMetrics{}.with(*thirds);
    EXPECT_EQ(laidOut.columnWidth, thirds->columnWidth);
    EXPECT_EQ(laidOut.dateRowHeight, 32);
    EXPECT_EQ(laidOut.hourHeight, 50);

    EXPECT_EQ(TimeGridMetrics::gutterPreferredWidth(30.2, 40), 40);        // 39.2 up
    EXPECT_EQ(TimeGridMetrics::gutterPreferredWidth(20, 55), 52);          // now label: 51.4
    EXPECT_EQ(TimeGridMetrics::gutterPreferredWidth(std::nullopt, 0), 39); // no labels
}

TEST(TimeGridMetricsTest, HourHeightDefaultsBoundsAndFitting) {
    TimeGridPreferences preferences;
    EXPECT_EQ(TimeGridMetrics::defaultHourHeight(SizeClass::regular, preferences), 56);
    EXPECT_EQ(TimeGridMetrics::defaultHourHeight(SizeClass::compact, preferences), 50);
    preferences.gridHourHeight = 72;
    EXPECT_EQ(TimeGridMetrics::defaultHourHeight(SizeClass::compact, preferences), 72);

    TimeGridMetrics metrics;
    const TimeGridViewport tall{.width = 1000, .height = 800};
    // 800 - 30 header - 18 margins = 752 points for 24 hours: at least 31 each.
    EXPECT_EQ(metrics.availableHeight(tall), 752);
    EXPECT_EQ(metrics.clampHourHeight(10, tall), 31);
    EXPECT_EQ(metrics.clampHourHeight(50, tall), 50);
    EXPECT_EQ(metrics.fittedHourHeight(tall), 752.0 / 24);

    // Whatever the stored preference, the height ends within bounds.
    for (double stored : {1e9, -5.0, double(NAN), double(INFINITY), 0.0}) {
        SCOPED_TRACE(stored);
        const TimeGridPreferences damaged{.gridHourHeight = stored};
        const double h = metrics.clampHourHeight(
            TimeGridMetrics::defaultHourHeight(SizeClass::compact, damaged), tall);
        EXPECT_GE(h, 31);
        EXPECT_LE(h, 200);
    }
    EXPECT_EQ(metrics.clampHourHeight(1e9, tall), 200);
    EXPECT_EQ(metrics.clampHourHeight(NAN, tall), 31);

    // One hour on a tall window would need 752 points: the upper bound wins.
    metrics.startHour = 9;
    metrics.endHour = 10;
    EXPECT_EQ(metrics.clampHourHeight(50, tall), 200);

    // A fitted 8...20 band fills a tall window without scrolling.
    metrics.startHour = 8;
    metrics.endHour = 20;
    metrics.hourHeight = metrics.fittedHourHeight(tall);
    EXPECT_DOUBLE_EQ(metrics.hourHeight, 752.0 / 12);
    EXPECT_TRUE(metrics.contentFits(0, tall.height - metrics.headerHeight()));
    EXPECT_TRUE(metrics.showsFit({8, 20}, 0, metrics.hourHeight + 0.005));
    EXPECT_FALSE(metrics.showsFit({8, 20}, 0, metrics.hourHeight + 0.5));
    EXPECT_FALSE(metrics.showsFit({7, 20}, 0, metrics.hourHeight));
    EXPECT_FALSE(metrics.showsFit({8, 20}, 1, metrics.hourHeight));

    // A 16-hour band on a short window keeps hours 16 points tall and scrolls again.
    const TimeGridViewport shortWindow{.width = 1000, .height = 300, .bottomInset = 20};
    metrics.startHour = 6;
    metrics.endHour = 22;
    metrics.allDayRows = 2;
    metrics.hourHeight = metrics.fittedHourHeight(shortWindow);
    EXPECT_EQ(metrics.hourHeight, 16);
    const double scroller = shortWindow.height - metrics.headerHeight();
    EXPECT_GT(metrics.contentHeight(), scroller);
    EXPECT_FALSE(metrics.contentFits(shortWindow.bottomInset, scroller));
    EXPECT_EQ(metrics.maxVerticalOffset(shortWindow.bottomInset, scroller),
              18 + 16 * 16 + 20 - scroller);

    // A broken hour range still counts as one hour rather than dividing by zero.
    metrics.startHour = 12;
    metrics.endHour = 12;
    EXPECT_EQ(metrics.hourCount(), 1);
    EXPECT_TRUE(std::isfinite(metrics.fittedHourHeight(tall)));
}

TEST(TimeGridMetricsTest, AllDayRowsCollapsedAndExpanded) {
    struct Case {
        std::string name;
        int most;
        double columnWidth;
        double viewHeight;
        bool expanded;
        TimeGridAllDayRows expected;
    };
    const Case cases[] = {
        {"none", 0, 100, 800, false, {0, false}},
        {"fits in three", 3, 100, 800, false, {3, false}},
        {"more than three", 5, 100, 800, false, {3, true}},
        {"narrow columns allow two", 3, 79, 800, false, {2, true}},
        {"short window allows two", 3, 100, 499, false, {2, true}},
        {"expanded shows all", 5, 100, 800, true, {5, true}},
        {"expanded stops at ten", 14, 100, 800, true, {10, true}},
        {"negative count", -3, 100, 800, false, {0, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(
            TimeGridMetrics::neededAllDayRows(c.most, c.columnWidth, c.viewHeight, c.expanded),
            c.expected);
    }
}

TEST(TimeGridMetricsTest, VerticalOffsets) {
    const Calendar calendar = test::berlin();
    TimeGridMetrics metrics;

    // Today on the page: the hour before now at the top, 4 points lower; else 8:00 with 8
    // points above it.
    const DateComponents now = calendar.components(test::at(calendar, 2026, 3, 4, 10, 30));
    EXPECT_EQ(metrics.initialVerticalOffset(now), metrics.y(570) - 4);
    EXPECT_EQ(metrics.initialVerticalOffset(std::nullopt), metrics.y(480) - 8);

    // Programmatic offsets stay within the content.
    const double scroller = 600;
    const double most = metrics.maxVerticalOffset(34, scroller);
    EXPECT_EQ(most, metrics.contentHeight() + 34 - scroller);
    EXPECT_EQ(metrics.clampVerticalOffset(-10, 34, scroller), 0);
    EXPECT_EQ(metrics.clampVerticalOffset(1e9, 34, scroller), most);
    EXPECT_EQ(metrics.clampVerticalOffset(NAN, 34, scroller), 0);
    EXPECT_EQ(metrics.clampVerticalOffset(250, 34, scroller), 250);
    EXPECT_EQ(metrics.maxVerticalOffset(0, 5000), 0);

    // Early in the morning inside a fitted band the wish lies above the content; clamping
    // brings it to the top.
    metrics.startHour = 8;
    metrics.endHour = 20;
    metrics.hourHeight = 60;
    const double early =
        metrics.initialVerticalOffset(calendar.components(test::at(calendar, 2026, 3, 4, 7, 10)));
    EXPECT_LT(early, 0);
    EXPECT_EQ(metrics.clampVerticalOffset(early, 0, 300), 0);

    // Resizing keeps the minute at the top edge.
    const TimeGridMetrics before;
    TimeGridMetrics after;
    after.hourHeight = 80;
    EXPECT_EQ(after.offsetKeepingTopMinute(before.y(480), before), after.y(480));
    EXPECT_DOUBLE_EQ(after.minute(after.offsetKeepingTopMinute(333, before)), before.minute(333));
}

} // namespace
} // namespace plannery
