#pragma once

#include "finder/TextFacts.h"

#include <cstddef>
#include <optional>
#include <string>

// The legs of a journey as tickets and itineraries set them out: the stops its lines leave from
// and reach, and which line ends the leg another begins.
namespace plannery::reader {

// "7:45 AM  Leeds – Coach Station, Bay 4": a time, then the stop a coach, train or ferry leaves
// from or reaches; or "York  dep 08:54": the stop, then the time it is left or reached. The stop's
// town or name ("Leeds", "York"). Two such lines one under the other are a leg of a journey.
std::optional<std::string> stopOfLeg(const Line& line, const LineFacts& facts);

// The line of the stop that ends the leg whose first stop is line `li`: the next line, when both
// are stops; or, in a text of a journey, the next line with a time, when both are a time and a
// name with what is said of the ride between them ("17:33  London Kings Cross" over "Northline
// Rail · Direct · 1h 56m" over "19:29  York").
std::optional<std::size_t> nextStop(const TextFacts& text, std::size_t li);

// The station a ticket's row holds: "Bremen Hbf  11.03.  ab 07:14  4", "17:33  London Kings
// Cross", "08:10  YYZ  Toronto Pearson Intl, Terminal 1".
std::optional<std::string> stationOfRow(const TextFacts& text, std::size_t li);

// The name of the stop on line `li`, a stop of a leg or a time and a name.
std::optional<std::string> stopName(const TextFacts& text, std::size_t li);

} // namespace plannery::reader
