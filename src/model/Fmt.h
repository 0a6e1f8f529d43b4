#pragma once

#include "model/Calendar.h"
#include "model/Instant.h"

#include <string>

namespace plannery::Fmt {

// The day key of the day that contains t in the calendar's zone: "YYYY-MM-DD" with zero-padded
// year, month and day. Views use it in identifiers and links, so it never depends on the locale.
std::string dayKey(Instant t, const Calendar& calendar);

} // namespace plannery::Fmt
