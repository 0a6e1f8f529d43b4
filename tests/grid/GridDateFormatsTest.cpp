#include "grid/GridDateFormats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

namespace plannery {
namespace {

// 2026-03-07T20:00:00Z
constexpr Instant kEvening{1772913600};

TEST(GridDateFormatsTest, FormatsInTheGivenZoneAndLocale) {
    EXPECT_EQ(GridDateFormats::format("HH:mm", kEvening, "de_DE", "Europe/Berlin"), "21:00");
    EXPECT_EQ(GridDateFormats::format("HH:mm", kEvening, "de_DE", "Asia/Tokyo"), "05:00")
        << "a formatter is kept per zone, not shared across zones";
    EXPECT_EQ(GridDateFormats::format("cccc", kEvening, "de_DE", "Europe/Berlin"), "Samstag");
    EXPECT_EQ(GridDateFormats::format("cccc", kEvening, "fr_FR", "Europe/Berlin"), "samedi");
    EXPECT_EQ(GridDateFormats::bestPattern("jmm", "de_DE"), "HH:mm");
    EXPECT_EQ(GridDateFormats::formatSkeleton("MMMd", kEvening, "en_US", "UTC"), "Mar 7");

    const auto symbols = GridDateFormats::amPmSymbols("en_US");
    EXPECT_EQ(symbols.am, "AM");
    EXPECT_EQ(symbols.pm, "PM");
}

TEST(GridDateFormatsTest, BadInputGivesAFallbackOrNothing) {
    EXPECT_EQ(GridDateFormats::format("HH:mm", kEvening, "de_DE", "Not/AZone"), "20:00")
        << "an unknown zone reads as UTC";
    EXPECT_EQ(GridDateFormats::format("HH:mm", kEvening, "xx_YY", "UTC"), "20:00")
        << "an unknown locale falls back to the root locale";
    EXPECT_EQ(GridDateFormats::format("HH:mm", Instant{std::nan("")}, "de_DE", "UTC"), "");
    EXPECT_EQ(GridDateFormats::shortTime(Instant{INFINITY}, "de_DE", "UTC"), "");
    EXPECT_EQ(GridDateFormats::timeInterval(kEvening, Instant{std::nan("")}, "de_DE", "UTC"), "");
}

TEST(GridDateFormatsTest, EachThreadHasItsOwnFormatters) {
    std::string fromOtherThread;
    std::thread other(
        [&] { fromOtherThread = GridDateFormats::shortTime(kEvening, "en_GB", "Europe/London"); });
    const std::string here = GridDateFormats::shortTime(kEvening, "en_GB", "Europe/London");
    other.join();
    EXPECT_EQ(here, "20:00");
    EXPECT_EQ(fromOtherThread, here);
}

} // namespace
} // namespace plannery
