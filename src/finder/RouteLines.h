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
// as written up to its time or column gap ("Melbourne (MEL)").
std::optional<std::string> routeStart(const Line& line, const LineFacts& facts);

// "Flight NZ10  Auckland (AKL) → Honolulu (HNL)": where a line's route ends, as written after the
// arrow up to a column gap ("Honolulu (HNL)").
std::optional<std::string> routeEnd(const Line& line);

// "From: Bristol Temple Meads" over "To: Cardiff Central" at line `li`: a ticket's route
// ("Bristol Temple Meads → Cardiff Central"), unlike an e-mail's sender and recipients.
std::optional<std::string> routeOfLabels(const std::vector<Line>& lines,
                                         const std::vector<LineFacts>& facts, std::size_t li);

} // namespace plannery::reader
