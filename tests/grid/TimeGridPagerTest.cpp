#include "grid/TimeGridPager.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plannery {
namespace {

using test::at;

constexpr double kColumn = 100;
constexpr double kGutter = 50;

TimeGridPagerGeometry geometry(int dayCount, double column = kColumn) {
    return TimeGridPagerGeometry{.columnWidth = column,
                                 .gutterWidth = kGutter,
                                 .width = kGutter + column * dayCount,
                                 .dayCount = dayCount};
}

TEST(TimeGridPager, PagesStartWhereTheirSpanSays) {
    const Calendar cal = test::berlin();
    const Instant wednesday = at(cal, 2026, 3, 11, 15);
    EXPECT_EQ(TimeGridPager(TimeGridSpan::week(), cal).pageOf(wednesday), at(cal, 2026, 3, 9));
    EXPECT_EQ(TimeGridPager(TimeGridSpan::days(3), cal).pageOf(wednesday), at(cal, 2026, 3, 11));
    // A Saturday in a work week belongs to the next one.
    TimeGridPager work(TimeGridSpan::workWeek(), cal);
    EXPECT_EQ(work.pageOf(at(cal, 2026, 3, 14)), at(cal, 2026, 3, 16));

    // Laid out on a day, the pager rests on its page, the page's first column right of the
    // gutter; the columns on screen are its days.
    work.reset(geometry(5), at(cal, 2026, 3, 14));
    EXPECT_EQ(work.page(), at(cal, 2026, 3, 16));
    EXPECT_TRUE(work.isSnapped());
    const std::vector<TimeGridColumnPlace> columns = work.visibleColumns();
    ASSERT_EQ(columns.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(columns[i].day, at(cal, 2026, 3, 16 + i));
        EXPECT_DOUBLE_EQ(columns[i].left, kGutter + kColumn * i);
    }
    EXPECT_EQ(work.pageDays(work.page()).back(), at(cal, 2026, 3, 20));
    EXPECT_TRUE(work.pageHolds(work.page(), at(cal, 2026, 3, 20, 18)));
    EXPECT_FALSE(work.pageHolds(work.page(), at(cal, 2026, 3, 21)));
    EXPECT_FALSE(work.pageHolds(work.page(), at(cal, 2026, 3, 23)));
    // The weekend has no column; the next week's Monday follows Friday.
    EXPECT_EQ(work.leftOf(at(cal, 2026, 3, 21)), std::nullopt);
    EXPECT_EQ(work.columnAt(kGutter + kColumn * 5 + 1)->day, at(cal, 2026, 3, 23));
    EXPECT_EQ(work.columnAt(kGutter + 150)->left, kGutter + kColumn);
    EXPECT_EQ(work.leftOf(at(cal, 2026, 3, 18)), kGutter + 2 * kColumn);
    // A page on each side is kept ready.
    EXPECT_EQ(work.keptDays().size(), 15u);
    EXPECT_EQ(work.keptDays().front(), at(cal, 2026, 3, 9));
}

TEST(TimeGridPager, DragsComeToRestOnPages) {
    const Calendar cal = test::berlin();
    TimeGridPager week(TimeGridSpan::week(), cal);
    week.reset(geometry(7), at(cal, 2026, 3, 11));
    const double rest = week.offset();

    // More than half a page: the nearest page is the next one, reported while dragging.
    week.beginDrag();
    EXPECT_TRUE(week.dragBy(kColumn * 4));
    EXPECT_EQ(week.page(), at(cal, 2026, 3, 16));
    EXPECT_FALSE(week.isSnapped());
    TimeGridPagerStop stop = week.endDrag(0);
    EXPECT_EQ(stop,
              (TimeGridPagerStop{.page = at(cal, 2026, 3, 16), .offset = rest + 7 * kColumn}));
    EXPECT_FALSE(week.isDragging());
    EXPECT_EQ(week.settle(), rest + 7 * kColumn);
    week.setOffset(stop.offset);
    EXPECT_EQ(week.settle(), std::nullopt);

    // A short drag back with a fling moves a page back; a slow one springs back.
    week.beginDrag();
    week.dragBy(-kColumn);
    EXPECT_EQ(week.endDrag(-1).page, at(cal, 2026, 3, 9));
    week.setOffset(stop.offset);
    week.beginDrag();
    week.dragBy(-kColumn);
    EXPECT_EQ(week.endDrag(-0.1).page, at(cal, 2026, 3, 16));

    // Three days follow a fling, at most nine columns from where the drag began.
    TimeGridPager three(TimeGridSpan::days(3), cal);
    three.reset(geometry(3), at(cal, 2026, 3, 11));
    three.beginDrag();
    three.dragBy(kColumn * 2.2);
    EXPECT_EQ(three.endDrag(50).page, at(cal, 2026, 3, 20));
    // Offsets stay within the strip, whatever is asked.
    EXPECT_FALSE(three.setOffset(std::nan("")));
    three.setOffset(-1e12);
    EXPECT_EQ(three.offset(), -kGutter);
}

TEST(TimeGridPager, SlidesNearbyAndPagesAYearWithTheDatesRight) {
    const Calendar cal = test::berlin();
    TimeGridPager week(TimeGridSpan::week(), cal);
    week.reset(geometry(7), at(cal, 2026, 1, 5));
    // A page away: a slide, whose target is the page from its start.
    const std::optional<double> slide = week.slideTo(week.pagedDay(1));
    ASSERT_TRUE(slide);
    EXPECT_TRUE(week.isSliding());
    EXPECT_EQ(week.page(), at(cal, 2026, 1, 12));
    EXPECT_EQ(week.pagedDay(1), at(cal, 2026, 1, 19)); // paging on goes from the target
    week.setOffset(*slide);
    week.endSlide();
    EXPECT_EQ(week.settle(), std::nullopt);
    // Two years away is too far to slide: the caller builds the strip again around it.
    EXPECT_EQ(week.slideTo(at(cal, 2028, 1, 5)), std::nullopt);

    // A year of pages on wide columns, whose strip is short (twelve weeks each side): the strip
    // moves its first day back to the middle every few pages, and every page still shows its
    // own dates, a week apart across the clock changes.
    week.reset(geometry(7, 3000), week.page());
    for (int i = 0; i < 52; ++i) {
        const Instant next = week.pagedDay(1);
        const std::optional<double> to = week.slideTo(next);
        ASSERT_TRUE(to) << i;
        week.setOffset(*to);
        week.endSlide();
        EXPECT_EQ(week.settle(), std::nullopt);
        EXPECT_EQ(week.page(), next);
        EXPECT_EQ(week.columnAt(kGutter + 1)->day, next);
        EXPECT_DOUBLE_EQ(*week.leftOf(next), kGutter);
        EXPECT_EQ(week.visibleColumns().size(), 7u);
        EXPECT_EQ(cal.components(week.visibleColumns().back().day).hour, 0);
    }
    EXPECT_EQ(week.page(), at(cal, 2027, 1, 11));

    // Three days page three days at a time.
    TimeGridPager three(TimeGridSpan::days(3), cal);
    three.reset(geometry(3), at(cal, 2026, 3, 28));
    EXPECT_EQ(three.pagedDay(1), at(cal, 2026, 3, 31));
    EXPECT_EQ(three.pagedDay(-2), at(cal, 2026, 3, 22));
}

} // namespace
} // namespace plannery
