#include "grid/TimeGridPaging.h"

#include <gtest/gtest.h>

#include <limits>

namespace plannery {
namespace {

using TimeGridPaging::dragTarget;
using TimeGridPaging::Pager;

// Columns 100 points wide behind a 40-point gutter, 700 columns, pages of `dayCount`.
Pager pager(int dayCount) {
    return Pager{.gutterWidth = 40, .columnWidth = 100, .dayTotal = 700, .dayCount = dayCount};
}

// The offset that shows column `column` first.
double at(double column) {
    return column * 100 - 40;
}

TEST(TimeGridPaging, FlingsMoveOnePageOrFollowTheFlingWithinNineDays) {
    struct Case {
        const char* name;
        TimeGridSpan span;
        int perWeek;
        double offset;   // in columns
        double proposed; // in columns
        double velocity;
        int dragStart;
        int expected;
    };
    const Case cases[] = {
        {"three days, slow, nearer the start", TimeGridSpan::days(3), 7, 351.4, 360, 0.1, 350, 351},
        {"three days, slow, past the half", TimeGridSpan::days(3), 7, 351.6, 351.6, 0, 350, 352},
        {"three days, fling forward follows", TimeGridSpan::days(3), 7, 351.2, 355.4, 1.5, 350,
         355},
        {"three days, fling forward at least the next", TimeGridSpan::days(3), 7, 351.2, 351.1, 0.5,
         350, 352},
        {"three days, fling capped at nine", TimeGridSpan::days(3), 7, 352, 390, 4, 350, 359},
        {"three days, fling back capped", TimeGridSpan::days(3), 7, 348, 300, -4, 350, 341},
        {"three days, fling back at most the current", TimeGridSpan::days(3), 7, 349.7, 349.9, -0.5,
         350, 349},
        {"day, fling forward one page", TimeGridSpan::days(1), 7, 350.1, 370, 3, 350, 351},
        {"day, slow drag back past half", TimeGridSpan::days(1), 7, 349.4, 349.4, 0, 350, 349},
        {"week, fling forward one week", TimeGridSpan::week(), 7, 351, 420, 5, 350, 357},
        {"week, fling back one week", TimeGridSpan::week(), 7, 349, 280, -5, 350, 343},
        {"week, dragged two weeks, slow: one week", TimeGridSpan::week(), 7, 364, 364, 0, 350, 357},
        {"work week of five, fling forward", TimeGridSpan::workWeek(), 5, 250.5, 300, 1, 250, 255},
    };
    for (const Case& c : cases) {
        const int dayCount = c.span.dayCount(c.perWeek);
        EXPECT_EQ(dragTarget(c.span, c.perWeek, pager(dayCount), at(c.offset), at(c.proposed),
                             c.velocity, c.dragStart),
                  c.expected)
            << c.name;
    }
    // The strip's ends hold.
    EXPECT_EQ(dragTarget(TimeGridSpan::days(3), 7, pager(3), at(2), at(-50), -3, 5), 0);
    EXPECT_EQ(dragTarget(TimeGridSpan::week(), 7, pager(7), at(696), at(800), 3, 693), 693);
    // Nonsense from the toolkit gives a column inside the strip.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const int anywhere = dragTarget(TimeGridSpan::days(3), 7, pager(3), nan, nan, nan, 350);
    EXPECT_GE(anywhere, 0);
    EXPECT_LE(anywhere, 697);
    EXPECT_EQ(dragTarget(TimeGridSpan::week(), 7,
                         Pager{.gutterWidth = 40, .columnWidth = 0, .dayTotal = 700, .dayCount = 7},
                         0, 0, 0, 350),
              350);
}

TEST(TimeGridPaging, KeptColumnsStripBaseAndSmoothScrolls) {
    EXPECT_EQ(TimeGridPaging::keepRange({350, 356}, 7, 700), (TimeGridColumnRange{343, 363}));
    EXPECT_EQ(TimeGridPaging::keepRange({2, 4}, 3, 700), (TimeGridColumnRange{0, 7}));
    EXPECT_EQ(TimeGridPaging::keepRange({696, 699}, 3, 700), (TimeGridColumnRange{693, 699}));

    // The middle half of a strip of 700 is 175...525.
    EXPECT_EQ(TimeGridPaging::rebaseWeeks(175, 700, 7), 0);
    EXPECT_EQ(TimeGridPaging::rebaseWeeks(525, 700, 7), 0);
    EXPECT_EQ(TimeGridPaging::rebaseWeeks(140, 700, 7), -30);
    EXPECT_EQ(TimeGridPaging::rebaseWeeks(560, 700, 7), 30);
    EXPECT_EQ(TimeGridPaging::rebaseWeeks(100, 500, 5), -30);
    EXPECT_EQ(TimeGridPaging::rebaseWeeks(10, 700, 0), 0);

    // Within 14 columns for pages of days, 5 weeks for week pages, and away from the ends.
    EXPECT_TRUE(TimeGridPaging::scrollsThrough(TimeGridSpan::days(3), 7, pager(3), 364, 350));
    EXPECT_FALSE(TimeGridPaging::scrollsThrough(TimeGridSpan::days(3), 7, pager(3), 365, 350));
    EXPECT_TRUE(TimeGridPaging::scrollsThrough(TimeGridSpan::week(), 7, pager(7), 385, 350));
    EXPECT_FALSE(TimeGridPaging::scrollsThrough(TimeGridSpan::week(), 7, pager(7), 392, 350));
    EXPECT_TRUE(TimeGridPaging::scrollsThrough(TimeGridSpan::workWeek(), 5, pager(5), 275, 250));
    EXPECT_FALSE(TimeGridPaging::scrollsThrough(TimeGridSpan::workWeek(), 5, pager(5), 280, 250));
    EXPECT_FALSE(TimeGridPaging::scrollsThrough(TimeGridSpan::days(1), 7, pager(1), 2, 5));
    EXPECT_FALSE(TimeGridPaging::scrollsThrough(TimeGridSpan::days(1), 7, pager(1), 698, 690));
}

} // namespace
} // namespace plannery
