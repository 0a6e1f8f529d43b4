#pragma once

#include <string>
#include <string_view>
#include <vector>

// Lists, counts, ordinals and durations in the locale's words, from ICU formatters kept per thread
// (IcuCache). Where ICU cannot build a formatter, lists are joined with commas and numbers written
// in ASCII digits.
namespace plannery::LocaleFormats {

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
// "1 hour, 30 minutes", with wide unit names; empty without parts or a formatter.
std::string duration(const std::vector<DurationPart>& parts, const std::string& localeId);

// The first user-perceived character of a text, upper-cased without regard to locale.
std::string upperFirstCharacter(std::string_view text);

} // namespace plannery::LocaleFormats
