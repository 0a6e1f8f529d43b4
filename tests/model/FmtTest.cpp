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

TEST(FmtTest, DayKeysParseToTheStartOfTheirDay) {
    const Calendar berlin = test::berlin();
    const Instant march7 = test::at(berlin, 2026, 3, 7);
    const struct {
        const char* text;
        std::optional<Instant> day;
    } cases[] = {
        {"2026-03-07", march7},
        {"2026-3-7", march7},
        {"+2026-+3-07", march7},
        // Empty pieces are dropped, and so are pieces that are not numbers.
        {"2026--03-07-", march7},
        {"-2026-03-07", march7},
        {"day-2026-03-07", march7},
        {"0987-01-05", test::at(berlin, 987, 1, 5)},
        {"2026-03", std::nullopt},
        {"2026-03-07-1", std::nullopt},
        {"2026-03-07T10", std::nullopt},
        {"2026/03/07", std::nullopt},
        {" 2026-03-07", std::nullopt},
        {"2026-02-30", std::nullopt},
        {"2026-13-01", std::nullopt},
        {"2026-00-10", std::nullopt},
        {"0-03-07", std::nullopt},
        {"10000-01-01", std::nullopt},
        {"2026-99999999999999999999-07", std::nullopt},
        {"", std::nullopt},
        {"---", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Fmt::parseDayKey(c.text, berlin), c.day) << c.text;
    }
    EXPECT_EQ(Fmt::parseDayKey("2028-02-29", berlin), test::at(berlin, 2028, 2, 29));

    // The day starts at the first instant it has: São Paulo skipped midnight on 4 November 2018.
    const Calendar saoPaulo = test::calendarIn("America/Sao_Paulo");
    const auto skipped = Fmt::parseDayKey("2018-11-04", saoPaulo);
    ASSERT_TRUE(skipped);
    EXPECT_EQ(*skipped, saoPaulo.startOfDay(test::at(saoPaulo, 2018, 11, 4, 12)));
    EXPECT_EQ(saoPaulo.components(*skipped).hour, 1);
    EXPECT_EQ(Fmt::dayKey(*skipped, saoPaulo), "2018-11-04");

    // Every day of a year comes back from its key, across both clock changes.
    Instant day = test::at(berlin, 2026, 1, 1);
    for (int i = 0; i < 365; ++i) {
        ASSERT_EQ(Fmt::parseDayKey(Fmt::dayKey(day.plus(13 * 3600), berlin), berlin), day)
            << Fmt::dayKey(day, berlin);
        day = berlin.addDays(day, 1).value();
    }
}

} // namespace
} // namespace plannery
