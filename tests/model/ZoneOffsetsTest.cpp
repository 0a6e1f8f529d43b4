#include "model/ZoneOffsets.h"

#include <unicode/basictz.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <optional>
#include <string>

namespace plannery {
namespace {

constexpr double kDay = 86400;

std::unique_ptr<icu::TimeZone> zone(const std::string& id) {
    return std::unique_ptr<icu::TimeZone>(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id)));
}

// What ICU itself says, asked every time.
double wallOffset(const icu::TimeZone& zone, double wallSeconds) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0;
    int32_t dst = 0;
    dynamic_cast<const icu::BasicTimeZone&>(zone).getOffsetFromLocal(
        wallSeconds * 1000, UCAL_TZ_LOCAL_FORMER, UCAL_TZ_LOCAL_FORMER, raw, dst, status);
    return (raw + dst) / 1000.0;
}

double instantOffset(const icu::TimeZone& zone, double seconds) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0;
    int32_t dst = 0;
    zone.getOffset(seconds * 1000, false, raw, dst, status);
    return (raw + dst) / 1000.0;
}

// Every quarter hour of years with clock changes of an hour, of half an hour (Lord Howe), a
// skipped day (Apia, end of 2011), a zone that stopped changing (Istanbul, 2016), and a
// time before 1970, asked in an order that fills the remembered days out of turn: the same
// offsets as ICU gives, for written times in and around each change and for instants.
TEST(ZoneOffsets, GiveWhatTheZoneSaysAtEveryTimeAroundEveryChange) {
    const struct {
        const char* id;
        double from; // seconds since 1970
    } spans[] = {{"Europe/Berlin", 1767225600},       {"America/New_York", 1767225600},
                 {"Australia/Lord_Howe", 1767225600}, {"Pacific/Apia", 1293840000},
                 {"Europe/Istanbul", 1451606400},     {"Europe/London", -86400 * 400}};
    for (const auto& span : spans) {
        SCOPED_TRACE(span.id);
        const auto icu = zone(span.id);
        ZoneOffsets offsets(*icu);
        int mismatches = 0;
        for (int pass = 0; pass < 2; ++pass) {
            // Backwards first, then forwards over what is now remembered.
            for (int step = 0; step < 366 * 96; ++step) {
                const int quarter = pass == 0 ? 366 * 96 - 1 - step : step;
                const double t = span.from + quarter * 900.0 + (quarter % 7) * 60;
                mismatches += offsets.ofWall(t) != std::optional(wallOffset(*icu, t));
                mismatches += offsets.ofInstant(t) != std::optional(instantOffset(*icu, t));
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(ZoneOffsets, TimesOffTheLineHaveNoOffset) {
    const auto icu = zone("Europe/Berlin");
    ZoneOffsets offsets(*icu);
    EXPECT_EQ(offsets.ofWall(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
    EXPECT_EQ(offsets.ofInstant(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(offsets.ofInstant(0), 3600);
    EXPECT_EQ(offsets.ofWall(1767225600 + 181 * kDay), 7200); // 1 July 2026
}

} // namespace
} // namespace plannery
