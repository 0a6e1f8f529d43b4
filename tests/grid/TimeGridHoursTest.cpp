#include "grid/TimeGridHours.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace plannery {
namespace {

CalEvent timed(const std::string& id, Instant start, Instant end) {
    return CalEvent{.id = id, .title = id, .start = start, .end = end};
}

CalEvent allDay(const std::string& id, Instant start, Instant end) {
    return CalEvent{.id = id, .title = id, .start = start, .end = end, .isAllDay = true};
}

TEST(TimeGridHoursTest, FittedBandHoldsTheWishedHoursAndEveryTimedEvent) {
    const Calendar calendar = test::berlin();
    const auto at = [&](int month, int day, int hour, int minute = 0) {
        return test::at(calendar, 2026, month, day, hour, minute);
    };
    const Instant tuesday = at(3, 10, 0);
    const TimeGridHourRange work{8, 20};

    struct Case {
        std::string name;
        std::vector<CalEvent> events;
        TimeGridHourRange expected;
    };
    const Case cases[] = {
        {"no events", {}, {8, 20}},
        {"inside the band", {timed("a", at(3, 10, 9), at(3, 10, 17))}, {8, 20}},
        {"starts at 06:30", {timed("a", at(3, 10, 6, 30), at(3, 10, 7))}, {6, 20}},
        {"ends at 20:01", {timed("a", at(3, 10, 19), at(3, 10, 20, 1))}, {8, 21}},
        {"zero length at 21:00 counts one minute",
         {timed("a", at(3, 10, 21), at(3, 10, 21))},
         {8, 22}},
        {"ten minutes from 23:55", {timed("a", at(3, 10, 23, 55), at(3, 11, 0, 5))}, {8, 24}},
        {"night before into the morning", {timed("a", at(3, 9, 22), at(3, 10, 5))}, {0, 20}},
        {"exactly a day from 10:00", {timed("a", at(3, 10, 10), at(3, 11, 10))}, {8, 20}},
        {"thirty hours", {timed("a", at(3, 9, 18), at(3, 11, 0))}, {8, 20}},
        {"all-day events are not timed", {allDay("a", at(3, 10, 0), at(3, 11, 0))}, {8, 20}},
        {"several events",
         {timed("a", at(3, 10, 7), at(3, 10, 8)), timed("b", at(3, 10, 19), at(3, 10, 21, 30))},
         {7, 22}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TimeGridHours::range({{.day = tuesday, .events = c.events}}, work, calendar),
                  c.expected);
    }

    // Every day of the page counts.
    const std::vector<TimeGridDayEvents> page{
        {.day = at(3, 9, 0), .events = {timed("a", at(3, 9, 10), at(3, 9, 11))}},
        {.day = tuesday, .events = {timed("b", at(3, 10, 2), at(3, 10, 3))}},
        {.day = at(3, 11, 0), .events = {timed("c", at(3, 11, 22, 15), at(3, 11, 22, 45))}},
    };
    EXPECT_EQ(TimeGridHours::range(page, work, calendar), (TimeGridHourRange{2, 23}));
    EXPECT_EQ(TimeGridHours::fitted(work, page, calendar), (TimeGridHourRange{2, 23}));
    EXPECT_EQ(TimeGridHours::fitted(std::nullopt, page, calendar), TimeGridHourRange::wholeDay());

    // A wished band that ends before it starts holds its first hour only.
    EXPECT_EQ(TimeGridHours::range({}, {23, 5}, calendar), (TimeGridHourRange{23, 24}));
}

TEST(TimeGridHoursTest, WholeDaySegmentsOnShortDaysDoNotWiden) {
    // 2026-03-29 has 23 hours in Berlin: midnight to midnight is shorter than a day, but its
    // segment covers the whole column and must not stretch the band.
    const Calendar calendar = test::berlin();
    const Instant spring = test::at(calendar, 2026, 3, 29);
    const Instant next = test::at(calendar, 2026, 3, 30);
    const TimeGridHourRange work{8, 20};
    EXPECT_EQ(TimeGridHours::range({{.day = spring, .events = {timed("a", spring, next)}}}, work,
                                   calendar),
              work);
    // An hour short of that, it is an ordinary event that runs to 23:00.
    EXPECT_EQ(
        TimeGridHours::range(
            {{.day = spring, .events = {timed("a", spring, test::at(calendar, 2026, 3, 29, 23))}}},
            work, calendar),
        (TimeGridHourRange{0, 23}));
}

TEST(TimeGridHoursTest, MostAllDayEventsOfAPage) {
    const Calendar calendar = test::berlin();
    const Instant monday = test::at(calendar, 2026, 3, 9);
    const Instant tuesday = test::at(calendar, 2026, 3, 10);
    const Instant wednesday = test::at(calendar, 2026, 3, 11);
    const std::vector<TimeGridDayEvents> page{
        {.day = monday,
         .events = {allDay("a", monday, tuesday), allDay("b", monday, wednesday),
                    timed("c", monday.plus(3600), monday.plus(7200))}},
        {.day = tuesday,
         .events = {allDay("b", monday, wednesday), allDay("d", tuesday, wednesday),
                    allDay("e", tuesday, wednesday)}},
        {.day = wednesday, .events = {}},
    };
    EXPECT_EQ(TimeGridHours::mostAllDayEvents(page), 3);
    EXPECT_EQ(TimeGridHours::mostAllDayEvents({}), 0);
}

TEST(TimeGridHoursTest, PreferencesGiveASensibleFitRange) {
    struct Case {
        std::string name;
        TimeGridPreferences preferences;
        std::optional<TimeGridHourRange> expected;
    };
    const Case cases[] = {
        {"defaults", {}, TimeGridHourRange{8, 20}},
        {"fitting off", {.gridFitHours = false}, std::nullopt},
        {"end before start",
         {.gridFitStartHour = 23, .gridFitEndHour = 5},
         TimeGridHourRange{23, 24}},
        {"negative start", {.gridFitStartHour = -4, .gridFitEndHour = 3}, TimeGridHourRange{0, 3}},
        {"beyond the day",
         {.gridFitStartHour = 30, .gridFitEndHour = 40},
         TimeGridHourRange{23, 24}},
        {"extremes",
         {.gridFitStartHour = INT_MIN, .gridFitEndHour = INT_MAX},
         TimeGridHourRange{0, 24}},
        {"inverted extremes",
         {.gridFitStartHour = INT_MAX, .gridFitEndHour = INT_MIN},
         TimeGridHourRange{23, 24}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.preferences.fitRange(), c.expected);
    }

    EXPECT_EQ(TimeGridPreferences{}.preferredHourHeight(), std::nullopt);
    EXPECT_EQ(TimeGridPreferences{.gridHourHeight = -5}.preferredHourHeight(), std::nullopt);
    EXPECT_EQ(TimeGridPreferences{.gridHourHeight = NAN}.preferredHourHeight(), std::nullopt);
    EXPECT_EQ(TimeGridPreferences{.gridHourHeight = 64}.preferredHourHeight(), 64);
}

} // namespace
} // namespace plannery
