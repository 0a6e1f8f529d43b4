#include "finder/DurationReading.h"

#include <gtest/gtest.h>

namespace plannery::reader {
namespace {

TEST(DurationReadingTest, LengthsAfterTimes) {
    const auto lengths = [](const char* text) {
        std::vector<int> out;
        for (const DurationMention& d : readDurations(readLines(text)[0], TimeContext{})) {
            out.push_back(d.each ? -d.minutes : d.minutes);
        }
        return out;
    };
    EXPECT_EQ(lengths("It should take about 90 minutes."), std::vector<int>{90});
    EXPECT_EQ(lengths("09:00 English Paper 1   1h 45m   Hall"), std::vector<int>{105});
    EXPECT_EQ(lengths("09:00 History Paper 1   2h   Hall"), std::vector<int>{120});
    EXPECT_EQ(lengths("takes an hour"), std::vector<int>{60});
    EXPECT_EQ(lengths("1.5 hours"), std::vector<int>{90});
    EXPECT_EQ(lengths("Planen Sie bitte ca. 1,5 Stunden ein."), std::vector<int>{90});
    EXPECT_EQ(lengths("durée : 2,5 heures"), std::vector<int>{150});
    EXPECT_EQ(lengths("Show length 2 hrs 10 mins"), std::vector<int>{130});
    EXPECT_EQ(lengths("Appointments are 5 minutes each"), std::vector<int>{-5});
    EXPECT_EQ(lengths("All games 75 min."), std::vector<int>{-75});
    EXPECT_EQ(lengths("The tasting menu takes around two and a half hours."),
              std::vector<int>{150});
    EXPECT_EQ(lengths("zwei Stunden"), std::vector<int>{120});
    // Joined to its unit, unless it is a part of the length beside it.
    EXPECT_EQ(lengths("at 10.40am  (20-minute appointment)"), std::vector<int>{20});
    EXPECT_EQ(lengths("approximately 2 hours 15 minutes, including one 20-minute interval"),
              std::vector<int>{135});
    // Hours and minutes each with its letter; minutes alone in a column before a gap.
    EXPECT_EQ(lengths("Duration: 7h 38m"), std::vector<int>{458});
    EXPECT_EQ(lengths("1h 30m       Boardroom, Level 2"), std::vector<int>{90});
    EXPECT_EQ(lengths("45m       Ponsonby Road Dental"), std::vector<int>{45});
    // Whole hours so only where clocks have a 12-hour dial: "9h   Accueil" is a French
    // programme's time.
    const Line hour = readLines("1h         Ostro, 52 Tyler St")[0];
    const TimeContext twelveHour{.twelveHour = true};
    ASSERT_EQ(readDurations(hour, twelveHour).size(), 1u);
    EXPECT_EQ(readDurations(hour, twelveHour)[0].minutes, 60);
    EXPECT_TRUE(readTimes(hour, twelveHour).empty());
    const Line programme = readLines("9h         Accueil des participants")[0];
    EXPECT_TRUE(readDurations(programme, TimeContext{}).empty());
    EXPECT_EQ(readTimes(programme, TimeContext{}).size(), 1u);
    // Not the event's length.
    for (const char* text :
         {"arrive 10 minutes early", "at least 24 hours in advance", "30 minutes before curtain",
          "24 Stunden vorher", "tables for 15 minutes from", "50m Backstroke", "Rennen 1h30",
          "(please fast for 4 hours)", "bitte 6 Stunden nüchtern", "6 heures à jeun"}) {
        EXPECT_TRUE(lengths(text).empty()) << text;
    }
    // "2h" without a time before it is a French time, not a length.
    EXPECT_TRUE(lengths("à 2h").empty());
}

} // namespace
} // namespace plannery::reader
