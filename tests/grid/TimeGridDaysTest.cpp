#include "grid/TimeGridDays.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace plannery {
namespace {

Calendar calendarFor(std::string_view zone, std::string_view locale,
                     std::optional<Weekday> firstWeekday = std::nullopt) {
    return Calendar::make(zone, locale, firstWeekday).value();
}

TEST(TimeGridDaysTest, SpansCompareByCaseAndCount) {
    EXPECT_EQ(TimeGridSpan::days(3), TimeGridSpan::days(3));
    EXPECT_NE(TimeGridSpan::days(3), TimeGridSpan::days(1));
    EXPECT_NE(TimeGridSpan::days(7), TimeGridSpan::week());
    EXPECT_NE(TimeGridSpan::week(), TimeGridSpan::workWeek());
    EXPECT_EQ(TimeGridSpan::workWeek(), TimeGridSpan::workWeek());

    EXPECT_EQ(TimeGridSpan::days(3).dayCount(5), 3);
    EXPECT_EQ(TimeGridSpan::days(0).dayCount(5), 1);
    EXPECT_EQ(TimeGridSpan::week().dayCount(5), 7);
    EXPECT_EQ(TimeGridSpan::workWeek().dayCount(5), 5);
    EXPECT_EQ(TimeGridSpan::workWeek().dayCount(6), 6);

    EXPECT_EQ(TimeGridSpan::days(3).pagingStep(7), 1);
    EXPECT_EQ(TimeGridSpan::week().pagingStep(7), 7);
    EXPECT_EQ(TimeGridSpan::workWeek().pagingStep(5), 5);
}

TEST(TimeGridDaysTest, WeekGridCountsBothWaysFromItsBase) {
    const Calendar calendar = test::berlin(); // weeks start on Monday
    const Instant monday = test::at(calendar, 2026, 3, 2);
    for (TimeGridSpan span : {TimeGridSpan::week(), TimeGridSpan::days(3)}) {
        const TimeGridDays days = TimeGridDays::make(calendar, monday, span);
        EXPECT_EQ(days.perWeek(), 7);
        EXPECT_EQ(days.date(0), monday);
        EXPECT_EQ(days.date(6), test::at(calendar, 2026, 3, 8));
        EXPECT_EQ(days.date(7), test::at(calendar, 2026, 3, 9));
        EXPECT_EQ(days.date(-1), test::at(calendar, 2026, 3, 1));
        EXPECT_EQ(days.date(-8), test::at(calendar, 2026, 2, 22));
        EXPECT_EQ(days.position(test::at(calendar, 2026, 2, 22, 18)),
                  (TimeGridPosition{.week = -2, .offset = 6}));
        EXPECT_EQ(days.index(test::at(calendar, 2026, 2, 22, 18)), -8);
        EXPECT_EQ(days.exactIndex(test::at(calendar, 2026, 3, 9, 23, 59)), 7);
    }
}

TEST(TimeGridDaysTest, WorkWeekSkipsTheWeekendAndCountsBackByWeeks) {
    const Calendar calendar = test::berlin();
    const Instant monday = test::at(calendar, 2026, 3, 2);
    const TimeGridDays days = TimeGridDays::make(calendar, monday, TimeGridSpan::workWeek());
    EXPECT_EQ(days.offsets, (std::vector<int>{0, 1, 2, 3, 4}));

    EXPECT_EQ(days.date(4), test::at(calendar, 2026, 3, 6));   // Friday
    EXPECT_EQ(days.date(5), test::at(calendar, 2026, 3, 9));   // next Monday
    EXPECT_EQ(days.date(-1), test::at(calendar, 2026, 2, 27)); // the Friday before
    EXPECT_EQ(days.date(-5), test::at(calendar, 2026, 2, 23));
    EXPECT_EQ(days.date(-6), test::at(calendar, 2026, 2, 20));

    const Instant saturday = test::at(calendar, 2026, 3, 7, 11);
    EXPECT_EQ(days.index(saturday), 5);
    EXPECT_FALSE(days.exactIndex(saturday).has_value());
    EXPECT_EQ(days.index(test::at(calendar, 2026, 3, 1, 9)), 0); // Sunday before the base
    EXPECT_EQ(days.exactIndex(test::at(calendar, 2026, 2, 27, 9)), -1);

    // A week that starts on Sunday keeps Monday...Friday as offsets 1...5.
    const Calendar sundayFirst = calendarFor("Europe/Berlin", "en_US", Weekday::sunday);
    EXPECT_EQ(TimeGridDays::workDayOffsets(sundayFirst, test::at(sundayFirst, 2026, 3, 1)),
              (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(TimeGridDaysTest, LocalesWithOtherWeekends) {
    // Israel rests on Friday and Saturday; its weeks start on Sunday.
    const Calendar israel = calendarFor("Asia/Jerusalem", "he_IL");
    ASSERT_EQ(israel.firstWeekday(), Weekday::sunday);
    const Instant wednesday = test::at(israel, 2026, 3, 11, 15);
    const Instant sunday = TimeGridDays::weekStart(wednesday, israel);
    EXPECT_EQ(sunday, test::at(israel, 2026, 3, 8));
    EXPECT_EQ(TimeGridDays::workDayOffsets(israel, sunday), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(TimeGridDays::workDaysPerWeek(israel, wednesday), 5);

    const TimeGridDays days = TimeGridDays::make(israel, sunday, TimeGridSpan::workWeek());
    const Instant friday = test::at(israel, 2026, 3, 13, 10);
    const Instant saturday = test::at(israel, 2026, 3, 14, 10);
    EXPECT_EQ(days.index(saturday), 5);
    EXPECT_EQ(days.date(5), test::at(israel, 2026, 3, 15)); // the following Sunday
    EXPECT_EQ(days.index(friday), 5);
    EXPECT_FALSE(days.exactIndex(saturday).has_value());
    EXPECT_FALSE(days.exactIndex(friday).has_value());
    EXPECT_EQ(days.exactIndex(test::at(israel, 2026, 3, 12, 10)), 4); // Thursday

    // Iran rests on Friday only and starts its weeks on Saturday: six work days.
    const Calendar iran = calendarFor("Asia/Tehran", "fa_IR");
    const Instant tehranSaturday = TimeGridDays::weekStart(test::at(iran, 2026, 3, 11), iran);
    EXPECT_EQ(iran.weekday(tehranSaturday), Weekday::saturday);
    EXPECT_EQ(TimeGridDays::workDayOffsets(iran, tehranSaturday),
              (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(TimeGridDays::workDaysPerWeek(iran, test::at(iran, 2026, 3, 11)), 6);
}

// Every day of 2026 in zones with clock changes gets exactly one column, and the column shows
// that day. The base lies mid-year, so half of the indexes are negative.
TEST(TimeGridDaysTest, EveryDayOfAYearRoundTripsThroughItsColumn) {
    for (const char* zone : {"Europe/Berlin", "America/New_York"}) {
        const Calendar calendar = test::calendarIn(zone);
        const Instant base = TimeGridDays::weekStart(test::at(calendar, 2026, 6, 17), calendar);
        for (TimeGridSpan span :
             {TimeGridSpan::days(1), TimeGridSpan::week(), TimeGridSpan::workWeek()}) {
            SCOPED_TRACE(zone);
            const TimeGridDays days = TimeGridDays::make(calendar, base, span);
            Instant day = test::at(calendar, 2026, 1, 1);
            int previous = days.index(day) - 1;
            for (int n = 0; n < 365; ++n) {
                const int column = days.index(day);
                if (days.exactIndex(day)) {
                    ASSERT_EQ(*days.exactIndex(day), column);
                    ASSERT_EQ(days.date(column), day) << n;
                    ASSERT_EQ(column, previous + 1) << n;
                    previous = column;
                } else {
                    // A weekend day has no column and points at Monday's.
                    ASSERT_EQ(span, TimeGridSpan::workWeek());
                    ASSERT_EQ(calendar.weekday(days.date(column)), Weekday::monday);
                    ASSERT_EQ(column, previous + 1);
                }
                // Any time of the day gives the same column.
                ASSERT_EQ(days.index(day.plus(22 * 3600)), column) << n;
                day = calendar.addDays(day, 1).value();
            }
        }
    }

    // The clock-change days themselves: one column each, noon at 12:00 on the wall clock.
    const Calendar berlin = test::berlin();
    const TimeGridDays week =
        TimeGridDays::make(berlin, test::at(berlin, 2026, 3, 23), TimeGridSpan::week());
    EXPECT_EQ(week.index(test::at(berlin, 2026, 3, 29, 23, 30)), 6);
    EXPECT_EQ(week.index(test::at(berlin, 2026, 3, 30, 0, 30)), 7);
    EXPECT_EQ(week.date(6), test::at(berlin, 2026, 3, 29));
    const Instant autumnNoon = TimeGridDays::noon(test::at(berlin, 2026, 10, 25, 23, 59), berlin);
    EXPECT_EQ(berlin.components(autumnNoon).hour, 12);
    EXPECT_EQ(berlin.components(autumnNoon).day, 25);
    const Calendar newYork = test::calendarIn("America/New_York");
    EXPECT_EQ(newYork.components(TimeGridDays::noon(test::at(newYork, 2026, 3, 8), newYork)).hour,
              12);
}

TEST(TimeGridDaysTest, OutlandishInputsStaySafe) {
    const Calendar calendar = test::berlin();
    const Instant monday = test::at(calendar, 2026, 3, 2);
    const TimeGridDays days = TimeGridDays::make(calendar, monday, TimeGridSpan::workWeek());
    EXPECT_TRUE(std::isfinite(days.date(INT_MAX).seconds));
    EXPECT_TRUE(std::isfinite(days.date(INT_MIN).seconds));
    EXPECT_EQ(days.index(Instant{NAN}), 0);
    EXPECT_EQ(days.position(Instant{INFINITY}), TimeGridPosition{});

    // Offsets left empty count as the whole week rather than dividing by zero.
    const TimeGridDays empty{.calendar = calendar, .base = monday, .offsets = {}};
    EXPECT_EQ(empty.perWeek(), 7);
    EXPECT_EQ(empty.date(-1), test::at(calendar, 2026, 3, 1));
    EXPECT_EQ(empty.index(test::at(calendar, 2026, 3, 10)), 8);
}

} // namespace
} // namespace plannery
