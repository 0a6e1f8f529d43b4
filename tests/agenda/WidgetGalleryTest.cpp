#include "TestSupport.h"

#include "agenda/WidgetGallery.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::at;

TEST(WidgetGallery, FrozenClock) {
    const Calendar cal = test::berlin();
    const Instant now = at(cal, 2026, 3, 9, 10, 15);
    EXPECT_EQ(WidgetGallery::parseNow("2025-03-05 14:40", now, cal), at(cal, 2025, 3, 5, 14, 40));
    EXPECT_EQ(WidgetGallery::parseNow("9:05", now, cal), at(cal, 2026, 3, 9, 9, 5));
    EXPECT_EQ(WidgetGallery::parseNow("  2025-3-5\t7:00 ", now, cal), at(cal, 2025, 3, 5, 7));
    for (const char* bad : {"", "   ", "noon", "2025-03-05", "2025-13-05 14:40", "25:00", "9:60",
                            "x 9:00", "2025-03-05 14:40 extra", "9:05:00", "-1:30"}) {
        EXPECT_EQ(WidgetGallery::parseNow(bad, now, cal), std::nullopt) << bad;
    }
}

TEST(WidgetGallery, SampleEventsFollowTheHourWithinTheDay) {
    const Calendar cal = test::berlin();
    const auto early = WidgetGallery::sampleEvents(at(cal, 2026, 3, 9, 6), cal);
    ASSERT_EQ(early.size(), 9u);
    // At 06:00 they are placed as if it were 08:00: focus time from 07:30 for 90 minutes.
    EXPECT_EQ(early[0].title, "Focus time");
    EXPECT_EQ(early[0].start, at(cal, 2026, 3, 9, 7, 30));
    EXPECT_EQ(early[0].end, at(cal, 2026, 3, 9, 9));
    EXPECT_EQ(early[0].id, "sample-1");
    const auto late = WidgetGallery::sampleEvents(at(cal, 2026, 3, 9, 23), cal);
    EXPECT_EQ(late[3].title, "Gym");
    EXPECT_EQ(late[3].start, at(cal, 2026, 3, 9, 23, 30));
    EXPECT_TRUE(late[4].isAllDay);
    EXPECT_EQ(late[4].start, at(cal, 2026, 3, 10));
    EXPECT_EQ(late[4].end, at(cal, 2026, 3, 11));
    EXPECT_EQ(late[8].title, "Dinner");
    EXPECT_EQ(late[8].start, at(cal, 2026, 3, 11, 19, 30));
    for (const CalEvent& event : late) {
        EXPECT_FALSE(event.calendars.empty());
    }
}

TEST(WidgetGallery, PagesTimesAndCaptions) {
    EXPECT_EQ(WidgetGallery::page("lock"), WidgetGallery::Page::lock);
    EXPECT_EQ(WidgetGallery::page("anything"), WidgetGallery::Page::overview);
    EXPECT_EQ(WidgetGallery::pageName(WidgetGallery::Page::states), "states");
    const Calendar cal = test::berlin();
    const auto times = WidgetGallery::tileTimes(at(cal, 2026, 3, 9, 16), cal);
    ASSERT_EQ(times.size(), 5u);
    EXPECT_EQ(times[1], at(cal, 2026, 3, 9, 9, 35));
    EXPECT_EQ(times[4], at(cal, 2026, 3, 9, 21, 30));
    EXPECT_EQ(WidgetGallery::caption(times[3], cal), "Mon 2:40\u202fPM");
}

} // namespace
} // namespace plannery
