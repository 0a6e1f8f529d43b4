#pragma once

#include "finder/TextFacts.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The routes a line or a pair of labelled lines gives: the stops an arrow joins ("London Heathrow
// → Lisbon"), where the leg starts and ends, a ticket's "From:" and "To:".
namespace plannery::reader {

// "TP1357  London Heathrow (LHR) T2  07:25 → Lisbon (LIS) T1  10:05": the places a line's arrow
// joins, without codes and terminals ("London Heathrow → Lisbon").
std::optional<std::string> routeOnLine(const Line& line);

// "KS 417   Melbourne (MEL) 7:00am  ->  Sydney (SYD) 8:25am": the stop a line's leg leaves from,
// as written up to its time or column gap ("Melbourne (MEL)"); on an itinerary's row without an
// arrow, the stop after its first time ("21:40 Cape Town (CPT)   07:25 +1 London Heathrow (LHR)").
std::optional<std::string> routeStart(const Line& line, const LineFacts& facts);

// "Flight NZ10  Auckland (AKL) → Honolulu (HNL)": where a line's route ends, as written after the
// arrow up to a column gap ("Honolulu (HNL)"); on an itinerary's row, the stop after its last
// time.
std::optional<std::string> routeEnd(const Line& line, const LineFacts& facts);

// Whether the line is an itinerary's row whose times are each followed by a stop with its code
// ("21:40 Cape Town (CPT)   07:25 +1 London Heathrow (LHR)"): its last time is the arrival.
bool legWithCodedStops(const Line& line, const LineFacts& facts);

// "From: Bristol Temple Meads" over "To: Cardiff Central" at line `li`: a ticket's route
// ("Bristol Temple Meads → Cardiff Central"), unlike an e-mail's sender and recipients.
std::optional<std::string> routeOfLabels(const std::vector<Line>& lines,
                                         const std::vector<LineFacts>& facts, std::size_t li);

} // namespace plannery::reader
