#pragma once

#include <optional>
#include <string>
#include <string_view>

// Time-zone abbreviations as people write them after a time, mapped to a region's zone so that the
// region's daylight-saving rule applies at the event's date ("9:00 EST" in July is 9:00 New York
// summer time).
namespace plannery::ZoneAbbreviations {

// The generic and seasonal abbreviations of the regions people most often name: ET, EST, EDT
// (America/New_York), CT, MT, PT and their seasons, BST, CET, CEST, AEST, AEDT, JST. Upper case in.
std::optional<std::string> region(std::string_view abbreviation);

// The regions and the wider standard list of abbreviations (GMT, UTC, IST, HKT, SGT, MSK, NZST,
// ...). Upper case in.
std::optional<std::string> standard(std::string_view abbreviation);

} // namespace plannery::ZoneAbbreviations
