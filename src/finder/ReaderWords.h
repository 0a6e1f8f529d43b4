#pragma once

#include "model/Calendar.h"

#include <optional>
#include <string>
#include <string_view>

// The names the Built-in Reader knows dates by, taken from the locale data of English, German,
// French and the user's own language: months, weekdays and small numbers written as words. Keys
// are folded words (see FinderText::fold) without a final full stop.
namespace plannery::reader::Words {

// 1...12 for a month's name, its abbreviation, or a prefix of at least three letters that only
// one month's names share ("sept", "dez", "juil"); none otherwise.
std::optional<int> month(std::string_view key, const std::string& localeId);

struct WeekdayName {
    Weekday day = Weekday::monday;
    bool full = false; // the full name, as opposed to an abbreviation such as "Fri" or "Fr"
};
std::optional<WeekdayName> weekday(std::string_view key, const std::string& localeId);

// 1...31 written as a word: "seven", "sieben", "sept"; ordinals "first" ... "thirty-first".
std::optional<int> numberWord(std::string_view key, const std::string& localeId);
std::optional<int> ordinalWord(std::string_view key, const std::string& localeId);

// Whether a folded phrase is a country's name in English, German or French ("spain",
// "deutschland", "nouvelle-zelande").
bool isCountry(std::string_view phrase);

// Whether the locale writes numeric dates day first (31/12) rather than month first (12/31).
bool dayFirst(const std::string& localeId);
// Whether the locale's clock counts to 12 (with am and pm) rather than to 24.
bool twelveHourClock(const std::string& localeId);

} // namespace plannery::reader::Words
