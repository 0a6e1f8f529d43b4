#pragma once

#include "finder/EventAssembly.h"
#include "finder/ReaderDays.h"

#include <vector>

// Which of the events found in a text are worth suggesting: those still to
// come, each once, none that is part of another, and what is due by a day only
// where nothing else is.
namespace plannery::reader {

// Of the events `found`, in the text's order, those that have not passed by
// `now` (nor were meant in the past), without repeats, days and times inside
// another event, or a day something is due by beside a timed event. At most
// kMaxEvents.
std::vector<Candidate> selectEvents(const TextFacts& text, const std::vector<Candidate>& found,
                                    const ReaderDays& days, Instant now, const Calendar& calendar);

} // namespace plannery::reader
