#pragma once

#include "finder/EventAssembly.h"
#include "finder/TextFacts.h"

#include <vector>

// What a text calls off: its one event, in its subject, or single days of the events it names
// elsewhere.
namespace plannery::reader {

// Whether the text calls its only event off and gives it no other day.
bool callsItsEventOff(const TextFacts& text);

// Drops from `events` the days that a line of the text calls off.
void dropCalledOffDays(const TextFacts& text, std::vector<Candidate>& events);

} // namespace plannery::reader
