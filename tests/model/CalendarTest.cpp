#include "model/Calendar.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace plannery {
namespace {

TEST(CalendarTest, DaysOfTwentyThreeAndTwentyFiveHours) {
    const Calendar calendar = test::berlin();
    // Clocks go forward on 2026-03-29 and back on 2026-10-25 in Berlin.
    const Instant spring = test::at(calendar, 2026, 3, 29, 12);
    const auto springDay = calendar.dayInterval(spring).value();
    EXPECT_EQ(springDay.end.since(springDay.start), 23 * 3600);
    const Instant autumn = test::at(calendar, 2026, 10, 25, 12);
    const auto autumnDay = calendar.dayInterval(autumn).value();
    EXPECT_EQ(autumnDay.end.since(autumnDay.start), 25 * 3600);

    // Stepping day by day across both changes always lands on midnight.
    Instant day = calendar.startOfDay(test::at(calendar, 2026, 3, 27));
    for (int i = 0; i < 220; ++i) {
        day = calendar.addDays(day, 1).value();
        const DateComponents c = calendar.components(day);
        ASSERT_EQ(c.hour, 0);
        ASSERT_EQ(c.minute, 0);
    }
    EXPECT_EQ(calendar.components(day).month, 11);
    EXPECT_EQ(calendar.components(day).day, 2);
    EXPECT_EQ(calendar.addDays(day, -220).value(),
              calendar.startOfDay(test::at(calendar, 2026, 3, 27)));
}

TEST(CalendarTest, ZonesThatSkipMidnightAndWallTimes) {
    // Santiago moved its clocks from 24:00 to 01:00 on 2026-09-06: that day starts at 01:00.
    const Calendar santiago = test::calendarIn("America/Santiago");
    const Instant dayStart = santiago.startOfDay(test::at(santiago, 2026, 9, 6, 12));
    EXPECT_EQ(santiago.components(dayStart).hour, 1);
    EXPECT_EQ(santiago.components(santiago.addDays(dayStart, -1).value()).day, 5);

    const Calendar newYork = test::calendarIn("America/New_York");
    // 02:30 does not exist on 2026-03-08; it moves forward by the gap.
    EXPECT_EQ(newYork.components(test::at(newYork, 2026, 3, 8, 2, 30)).hour, 3);
    // 01:30 happens twice on 2026-11-01; the first is taken (daylight time, UTC-4).
    EXPECT_EQ(newYork.utcOffsetSeconds(test::at(newYork, 2026, 11, 1, 1, 30)), -4 * 3600);
}

long civilDay(const Calendar& calendar, Instant t) {
    const DateComponents c = calendar.components(t);
    return std::chrono::sys_days(std::chrono::year(c.year) / std::chrono::month(unsigned(c.month)) /
                                 std::chrono::day(unsigned(c.day)))
        .time_since_epoch()
        .count();
}

// Day after day the intervals tile the time line and start at midnight, also in zones whose
// clocks jump at midnight (Santiago), by half an hour (Lord Howe Island), or skip a whole day
// (Apia left out 30 December 2011).
TEST(CalendarTest, DaysTileTheTimeLineInEveryZone) {
    for (const char* zone :
         {"Europe/Berlin", "America/Santiago", "Australia/Lord_Howe", "Pacific/Apia"}) {
        const Calendar calendar = test::calendarIn(zone);
        auto day = calendar.dayInterval(test::at(calendar, 2011, 1, 1, 12)).value();
        int skippedDays = 0;
        for (int i = 0; i < 2 * 366; ++i) {
            ASSERT_LT(day.start, day.end) << zone;
            const Instant noonish = day.start.plus(day.end.since(day.start) / 2);
            ASSERT_EQ(calendar.dayInterval(noonish), day) << zone;
            ASSERT_EQ(calendar.dayInterval(day.end.plus(-1))->start, day.start) << zone;
            const DateComponents first = calendar.components(day.start);
            if (first.hour != 0) {
                // Only a day whose midnight was skipped starts later, at the end of the gap.
                EXPECT_EQ(std::string(zone), "America/Santiago");
                EXPECT_EQ(first.hour, 1);
            }
            const auto next = calendar.dayInterval(day.end).value();
            ASSERT_EQ(next.start, day.end) << zone;
            // A day on is the next tile, a day back the one before, from any time of the day.
            ASSERT_EQ(calendar.addDays(noonish, 1), next.start) << zone;
            ASSERT_EQ(calendar.addDays(next.start, -1), day.start) << zone;
            // Weeks and months of days on land on the day as many wall-clock days on; across
            // Apia's skipped day, as many days that took place there.
            for (const int n : {7, 45, -400}) {
                const Instant later = calendar.addDays(day.start, n).value();
                ASSERT_EQ(calendar.startOfDay(later), later) << zone;
                const long days = civilDay(calendar, later) - civilDay(calendar, day.start);
                ASSERT_TRUE(days == n || (std::string(zone) == "Pacific/Apia" &&
                                          std::abs(days) == std::abs(n) + 1))
                    << zone << " " << n << " " << days;
            }
            skippedDays += int(civilDay(calendar, next.start) - civilDay(calendar, day.start)) - 1;
            day = next;
        }
        EXPECT_EQ(skippedDays, std::string(zone) == "Pacific/Apia" ? 1 : 0) << zone;
    }
    const Calendar apia = test::calendarIn("Pacific/Apia");
    const auto before = apia.dayInterval(test::at(apia, 2011, 12, 29, 12)).value();
    EXPECT_EQ(apia.components(before.end).day, 31);
}

TEST(CalendarTest, MonthWeekAndWeekend) {
    const Calendar calendar = test::berlin();
    const auto february = calendar.monthInterval(test::at(calendar, 2028, 2, 17)).value();
    EXPECT_EQ(february.start, test::at(calendar, 2028, 2, 1));
    EXPECT_EQ(february.end, test::at(calendar, 2028, 3, 1));

    // The test calendar's weeks start on Monday; 2026-12-06 is a Sunday.
    const auto week = calendar.weekInterval(test::at(calendar, 2026, 12, 6, 18)).value();
    EXPECT_EQ(week.start, test::at(calendar, 2026, 11, 30));
    EXPECT_EQ(week.end, test::at(calendar, 2026, 12, 7));
    EXPECT_TRUE(calendar.isWeekend(test::at(calendar, 2026, 12, 6, 10)));
    EXPECT_FALSE(calendar.isWeekend(test::at(calendar, 2026, 12, 7, 10)));
    EXPECT_EQ(calendar.weekday(test::at(calendar, 2026, 12, 6)), Weekday::sunday);

    EXPECT_EQ(calendar.addMonths(test::at(calendar, 2026, 1, 31, 9), 1).value(),
              test::at(calendar, 2026, 2, 28, 9));
    EXPECT_FALSE(Calendar::make("Mars/Olympus_Mons").has_value());
}

TEST(CalendarTest, LocalizedStandardComparison) {
    const Calendar calendar = test::berlin();
    EXPECT_LT(calendar.compareLocalized("Room 9", "Room 10"), 0);
    EXPECT_EQ(calendar.compareLocalized("standup", "Standup"), 0);
    EXPECT_LT(calendar.compareLocalized("apple", "Banana"), 0);
    EXPECT_LT(calendar.compareLocalized("Ärzte", "Bäcker"), 0);
    EXPECT_GT(calendar.compareLocalized("Zoo", "zebra"), 0);
}

// Days are Gregorian back to the year 1, as calendar files count them: 4 October 1582 is eleven
// days before the 15th, not one, and 1 March 1500 is 1 March.
TEST(CalendarTest, ProlepticGregorianDays) {
    const auto utc = Calendar::make("UTC", "en_US").value();
    const auto march = utc.date(1500, 3, 1).value();
    EXPECT_EQ(march.seconds, -14826672000.0);
    EXPECT_EQ(utc.components(march).day, 1);
    EXPECT_EQ(utc.components(march).month, 3);
    const auto before = utc.date(1582, 10, 4).value();
    EXPECT_EQ(utc.date(1582, 10, 15).value().since(before), 11 * 86400.0);
    EXPECT_EQ(utc.components(utc.addDays(before, 1).value()).day, 5);
    EXPECT_EQ(utc.components(utc.date(1, 1, 1).value()).year, 1);
}

} // namespace
} // namespace plannery
