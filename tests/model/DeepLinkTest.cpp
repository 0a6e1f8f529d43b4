#include "model/DeepLink.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

TEST(DeepLinkTest, TheLinkToADayNamesItsDayInTheCalendarsZone) {
    const Calendar berlin = test::berlin();
    EXPECT_EQ(DeepLink::day(test::at(berlin, 2026, 3, 7, 23, 30), berlin),
              "plannery://day/2026-03-07");
    // 00:30 in Berlin is still the evening before in UTC.
    EXPECT_EQ(DeepLink::day(test::at(berlin, 2026, 3, 8, 0, 30), test::calendarIn("UTC")),
              "plannery://day/2026-03-07");
    const Instant day = test::at(berlin, 2026, 12, 31);
    EXPECT_EQ(DeepLink::parse(DeepLink::day(day.plus(3600), berlin), berlin), day);
}

TEST(DeepLinkTest, OnlyDayLinksOfThisAppOpenADay) {
    const Calendar berlin = test::berlin();
    const Instant march7 = test::at(berlin, 2026, 3, 7);
    const struct {
        const char* url;
        std::optional<Instant> day;
    } cases[] = {
        {"plannery://day/2026-03-07", march7},
        {"plannery://day/2026-3-7", march7},
        {"plannery://day/2026-03-07/", march7},
        {"PLANNERY://Day/2026-03-07", march7},
        {"plannery://day/2026-03-07?from=widget#row", march7},
        // The day is the last component of the path.
        {"plannery://day/older/2026-03-07", march7},
        {"plannery://day/2026%2D03%2D07", march7},
        {"plannery://week/2026-03-07", std::nullopt},
        {"plannery://days/2026-03-07", std::nullopt},
        {"https://day/2026-03-07", std::nullopt},
        {"plannery:day/2026-03-07", std::nullopt},
        {"plannery://day/", std::nullopt},
        {"plannery://day", std::nullopt},
        {"plannery://day/2026-03", std::nullopt},
        {"plannery://day/2026-02-30", std::nullopt},
        {"plannery://day/2026%2", std::nullopt},
        {"plannery://2026-03-07", std::nullopt},
        {"", std::nullopt},
        {"plannery", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeepLink::parse(c.url, berlin), c.day) << c.url;
    }
    // The same link in another zone opens the same calendar day there.
    const Calendar tokyo = test::calendarIn("Asia/Tokyo");
    EXPECT_EQ(DeepLink::parse("plannery://day/2026-03-07", tokyo), test::at(tokyo, 2026, 3, 7));
}

} // namespace
} // namespace plannery
