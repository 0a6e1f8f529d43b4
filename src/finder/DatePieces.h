#pragma once

#include "finder/ReaderText.h"
#include "finder/ReaderWords.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The pieces dates are written with, each read at one token of a line: a day ("15", "15th",
// "15.", "fifteenth"), a month's name, a year, a weekday's name, a numeric date (2026-03-14,
// 14.03.2026, 3/7), and the words right beside them that make a number a date or join two days
// into a span. What a day's whole sentence says of it is read in DaySentences.
namespace plannery::reader {

struct Found {
    int value = 0;
    std::size_t next = 0;
    bool marked = false; // a day written as an ordinal ("15th", "15.", "fifteenth")
};

std::optional<Found> dayAt(const Line& line, std::size_t i, const std::string& locale);
// Whether a word written onto a day's number marks it as a day: "1st", "2nd", "1er", not the
// rank of "4e".
bool marksDay(const Token& ending);
std::optional<Found> monthAt(const Line& line, std::size_t i, const std::string& locale);
// 1900...2099, after an optional comma.
std::optional<Found> yearAt(const Line& line, std::size_t i);

struct WeekdayFound {
    Words::WeekdayName name;
    std::size_t next = 0;
};

// A weekday's name with its stop and comma ("Fri.,"); two-letter abbreviations only with them.
std::optional<WeekdayFound> weekdayAt(const Line& line, std::size_t i, const std::string& locale);

// A numeric date: 2026-03-14, 14.03.2026, 3/7/26, 23/02/2026, 14.03., 3/7.
struct Numeric {
    std::size_t end = 0;
    int first = 0;
    int second = 0;
    std::optional<int> year{};
    bool isoOrder = false; // year, month, day
    bool dotted = false;   // dots are only ever written day first
    bool complete = false; // with a year or a closing dot: a date without any context
};

std::optional<Numeric> numericAt(const Line& line, std::size_t i);

// A symbol or number right after the previous token, without a space.
bool unspacedSymbol(const Line& line, std::size_t i, std::string_view key);
bool unspacedNumber(const Line& line, std::size_t i);
// A word joined to the next by a hyphen ("twenty-first", "après-demain"), as one key; empty
// otherwise.
std::string hyphenated(const Line& line, std::size_t i);

// Words after which a bare day such as 3/7 or "the 15th" is a date ("on", "am", "le", "Date:").
bool dateContextBefore(const Line& line, std::size_t i);
// Whether a time follows closely ("3/3 at 8.30", "10/22, 4:15").
bool timeFollows(const Line& line, std::size_t i);
// "-", "to", "until", "bis", "au" between the days of a span.
bool isConnector(const Token* t);

// Past a day's weekday in brackets after it ("07/11/2026 (Saturday)", "12.3. (Do.)"): the token
// after the closing bracket, or `k` when none stands at `k`.
std::size_t pastWeekdayRemark(const Line& line, std::size_t k, const std::string& locale);
// Whether what follows a bare ordinal day lets it stand as a date ("the 15th at 6pm"), unlike
// "the 2nd floor".
bool endsDate(const Line& line, std::size_t i);

} // namespace plannery::reader
