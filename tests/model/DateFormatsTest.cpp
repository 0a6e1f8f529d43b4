#include "model/DateFormats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

namespace plannery {
namespace {

// 2026-03-07T20:00:00Z
constexpr Instant kEvening{1772913600};

TEST(DateFormatsTest, FormatsInTheGivenZoneAndLocale) {
    EXPECT_EQ(DateFormats::format("HH:mm", kEvening, "de_DE", "Europe/Berlin"), "21:00");
    EXPECT_EQ(DateFormats::format("HH:mm", kEvening, "de_DE", "Asia/Tokyo"), "05:00")
        << "a formatter is kept per zone, not shared across zones";
    EXPECT_EQ(DateFormats::format("cccc", kEvening, "de_DE", "Europe/Berlin"), "Samstag");
    EXPECT_EQ(DateFormats::format("cccc", kEvening, "fr_FR", "Europe/Berlin"), "samedi");
    EXPECT_EQ(DateFormats::bestPattern("jmm", "de_DE"), "HH:mm");
    EXPECT_EQ(DateFormats::formatSkeleton("MMMd", kEvening, "en_US", "UTC"), "Mar 7");

    const auto symbols = DateFormats::amPmSymbols("en_US");
    EXPECT_EQ(symbols.am, "AM");
    EXPECT_EQ(symbols.pm, "PM");
}

TEST(DateFormatsTest, BadInputGivesAFallbackOrNothing) {
    EXPECT_EQ(DateFormats::format("HH:mm", kEvening, "de_DE", "Not/AZone"), "20:00")
        << "an unknown zone reads as UTC";
    EXPECT_EQ(DateFormats::format("HH:mm", kEvening, "xx_YY", "UTC"), "20:00")
        << "an unknown locale falls back to the root locale";
    EXPECT_EQ(DateFormats::format("HH:mm", Instant{std::nan("")}, "de_DE", "UTC"), "");
    EXPECT_EQ(DateFormats::shortTime(Instant{INFINITY}, "de_DE", "UTC"), "");
    EXPECT_EQ(DateFormats::timeInterval(kEvening, Instant{std::nan("")}, "de_DE", "UTC"), "");
}

TEST(DateFormatsTest, EachThreadHasItsOwnFormatters) {
    std::string fromOtherThread;
    std::thread other(
        [&] { fromOtherThread = DateFormats::shortTime(kEvening, "en_GB", "Europe/London"); });
    const std::string here = DateFormats::shortTime(kEvening, "en_GB", "Europe/London");
    other.join();
    EXPECT_EQ(here, "20:00");
    EXPECT_EQ(fromOtherThread, here);
}

} // namespace
} // namespace plannery
