#pragma once

#include "finder/ReaderDays.h"
#include "finder/ReaderText.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace plannery::reader {

// A day written in a line: "Saturday, March 14th", "14. März 2026", "le mardi 15 septembre",
// "23/02/2026", "2026-03-14", "tomorrow", "this Friday", "the 15th"; or a span of days ("May
// 15-16", "du lundi 6 au vendredi 10 juillet", "Sat, Aug 8 – Wed, Aug 12"). Days written without a
// year are the next such day on or after today (the one whose weekday matches when a weekday is
// written).
struct DateMention {
    std::size_t begin = 0; // tokens of the line
    std::size_t end = 0;
    DayParts day{};
    std::optional<DayParts> last{}; // the last day of a span
    bool yearWritten = false;
    bool relative = false;    // today, tomorrow, a weekday alone
    bool weekdayOnly = false; // a weekday's name without a day ("Friday", "Sat")
    bool fullWeekday = false; // ... written in full
    bool evening = false;     // "tonight", "tomorrow evening", "ce soir"
    bool series = false;      // one of the days of "every Sunday in July"
    // No event on that day: a deadline ("by March 9", "bis 20.04."), a day kept in reserve, or
    // days of every week ("Monday to Friday").
    bool deadline = false;
    // ... of which one by which something must be handed in ("must be returned by Friday"): a day
    // to enter after all.
    bool due = false;
    // ... of which one called off ("No rehearsal on 12 March", "Am 18. Mai entfällt das
    // Singen"): no day of a series named elsewhere falls on it either.
    bool calledOff = false;
};

class DateReader {
  public:
    // `dayFirst`: how to read numeric dates such as 3/4 whose order nothing in them shows.
    DateReader(const ReaderDays& days, bool dayFirst);

    // `below`: the next line of the same block, if any, where a calendar app sets the day of a
    // row that opens with a weekday alone.
    std::vector<DateMention> read(const Line& line, const Line* below = nullptr) const;

    // The order the text's own numeric dates show (a first number above 12 means day first, a
    // second one above 12 month first); none when they show none or disagree.
    static std::optional<bool> numericOrder(const std::vector<Line>& lines);

  private:
    struct Partial;
    std::optional<Partial> dateAt(const Line& line, std::size_t i) const;
    std::optional<Partial> spanAt(const Line& line, std::size_t i) const;
    std::optional<Partial> relativeAt(const Line& line, std::size_t i) const;
    std::optional<DateMention> resolve(const Partial& partial) const;
    std::vector<std::size_t> daysListedBefore(const Line& line, const Partial& date) const;
    DayParts withYear(int month, int day, std::optional<Weekday> weekday) const;

    const ReaderDays& m_days;
    const std::string& m_localeId;
    bool m_dayFirst;
};

} // namespace plannery::reader
