#include "model/ZoneOffsets.h"

#include <unicode/basictz.h>
#include <unicode/timezone.h>
#include <unicode/tztrans.h>

#include <cmath>
#include <limits>

namespace plannery {

namespace {

constexpr double kMillis = 1000.0;
constexpr double kDay = 86400.0;
// Days remembered per zone before starting afresh: decades of browsing, a few hundred kilobytes.
constexpr std::size_t kKeptDays = 20000;

} // namespace

double ZoneOffsets::steady(std::int64_t day) {
    if (const auto found = m_days.find(day); found != m_days.end()) {
        return found->second;
    }
    double offset = std::numeric_limits<double>::quiet_NaN();
    // Every offset is under a day, so the instants of the day's written times, and the day taken
    // as instants, lie in the day with one day either side. Without a change there, one offset
    // serves them all.
    if (const auto* basic = dynamic_cast<const icu::BasicTimeZone*>(m_zone)) {
        const double first = (double(day) - 1) * kDay * kMillis;
        const double last = (double(day) + 2) * kDay * kMillis;
        icu::TimeZoneTransition change;
        if (!basic->getNextTransition(first, true, change) || change.getTime() > last) {
            UErrorCode status = U_ZERO_ERROR;
            int32_t raw = 0;
            int32_t dst = 0;
            m_zone->getOffset(first, false, raw, dst, status);
            if (U_SUCCESS(status)) {
                offset = (raw + dst) / kMillis;
            }
        }
    }
    if (m_days.size() >= kKeptDays) {
        m_days.clear();
    }
    m_days.emplace(day, offset);
    return offset;
}

std::optional<double> ZoneOffsets::ofWall(double wallSeconds) {
    if (!std::isfinite(wallSeconds)) {
        return std::nullopt;
    }
    if (const double known = steady(std::int64_t(std::floor(wallSeconds / kDay)));
        !std::isnan(known)) {
        return known;
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0;
    int32_t dst = 0;
    if (const auto* basic = dynamic_cast<const icu::BasicTimeZone*>(m_zone)) {
        basic->getOffsetFromLocal(wallSeconds * kMillis, UCAL_TZ_LOCAL_FORMER, UCAL_TZ_LOCAL_FORMER,
                                  raw, dst, status);
    } else {
        m_zone->getOffset(wallSeconds * kMillis, true, raw, dst, status);
    }
    return U_FAILURE(status) ? std::nullopt : std::optional((raw + dst) / kMillis);
}

std::optional<double> ZoneOffsets::ofInstant(double seconds) {
    if (!std::isfinite(seconds)) {
        return std::nullopt;
    }
    if (const double known = steady(std::int64_t(std::floor(seconds / kDay))); !std::isnan(known)) {
        return known;
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0;
    int32_t dst = 0;
    m_zone->getOffset(seconds * kMillis, false, raw, dst, status);
    return U_FAILURE(status) ? std::nullopt : std::optional((raw + dst) / kMillis);
}

} // namespace plannery
