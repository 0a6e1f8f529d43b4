#pragma once

#include "model/Calendar.h"
#include "model/Instant.h"

#include <optional>
#include <string>
#include <string_view>

namespace plannery::Fmt {

// The day key of the day that contains t in the calendar's zone: "YYYY-MM-DD" with zero-padded
// year, month and day. Views use it in identifiers and links, so it never depends on the locale.
std::string dayKey(Instant t, const Calendar& calendar);

// The start of the day a day key names, in the calendar's zone. The text is split at "-" (empty
// pieces dropped) and the pieces that are base-10 numbers are kept; exactly three must remain:
// year, month and day, not necessarily zero-padded ("2026-3-7"). A date that does not exist
// (2026-02-30) or a year outside 1...9999 gives none, as does anything else.
std::optional<Instant> parseDayKey(std::string_view text, const Calendar& calendar);

} // namespace plannery::Fmt
