#include "grid/TimeGridSettings.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plannery {
namespace {

using test::at;

TEST(TimeGridSettings, HourLabels) {
    const Calendar berlin = test::berlin();
    const Instant now = at(berlin, 2026, 3, 11, 10, 30);
    EXPECT_EQ(TimeGridSettings::hourLabel(0, now, berlin), "12\u202FAM");
    EXPECT_EQ(TimeGridSettings::hourLabel(8, now, berlin), "8\u202FAM");
    EXPECT_EQ(TimeGridSettings::hourLabel(13, now, berlin), "1\u202FPM");
    EXPECT_EQ(TimeGridSettings::hourLabel(24, now, berlin), "Midnight");

    // The hour is taken on today's date: on the day the clocks go forward, 2:00 does not exist
    // and reads as the hour after it.
    const Instant springForward = at(berlin, 2026, 3, 29, 12);
    EXPECT_EQ(TimeGridSettings::hourLabel(2, springForward, berlin), "3\u202FAM");

    // A 24-hour locale writes the hour its own way.
    const Calendar german = Calendar::make("Europe/Berlin", "de_DE").value();
    EXPECT_EQ(TimeGridSettings::hourLabel(20, now, german), "20 Uhr");
}

TEST(TimeGridSettings, StartAndEndHours) {
    EXPECT_EQ(TimeGridSettings::startHours().front(), 0);
    EXPECT_EQ(TimeGridSettings::startHours().back(), 23);
    EXPECT_EQ(TimeGridSettings::startHours().size(), 24u);
    // The end picker never offers an hour at or before the start.
    EXPECT_EQ(TimeGridSettings::endHours(20), (std::vector<int>{21, 22, 23, 24}));
    EXPECT_EQ(TimeGridSettings::endHours(23), (std::vector<int>{24}));
    EXPECT_EQ(TimeGridSettings::endHours(0).size(), 24u);

    const TimeGridPreferences stored{
        .gridHourHeight = 64, .gridFitHours = true, .gridFitStartHour = 8, .gridFitEndHour = 20};
    // A start before the end leaves the end alone; one at or after it pushes the end past it.
    const TimeGridPreferences early = TimeGridSettings::withStart(stored, 6);
    EXPECT_EQ(early.gridFitStartHour, 6);
    EXPECT_EQ(early.gridFitEndHour, 20);
    EXPECT_EQ(TimeGridSettings::withStart(stored, 20).gridFitEndHour, 21);
    const TimeGridPreferences late = TimeGridSettings::withStart(stored, 23);
    EXPECT_EQ(late.gridFitEndHour, 24);
    EXPECT_EQ(late.gridHourHeight, 64);
    EXPECT_TRUE(late.gridFitHours);

    // The pickers show the band the grid shows, even for an end stored at or before the start.
    EXPECT_EQ(TimeGridSettings::shownHours(stored), (TimeGridHourRange{8, 20}));
    const TimeGridPreferences damaged{.gridFitStartHour = 23, .gridFitEndHour = 5};
    EXPECT_EQ(TimeGridSettings::shownHours(damaged), (TimeGridHourRange{23, 24}));
}

TEST(TimeGridSettings, HourHeightStaysWithinTheZoomBounds) {
    const TimeGridPreferences stored;
    EXPECT_EQ(TimeGridSettings::withHourHeight(stored, 72.5).gridHourHeight, 72.5);
    EXPECT_EQ(TimeGridSettings::withHourHeight(stored, 3).gridHourHeight, 16);
    EXPECT_EQ(TimeGridSettings::withHourHeight(stored, 900).gridHourHeight, 200);
    // None chosen: the grid falls back to its own default.
    EXPECT_EQ(TimeGridSettings::withHourHeight(stored, 0).gridHourHeight, 0);
    EXPECT_EQ(TimeGridSettings::withHourHeight(stored, NAN).gridHourHeight, 0);
    EXPECT_EQ(TimeGridSettings::withHourHeight(stored, -40).gridHourHeight, 0);
    EXPECT_EQ(TimeGridSettings::withHourHeight(stored, 0).preferredHourHeight(), std::nullopt);
}

} // namespace
} // namespace plannery
