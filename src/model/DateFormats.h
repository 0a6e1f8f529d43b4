#pragma once

#include "model/Instant.h"

#include <optional>
#include <string>
#include <string_view>

// Dates, times, ranges and zone names in the locale's words, from ICU formatters kept per thread
// (IcuCache). Every function gives empty text when ICU cannot build its formatter or the instant
// is not finite; an unknown zone is written as UTC.
namespace plannery::DateFormats {

// The locale's pattern for a skeleton such as "jmm" (UTF-8); empty when the locale gives none.
std::string bestPattern(std::string_view skeleton, const std::string& localeId);

// t written with a pattern ("HH:mm", "cccc") in the locale and zone.
std::string format(std::string_view pattern, Instant t, const std::string& localeId,
                   const std::string& zoneId);
// The same with the locale's best pattern for a skeleton.
std::string formatSkeleton(std::string_view skeleton, Instant t, const std::string& localeId,
                           const std::string& zoneId);

enum class DateStyle { none, medium };
enum class TimeStyle { none, shortStyle };
// The locale's fixed styles: medium date ("Dec 4, 2026") and short time ("9:00 AM").
std::string styled(DateStyle date, TimeStyle time, Instant t, const std::string& localeId,
                   const std::string& zoneId);
// t in the locale's short time style, without a date.
std::string shortTime(Instant t, const std::string& localeId, const std::string& zoneId);

// A range written by the locale's interval formatter with the fields of a skeleton ("yMMMEd").
std::string interval(std::string_view skeleton, Instant from, Instant to,
                     const std::string& localeId, const std::string& zoneId);
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

// Full weekday name for 1 = Sunday ... 7 = Saturday; full month name for 1 ... 12. Empty outside.
std::string weekdayName(int weekday, const std::string& localeId);
std::string monthName(int month, const std::string& localeId);

// The zone's offset from UTC in seconds at t; none for an unknown zone.
std::optional<int> zoneOffset(const std::string& zoneId, Instant t);
// The zone's long generic name ("Pacific Time"); empty when the locale has none for it.
std::string zoneGenericName(const std::string& zoneId, Instant t, const std::string& localeId);

} // namespace plannery::DateFormats
