#pragma once

#include "finder/EventSuggestion.h"
#include "finder/ReaderDays.h"
#include "finder/TextFacts.h"

#include <optional>
#include <string>
#include <vector>

namespace plannery::reader {

// One event the Built-in Reader found, before its title and place are picked: its days and times,
// and the line it was found on.
struct Candidate {
    DayParts day{};
    std::optional<DayParts> last{}; // the last day of an event over several days
    std::optional<ClockTime> start{};
    std::optional<ClockTime> finish{};
    std::optional<std::string> zone{};
    std::size_t line = 0;  // index into TextFacts::lines
    std::size_t begin = 0; // the tokens of its date (or, for a session, its time) in that line
    std::size_t end = 0;
    bool session = false;                     // a line of a schedule under a day's heading
    std::optional<std::size_t> headingLine{}; // for a session: the line of that heading
    bool yearWritten = false;
    bool relative = false;
    bool due = false; // the day by which something must be handed in
    // Its start is when doors open, or when something before it ends ("check-out by 11:00"): a
    // start told below comes instead.
    bool doorsOnly = false;
    // For a leg of a journey whose first stop is told below its day: the line of that stop.
    std::optional<std::size_t> stopLine{};
    // For a day on a line of its own: the line just below it that gave its start ("TUE 9 MAR" over
    // "Reformer Intermediate   6:15 am").
    std::optional<std::size_t> timeLine{};
    // Its start was said as midnight of its day ("Thursday 24 December: midnight mass"), the
    // first moment of the next.
    bool startsNextDay = false;
};

// The events in a text: each day written as an event (not a deadline, a message's time stamp or a
// day that has passed) with the times that go with it; a schedule's sessions under the day that
// heads them; a stay from its check-in to its check-out; a span's days when its times hold for
// each day. At most kMaxEvents, in the text's order.
std::vector<Candidate> assemble(const TextFacts& text, const ReaderDays& days, Instant now,
                                const Calendar& calendar);

inline constexpr std::size_t kMaxEvents = 40;

// The lines between a day and what goes with it: its times, the label it goes by, the other day of
// a stay.
inline constexpr std::size_t kReach = 3;

} // namespace plannery::reader
