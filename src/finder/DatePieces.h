#pragma once

#include "finder/ReaderText.h"
#include "finder/ReaderWords.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The pieces dates are written with, each read at one token of a line: a day ("15", "15th",
// "15.", "fifteenth"), a month's name, a year, a weekday's name, a numeric date (2026-03-14,
// 14.03.2026, 3/7), and the words around dates that change what they mean.
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
// "moved from Tuesday to Thursday", "reporté du mardi au jeudi": the day at token `i` is given up
// for the one after it; the two are no span of days.
bool movedFrom(const Line& line, std::size_t i);
// A deadline, the start of sales or a day kept in reserve rather than an event ("by March 9",
// "bis 20.04.", "Ersatztermin: Montag, 22. Juni").
bool deadlineBefore(const Line& line, std::size_t i);
// "(remis au jeudi 1er octobre en cas de pluie)", "Friday 20 March if it rains": the day after
// token `i` is kept in reserve for bad weather, as its sentence says after it.
bool reserveAfter(const Line& line, std::size_t i);
// "The write-up must be handed in by Friday", "Die Anmeldung muss bis Freitag abgegeben werden":
// a deadline at token `i` by which the sentence before it says something must be handed in.
bool dueBefore(const Line& line, std::size_t i);
// Where the obligation of a deadline's sentence begins: the token of "must", "muss", "doit" before
// token `i`; none without one.
std::optional<std::size_t> obligationBefore(const Line& line, std::size_t i);
// "we must cancel your appointment on Tuesday, 10 March", "Ihren Termin am Dienstag absagen", "am
// 11.6. muss verschoben werden": a day its sentence calls off or moves away from, the words from
// token `i` on saying so. The day's own words start at token `begin`.
bool calledOffAfter(const Line& line, std::size_t begin, std::size_t i);
// A participle right after a day that says something was done on it ("am 14. Oktober versandt").
bool doneAfter(const Line& line, std::size_t i);
// Whether the words from token i make the day before them a deadline: "pour ce vendredi 2/10 au
// plus tard", "by Friday at the latest", "Freitag spätestens".
bool deadlineAfter(const Line& line, std::size_t i);
// "can be booked ... from Monday 19 January": in a sentence, the day something opens.
bool opensFrom(const Line& line, std::size_t i);
// Whether what follows a bare ordinal day lets it stand as a date ("the 15th at 6pm"), unlike
// "the 2nd floor".
bool endsDate(const Line& line, std::size_t i);

} // namespace plannery::reader
