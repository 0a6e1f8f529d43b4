#include "TestSupport.h"

#include "agenda/AgendaText.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::at;

CalEvent event(Instant start, Instant end, bool allDay = false) {
    return CalEvent{.id = "e",
                    .title = "Event",
                    .start = start,
                    .end = end,
                    .isAllDay = allDay,
                    .calendars = {CalendarRef{.id = "c"}}};
}

TEST(AgendaText, HeadingsAndBadges) {
    const Calendar cal = test::berlin();
    EXPECT_EQ(AgendaText::monthHeading(at(cal, 2025, 3, 9), cal), "March 2025");
    EXPECT_EQ(AgendaText::badgeWeekday(at(cal, 2026, 3, 9), cal), "MON");
    EXPECT_EQ(AgendaText::badgeWeekday(at(cal, 2026, 3, 14), cal), "SAT");

    const Calendar german = *Calendar::make("Europe/Berlin", "de_DE");
    EXPECT_EQ(AgendaText::monthHeading(at(german, 2025, 3, 9), german), "März 2025");
    EXPECT_EQ(AgendaText::badgeWeekday(at(german, 2026, 3, 9), german), "MO");
}

TEST(AgendaText, TimesReadAsTheDayOfTheSectionSeesThem) {
    const Calendar cal = test::berlin();
    const Instant monday = at(cal, 2026, 3, 9);
    const Instant tuesday = at(cal, 2026, 3, 10);
    const Instant wednesday = at(cal, 2026, 3, 11);

    const CalEvent meeting = event(at(cal, 2026, 3, 9, 9, 30), at(cal, 2026, 3, 9, 10, 45));
    EXPECT_EQ(AgendaText::timeText(meeting, monday, cal), "9:30\u202fAM \u2013 10:45\u202fAM");

    // Over midnight: the start and an arrow, then an arrow and the end.
    const CalEvent late = event(at(cal, 2026, 3, 9, 22), at(cal, 2026, 3, 10, 2));
    EXPECT_EQ(AgendaText::timeText(late, monday, cal), "10:00\u202fPM \u2192");
    EXPECT_EQ(AgendaText::timeText(late, tuesday, cal), "\u2192 2:00\u202fAM");

    // Three days: all day in the middle.
    const CalEvent trip = event(at(cal, 2026, 3, 9, 8), at(cal, 2026, 3, 11, 18));
    EXPECT_EQ(AgendaText::timeText(trip, monday, cal), "8:00\u202fAM \u2192");
    EXPECT_EQ(AgendaText::timeText(trip, tuesday, cal), "All day");
    EXPECT_EQ(AgendaText::timeText(trip, wednesday, cal), "\u2192 6:00\u202fPM");

    // Ending at midnight ends on the day it started: never "→ 12:00 AM" the next day.
    const CalEvent evening = event(at(cal, 2026, 3, 9, 20), tuesday);
    EXPECT_EQ(AgendaText::timeText(evening, monday, cal), "8:00\u202fPM \u2013 12:00\u202fAM");
    EXPECT_NE(AgendaText::timeText(evening, tuesday, cal), "\u2192 12:00\u202fAM");
    // No length at all: one time on both sides.
    const CalEvent reminder = event(at(cal, 2026, 3, 9, 7), at(cal, 2026, 3, 9, 7));
    EXPECT_EQ(AgendaText::timeText(reminder, monday, cal), "7:00\u202fAM \u2013 7:00\u202fAM");

    EXPECT_EQ(AgendaText::timeText(event(monday, wednesday, true), tuesday, cal), "All day");

    // 24-hour locales.
    const Calendar german = *Calendar::make("Europe/Berlin", "de_DE");
    EXPECT_EQ(AgendaText::timeText(late, monday, german), "22:00 \u2192");
}

} // namespace
} // namespace plannery
