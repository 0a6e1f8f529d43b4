#include "model/Fmt.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

TEST(FmtTest, DayKeyIsTheDayInTheCalendarsZone) {
    const Calendar berlin = test::berlin();
    const Calendar utc = test::calendarIn("UTC");
    const Calendar tokyo = test::calendarIn("Asia/Tokyo");
    const struct {
        const char* name;
        Instant t;
        const Calendar& calendar;
        const char* key;
    } cases[] = {
        {"last minute of a Berlin day", test::at(berlin, 2026, 3, 7, 23, 59), berlin, "2026-03-07"},
        {"Berlin midnight", test::at(berlin, 2026, 3, 8, 0, 0), berlin, "2026-03-08"},
        // The same instant, 23:00 on the 7th in UTC, is already the 8th in Berlin.
        {"Berlin midnight seen in UTC", test::at(berlin, 2026, 3, 8, 0, 0), utc, "2026-03-07"},
        {"new year in Tokyo, old year in UTC", test::at(tokyo, 2027, 1, 1, 5, 0), tokyo,
         "2027-01-01"},
        {"the same instant in UTC", test::at(tokyo, 2027, 1, 1, 5, 0), utc, "2026-12-31"},
        {"spring-forward day", test::at(berlin, 2026, 3, 29, 12, 0), berlin, "2026-03-29"},
        {"a year padded to four digits", test::at(utc, 987, 1, 5, 12, 0), utc, "0987-01-05"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Fmt::dayKey(c.t, c.calendar), c.key) << c.name;
    }
}

} // namespace
} // namespace plannery
