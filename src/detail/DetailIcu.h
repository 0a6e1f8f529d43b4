#pragma once

#include "model/Instant.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The ICU formatters behind the detail texts. Each is built once per thread, locale, zone and
// pattern and kept (ICU formatters are costly to build and not safe to share between threads).
// Every function gives empty text when ICU cannot build its formatter or the instant is not
// finite.
namespace plannery::DetailIcu {

// A range written by the locale's interval formatter with the fields of a skeleton ("yMMMEd").
std::string interval(std::string_view skeleton, Instant from, Instant to,
                     const std::string& localeId, const std::string& zoneId);

enum class DateStyle { none, medium };
enum class TimeStyle { none, shortStyle };
// The locale's fixed styles: medium date ("Dec 4, 2026") and short time ("9:00 AM").
std::string styled(DateStyle date, TimeStyle time, Instant t, const std::string& localeId,
                   const std::string& zoneId);

// "Monday, Wednesday, and Friday".
std::string list(const std::vector<std::string>& items, const std::string& localeId);
// 15 -> "15th" (English), "15." (German).
std::string ordinal(int n, const std::string& localeId);
// A count in the locale's digits and grouping.
std::string number(long long n, const std::string& localeId);

enum class DurationUnit { week, day, hour, minute };
struct DurationPart {
    DurationUnit unit = DurationUnit::minute;
    long long value = 0;
};
// "1 hour, 30 minutes", with wide unit names.
std::string duration(const std::vector<DurationPart>& parts, const std::string& localeId);

// Full weekday name for 1 = Sunday ... 7 = Saturday; full month name for 1 ... 12. Empty outside.
std::string weekdayName(int weekday, const std::string& localeId);
std::string monthName(int month, const std::string& localeId);

// The zone's offset from UTC in seconds at t; none for an unknown zone.
std::optional<int> zoneOffset(const std::string& zoneId, Instant t);
// The zone's long generic name ("Pacific Time"); empty when the locale has none for it.
std::string zoneGenericName(const std::string& zoneId, Instant t, const std::string& localeId);

// The first user-perceived character of a text, upper-cased without regard to locale.
std::string upperFirstCharacter(std::string_view text);

} // namespace plannery::DetailIcu
