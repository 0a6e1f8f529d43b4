#pragma once

#include "model/Instant.h"

#include <string>
#include <string_view>

// The ICU date formatters behind the time grid's texts. Building one costs far more than using
// it, and the grid formats the same few patterns for every tile and header, so each formatter is
// built once per thread, locale, zone and pattern and kept. ICU formatters are not safe to share
// between threads; each thread has its own cache.
namespace plannery::GridDateFormats {

// The locale's pattern for a skeleton such as "jmm" (UTF-8); empty when the locale gives none.
std::string bestPattern(std::string_view skeleton, const std::string& localeId);

// t written with a pattern ("HH:mm", "cccc") in the locale and zone; empty when ICU cannot build
// the formatter or the instant is not finite.
std::string format(std::string_view pattern, Instant t, const std::string& localeId,
                   const std::string& zoneId);
// The same with the locale's best pattern for a skeleton.
std::string formatSkeleton(std::string_view skeleton, Instant t, const std::string& localeId,
                           const std::string& zoneId);
// t in the locale's short time style, without a date.
std::string shortTime(Instant t, const std::string& localeId, const std::string& zoneId);
// The locale's range text from `from` to `to` for the short time style without a date (ICU adds
// the dates itself when the two fall on different days).
std::string timeInterval(Instant from, Instant to, const std::string& localeId,
                         const std::string& zoneId);

// The locale's AM and PM symbols, in that order.
struct DayPeriodSymbols {
    std::string am{};
    std::string pm{};
};
DayPeriodSymbols amPmSymbols(const std::string& localeId);

} // namespace plannery::GridDateFormats
