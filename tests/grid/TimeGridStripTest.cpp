#include "grid/TimeGridStrip.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace plannery {
namespace {

TEST(TimeGridStripTest, StripSizeFollowsTheColumnWidth) {
    struct Case {
        double columnWidth;
        int weeks;
    };
    const Case cases[] = {{20, 120},  {100, 120}, {297, 120}, {298, 119}, {1000, 35},
                          {2976, 12}, {2900, 12}, {3000, 12}, {0, 120},   {NAN, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.columnWidth);
        EXPECT_EQ(TimeGridStrip::weeksFor(c.columnWidth), c.weeks);
    }

    const Calendar calendar = test::berlin();
    const Instant wednesday = test::at(calendar, 2026, 3, 11, 15);
    const Instant monday = test::at(calendar, 2026, 3, 9);
    struct Strip {
        TimeGridSpan span;
        double columnWidth;
        int dayTotal;
        int anchorPage;
    };
    const Strip strips[] = {
        {TimeGridSpan::week(), 20, 1680, 840},     {TimeGridSpan::week(), 100, 1680, 840},
        {TimeGridSpan::week(), 3000, 168, 84},     {TimeGridSpan::workWeek(), 100, 1200, 600},
        {TimeGridSpan::workWeek(), 3000, 120, 60}, {TimeGridSpan::days(3), 100, 1680, 842},
        {TimeGridSpan::days(1), 1000, 490, 247},
    };
    for (const Strip& s : strips) {
        SCOPED_TRACE(s.columnWidth);
        const TimeGridStrip strip =
            TimeGridStrip::around(wednesday, calendar, s.span, s.columnWidth);
        EXPECT_EQ(strip.dayTotal, s.dayTotal);
        EXPECT_EQ(strip.anchorPage, s.anchorPage);
        EXPECT_EQ(strip.contentWidth, s.columnWidth * s.dayTotal);
        // The strip starts on a week start and has the anchor's week in its middle.
        EXPECT_EQ(calendar.weekday(strip.days.base), Weekday::monday);
        EXPECT_EQ(strip.days.date(strip.anchorPage - strip.anchorPage % strip.days.perWeek()),
                  monday);
    }

    // A Saturday anchor of a work week opens the following week's page.
    const TimeGridStrip weekend = TimeGridStrip::around(test::at(calendar, 2026, 3, 14, 10),
                                                        calendar, TimeGridSpan::workWeek(), 100);
    EXPECT_EQ(weekend.anchorPage, 605);
    EXPECT_EQ(weekend.days.date(605), test::at(calendar, 2026, 3, 16));
}

TEST(TimeGridStripTest, PagesAlignToWeekStarts) {
    EXPECT_EQ(TimeGridStrip::aligned(13, TimeGridSpan::week(), 7), 7);
    EXPECT_EQ(TimeGridStrip::aligned(14, TimeGridSpan::week(), 7), 14);
    EXPECT_EQ(TimeGridStrip::aligned(-1, TimeGridSpan::week(), 7), -7);
    EXPECT_EQ(TimeGridStrip::aligned(13, TimeGridSpan::workWeek(), 5), 10);
    EXPECT_EQ(TimeGridStrip::aligned(-5, TimeGridSpan::workWeek(), 5), -5);
    EXPECT_EQ(TimeGridStrip::aligned(-6, TimeGridSpan::workWeek(), 5), -10);
    EXPECT_EQ(TimeGridStrip::aligned(13, TimeGridSpan::days(3), 7), 13);
    EXPECT_EQ(TimeGridStrip::aligned(INT_MIN, TimeGridSpan::week(), 7), INT_MIN);
    EXPECT_EQ(TimeGridStrip::aligned(13, TimeGridSpan::week(), 0), 13); // damaged count: 1
}

TEST(TimeGridStripTest, SnappingAndVisibleColumns) {
    const double gutter = 48;
    const double column = 100;
    // Showing a page start first and snapping back gives the same page.
    for (int page : {0, 7, 14, 840, -7}) {
        EXPECT_EQ(TimeGridStrip::nearestIndex(TimeGridStrip::offsetShowing(page, column, gutter),
                                              gutter, column, 7),
                  page);
    }
    const double start = TimeGridStrip::offsetShowing(7, column, gutter);
    EXPECT_EQ(TimeGridStrip::nearestIndex(start + 340, gutter, column, 7), 7);
    EXPECT_EQ(TimeGridStrip::nearestIndex(start + 360, gutter, column, 7), 14);
    EXPECT_EQ(TimeGridStrip::nearestIndex(start + 340, gutter, column, 1), 10);
    EXPECT_EQ(TimeGridStrip::nearestIndex(start - 260, gutter, column, 5), 5);
    EXPECT_EQ(TimeGridStrip::nearestIndex(start, gutter, 0, 7), 0);
    EXPECT_EQ(TimeGridStrip::nearestIndex(NAN, gutter, column, 7), 0);

    // A page of seven columns right of the gutter.
    const double scroller = gutter + 7 * column;
    EXPECT_EQ(TimeGridStrip::visibleRange(start, scroller, gutter, column, 1680),
              (TimeGridColumnRange{7, 13}));
    // Half a column further, the next column peeks in.
    EXPECT_EQ(TimeGridStrip::visibleRange(start + 50, scroller, gutter, column, 1680),
              (TimeGridColumnRange{7, 14}));
    // Hairline overlaps of half a point do not count.
    EXPECT_EQ(TimeGridStrip::visibleRange(start + 99.6, scroller, gutter, column, 1680),
              (TimeGridColumnRange{8, 14}));
    // Past either end of the strip.
    EXPECT_EQ(TimeGridStrip::visibleRange(-5000, scroller, gutter, column, 1680),
              (TimeGridColumnRange{0, 0}));
    EXPECT_EQ(TimeGridStrip::visibleRange(1e7, scroller, gutter, column, 1680),
              (TimeGridColumnRange{1679, 1679}));
    EXPECT_EQ(TimeGridStrip::visibleRange(start, scroller, gutter, column, 10),
              (TimeGridColumnRange{7, 9}));
    // Nonsense gives a range inside the strip.
    EXPECT_EQ(TimeGridStrip::visibleRange(NAN, scroller, gutter, column, 1680),
              (TimeGridColumnRange{0, 0}));
    EXPECT_EQ(TimeGridStrip::visibleRange(start, scroller, gutter, 0, 1680),
              (TimeGridColumnRange{1679, 1679}));
    EXPECT_EQ(TimeGridStrip::visibleRange(start, scroller, gutter, column, 0),
              (TimeGridColumnRange{0, 0}));
}

} // namespace
} // namespace plannery
