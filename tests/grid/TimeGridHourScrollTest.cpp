#include "grid/TimeGridHourScroll.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

// A regular window of 1000 × 700 points with week columns of 130 points.
const TimeGridViewport kView{
    .width = 1000, .height = 700, .bottomInset = 0, .scale = 1, .sizeClass = SizeClass::regular};
const TimeGridWidths kWidths{
    .columnWidth = 130, .gutterWidth = 90, .dateRowHeight = 32, .monthOnFirstDay = true};

TEST(TimeGridHourScroll, TheFirstLayoutScrollsToNowOrEightAndLaterOnesKeepTheTopMinute) {
    TimeGridHourScroll hours;
    hours.setOffset(123); // before the first layout: kept for it
    hours.layout(kView, kWidths, {}, std::nullopt);
    EXPECT_EQ(hours.offset(), 123);
    EXPECT_EQ(hours.metrics().hourHeight, 56);

    TimeGridHourScroll today;
    DateComponents now{};
    now.hour = 10;
    now.minute = 30;
    today.layout(kView, kWidths, {}, now);
    EXPECT_EQ(today.offset(), today.metrics().y(570) - 4);
    TimeGridHourScroll other;
    other.layout(kView, kWidths, {}, std::nullopt);
    EXPECT_EQ(other.offset(), other.metrics().y(480) - 8);

    // Shorter: the minute at the top stays at the top.
    const double top = today.metrics().minute(today.offset());
    today.layout(TimeGridViewport{.width = 1000, .height = 500, .sizeClass = SizeClass::regular},
                 kWidths, {}, std::nullopt);
    EXPECT_NEAR(today.metrics().minute(today.offset()), top, 0.01);
    EXPECT_EQ(today.contentTop(), today.metrics().headerHeight() - today.offset());

    // Scrolling stays within the content.
    today.scrollBy(-1e6);
    EXPECT_EQ(today.offset(), 0);
    today.scrollBy(1e6);
    EXPECT_EQ(today.offset(), today.metrics().maxVerticalOffset(0, today.scrollerHeight()));
}

TEST(TimeGridHourScroll, FittedHoursFollowThePageAndAllHoursTheZoom) {
    TimeGridHourScroll hours;
    hours.setFitHours(TimeGridHourRange{.start = 8, .end = 20});
    hours.layout(kView, kWidths, {.mostAllDay = 0, .band = {.start = 7, .end = 20}}, std::nullopt);
    EXPECT_EQ(hours.metrics().startHour, 7);
    EXPECT_EQ(hours.metrics().endHour, 20);
    EXPECT_DOUBLE_EQ(hours.metrics().hourHeight, hours.metrics().fittedHourHeight(kView));
    // The same page again changes nothing; another band does.
    EXPECT_FALSE(hours.showPage({.mostAllDay = 0, .band = {.start = 7, .end = 20}}, false));
    EXPECT_TRUE(hours.showPage({.mostAllDay = 0, .band = {.start = 8, .end = 22}}, false));
    EXPECT_EQ(hours.metrics().endHour, 22);
    // No zoom and no hour height while fitted.
    EXPECT_FALSE(hours.beginZoom());
    hours.setHourHeight(120);
    EXPECT_NE(hours.metrics().hourHeight, 120);

    // All hours again: the whole day at the preferred height.
    EXPECT_TRUE(hours.setFitHours(std::nullopt));
    EXPECT_FALSE(hours.setFitHours(std::nullopt));
    EXPECT_EQ(hours.metrics().startHour, 0);
    EXPECT_EQ(hours.metrics().endHour, 24);
    EXPECT_EQ(hours.metrics().hourHeight, 120);

    // A pinch keeps the minute under the pointer; a height from elsewhere waits for its end.
    hours.setOffset(hours.metrics().y(12 * 60));
    ASSERT_TRUE(hours.beginZoom());
    const double pointer = 400;
    const double minute =
        hours.metrics().minute(hours.offset() + pointer - hours.metrics().headerHeight());
    EXPECT_TRUE(hours.zoom(0.5, pointer));
    EXPECT_EQ(hours.metrics().hourHeight, 60);
    EXPECT_NEAR(hours.metrics().minute(hours.offset() + pointer - hours.metrics().headerHeight()),
                minute, 0.5);
    hours.setHourHeight(150);
    EXPECT_EQ(hours.metrics().hourHeight, 60);
    EXPECT_EQ(hours.endZoom(), 60);
    EXPECT_EQ(hours.endZoom(), std::nullopt);
}

TEST(TimeGridHourScroll, AllDayRowsGrowWhilePagingAndExpandOnRequest) {
    TimeGridHourScroll hours;
    hours.layout(kView, kWidths, {.mostAllDay = 1}, std::nullopt);
    EXPECT_EQ(hours.metrics().allDayRows, 1);
    EXPECT_FALSE(hours.toggleAllDay()); // nothing hidden to show
    // Passing a busier day adds rows; a quieter one does not take them away until the page
    // comes to rest.
    EXPECT_TRUE(hours.growAllDayRows(2));
    EXPECT_FALSE(hours.growAllDayRows(0));
    EXPECT_EQ(hours.metrics().allDayRows, 2);
    EXPECT_TRUE(hours.showPage({.mostAllDay = 0}, false));
    EXPECT_EQ(hours.metrics().allDayRows, 0);
    // Six all-day events show three rows, the third saying how many more; expanded, all six.
    hours.showPage({.mostAllDay = 6}, false);
    EXPECT_EQ(hours.metrics().allDayRows, 3);
    EXPECT_TRUE(hours.chipsHidden());
    EXPECT_TRUE(hours.toggleAllDay());
    hours.showPage({.mostAllDay = 6}, false);
    EXPECT_EQ(hours.metrics().allDayRows, 6);
    EXPECT_TRUE(hours.allDayExpanded());
}

} // namespace
} // namespace plannery
