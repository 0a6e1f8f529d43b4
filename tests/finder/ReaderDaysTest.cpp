#include "finder/ReaderDays.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

TEST(ReaderDaysTest, DaysAroundTodayInTheUsersCalendar) {
    const Calendar tokyo = test::calendarIn("Asia/Tokyo");
    // 23:30 in Berlin on Thursday 3 December is already Friday in Tokyo.
    const ReaderDays days(tokyo, test::at(test::berlin(), 2026, 12, 3, 23, 30));
    EXPECT_EQ(days.today(), (DayParts{2026, 12, 4}));
    EXPECT_EQ(days.weekday(days.today()), Weekday::friday);
    EXPECT_EQ(days.plusDays(DayParts{2026, 12, 31}, 1), (DayParts{2027, 1, 1}));
    EXPECT_EQ(days.plusDays(DayParts{2026, 3, 1}, -1), (DayParts{2026, 2, 28}));
    EXPECT_EQ(days.next(Weekday::friday, days.today(), false), (DayParts{2026, 12, 4}));
    EXPECT_EQ(days.next(Weekday::friday, days.today(), true), (DayParts{2026, 12, 11}));
    EXPECT_EQ(days.next(Weekday::monday, days.today(), false), (DayParts{2026, 12, 7}));
    EXPECT_TRUE(days.exists(DayParts{2028, 2, 29}));
    EXPECT_FALSE(days.exists(DayParts{2026, 2, 29}));
    EXPECT_FALSE(days.exists(DayParts{2026, 4, 31}));
    EXPECT_FALSE(days.exists(DayParts{0, 1, 1}));
    EXPECT_EQ(days.weekday(DayParts{2026, 2, 30}), std::nullopt);
    EXPECT_EQ(ReaderDays::key(DayParts{2026, 3, 7}), "2026-03-07");
    EXPECT_LT(ReaderDays::compare(DayParts{2026, 3, 7}, DayParts{2026, 3, 8}), 0);
    EXPECT_EQ(ReaderDays::compare(DayParts{2026, 3, 7}, DayParts{2026, 3, 7}), 0);

    // Days step through a change of clocks as calendar days.
    const Calendar calendar = test::berlin();
    const ReaderDays berlin(calendar, test::at(calendar, 2026, 3, 28, 12, 0));
    EXPECT_EQ(berlin.plusDays(berlin.today(), 1), (DayParts{2026, 3, 29}));
    EXPECT_EQ(berlin.plusDays(berlin.today(), 2), (DayParts{2026, 3, 30}));
}

} // namespace
} // namespace plannery::reader
