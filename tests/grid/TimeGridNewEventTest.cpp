#include "grid/TimeGridNewEvent.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

TEST(TimeGridNewEvent, PressAndDragSelectWholeQuarterHoursInsideTheShownHours) {
    // A press at 9:07 proposes 9:00-10:00.
    const Instant day = test::at(test::berlin(), 2026, 3, 12);
    const auto pressed = TimeGridNewEvent::begin(day, 9 * 60 + 7, 0, 24);
    EXPECT_EQ(
        pressed,
        (TimeGridNewEvent{
            .day = day, .anchor = 540, .range = {.lower = 540, .upper = 600}, .moved = false}));
    // Moving inside the first slot changes nothing; leaving it selects slot to slot.
    EXPECT_EQ(pressed.dragged(9 * 60 + 14, 0, 24), pressed);
    const auto down = pressed.dragged(10 * 60 + 20, 0, 24);
    EXPECT_EQ(down.range, (Stretch{.lower = 540, .upper = 630}));
    EXPECT_TRUE(down.moved);
    // Back into the first slot after leaving it: just that slot.
    EXPECT_EQ(down.dragged(9 * 60 + 5, 0, 24).range, (Stretch{.lower = 540, .upper = 555}));
    // Upwards past the press point: from the pointer's slot to the press slot plus 15 minutes.
    EXPECT_EQ(pressed.dragged(7 * 60 + 50, 0, 24).range, (Stretch{.lower = 465, .upper = 555}));

    // In a band of 8-20 a press in the last quarter hour starts at 19:45 and is cut at 20:00;
    // presses outside the band are pulled into it.
    EXPECT_EQ(TimeGridNewEvent::begin(day, 19 * 60 + 50, 8, 20).range,
              (Stretch{.lower = 1185, .upper = 1200}));
    EXPECT_EQ(TimeGridNewEvent::begin(day, 23 * 60, 8, 20).range,
              (Stretch{.lower = 1185, .upper = 1200}));
    EXPECT_EQ(TimeGridNewEvent::begin(day, 60, 8, 20).range, (Stretch{.lower = 480, .upper = 540}));
    EXPECT_EQ(TimeGridNewEvent::begin(day, std::numeric_limits<double>::quiet_NaN(), 8, 20).anchor,
              480);
    // A band with no room still gives one slot.
    EXPECT_EQ(TimeGridNewEvent::begin(day, 600, 10, 10).range,
              (Stretch{.lower = 600, .upper = 615}));
}

TEST(TimeGridNewEvent, MinutesBecomeWallClockTimesOfTheColumnsDay) {
    const Calendar berlin = test::berlin();
    const Instant day = test::at(berlin, 2026, 3, 10);
    EXPECT_EQ(TimeGridNewEvent::instant(day, 9 * 60 + 30, berlin),
              test::at(berlin, 2026, 3, 10, 9, 30));
    EXPECT_EQ(TimeGridNewEvent::instant(day, 1440, berlin), test::at(berlin, 2026, 3, 11));

    // On the spring night the clocks go from 2:00 to 3:00: 2:30 does not exist, 3:00 is next.
    const Instant spring = test::at(berlin, 2026, 3, 29);
    EXPECT_EQ(TimeGridNewEvent::instant(spring, 150, berlin), test::at(berlin, 2026, 3, 29, 3, 0));
    EXPECT_EQ(TimeGridNewEvent::instant(spring, 180, berlin), test::at(berlin, 2026, 3, 29, 3, 0));
    EXPECT_EQ(TimeGridNewEvent::instant(spring, 1440, berlin), test::at(berlin, 2026, 3, 30));
    // In autumn 2:30 happens twice; the first is taken.
    const Instant autumn = test::at(berlin, 2026, 10, 25);
    const auto twice = TimeGridNewEvent::instant(autumn, 150, berlin);
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->seconds - autumn.seconds, 2.5 * 3600);

    EXPECT_EQ(TimeGridNewEvent::label(test::at(berlin, 2026, 3, 10, 9),
                                      test::at(berlin, 2026, 3, 10, 10, 30), berlin),
              "New Event\n9:00\u202fAM \u2013 10:30\u202fAM");
}

} // namespace
} // namespace plannery
