#pragma once

#include "model/Calendar.h"
#include "model/Instant.h"

#include <optional>
#include <string>
#include <string_view>

// Links into the app: "plannery://day/2026-03-07" opens that day. Widget rows link to the day
// they show, and the app opens such a link on the day in its current mode.
namespace plannery::DeepLink {

inline constexpr std::string_view scheme = "plannery";

// The link to the day that contains `date` in the calendar's zone.
std::string day(Instant date, const Calendar& calendar);

// The day a link names: the scheme must be "plannery" and the host "day" (letter case does not
// matter in either, as in every URL); the day is the last component of the path, a day key.
// Any other link, and one whose day key does not parse, gives none.
std::optional<Instant> parse(std::string_view url, const Calendar& calendar);

} // namespace plannery::DeepLink
