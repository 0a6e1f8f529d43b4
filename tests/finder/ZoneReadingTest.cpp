#include "finder/ZoneReading.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

std::optional<std::string> zoneIn(const char* text, std::size_t at = 0) {
    const auto zone = zoneAt(readLines(text)[0], at);
    return zone ? std::optional(zone->zone) : std::nullopt;
}

TEST(ZoneReadingTest, AbbreviationsOffsetsNamesAndCities) {
    const struct {
        const char* text;
        std::optional<std::string> zone;
    } cases[] = {
        {"ET", "America/New_York"},
        {"(EDT)", "America/New_York"},
        {"PST", "America/Los_Angeles"},
        {"CET", "Europe/Paris"},
        {"MESZ", "Europe/Berlin"},
        {"KST (UTC+9)", "Asia/Seoul"},
        {"UTC+9", "Etc/GMT-9"},
        {"GMT-05:00", "Etc/GMT+5"},
        {"UTC+05:30", "GMT+05:30"},
        // An invitation's standard offset gives way to the zone it names.
        {"(UTC-08:00) Pacific Time (US & Canada)", "America/Los_Angeles"},
        {"(UTC+01:00) Amsterdam, Berlin, Bern, Rome", "Etc/GMT-1"},
        {"London time", "Europe/London"},
        {"New York time", "America/New_York"},
        {"(Eastern Time - New York)", "America/New_York"},
        {"Pacific Standard Time", "America/Los_Angeles"},
        {"Central European Summer Time", "Europe/Paris"},
        {"heure de Paris", "Europe/Paris"},
        // A region's time without its "time", when no name goes on.
        {"Pacific", "America/Los_Angeles"},
        {"Eastern / 7am Pacific", "America/New_York"},
        {"(Central)", "America/Chicago"},
        {"Central Library", std::nullopt},
        {"pacific", std::nullopt},
        // Words that only look like zones.
        {"et", std::nullopt},
        {"Pt", std::nullopt},
        {"London", std::nullopt},
        {"IST-Zustand", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(zoneIn(c.text), c.zone) << c.text;
    }
}

TEST(ZoneReadingTest, ZonesForAllTimes) {
    EXPECT_EQ(zoneForAllTimes(readLines("All times Pacific (PT)")[0]), "America/Los_Angeles");
    EXPECT_EQ(zoneForAllTimes(readLines("Times are KST (UTC+9)")[0]), "Asia/Seoul");
    EXPECT_EQ(zoneForAllTimes(readLines("Alle Zeiten in MEZ")[0]), "Europe/Berlin");
    EXPECT_EQ(zoneForAllTimes(readLines("(all times local)")[0]), std::nullopt);
    EXPECT_EQ(zoneForAllTimes(readLines("ET phone home")[0]), std::nullopt);
    // Local times are each on their place's clock, whatever zone a later sentence names.
    EXPECT_EQ(zoneForAllTimes(readLines("All times are LOCAL. The UK is on BST; France is one hour "
                                        "ahead (CEST).")[0]),
              std::nullopt);
    EXPECT_EQ(zoneForAllTimes(readLines("Alle Zeiten sind Ortszeiten. In Finnland gilt OESZ.")[0]),
              std::nullopt);
}

} // namespace
} // namespace plannery::reader
