#pragma once

#include "finder/EventAssembly.h"
#include "finder/TextFacts.h"

#include <vector>

// The ends that stated lengths give events written with a start alone.
namespace plannery::reader {

// "It should take about 90 minutes", "1h 45m" in a timetable row, "5 minutes
// each", and the one event's length on a line of its own ("Running time approx.
// 2 hrs 45 mins").
void applyDurations(const TextFacts& text, std::vector<Candidate>& list);

} // namespace plannery::reader
