#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plannery::ics {

// Prepares text for the iCalendar parser: invalid UTF-8 and NUL bytes become U+FFFD, line ends
// are normalised, folded lines are joined, and recurrence rules are made safe (an INTERVAL below
// 1 reads as 1, an absurd COUNT is capped, a rule the parser cannot read is dropped so the event
// shows once).
// Returns the content lines, unfolded, without line ends.
std::vector<std::string> sanitizeIcs(std::string_view text);

// Repairs UTF-8: every invalid sequence becomes U+FFFD.
std::string validUtf8(std::string_view text);

// A recurrence rule value with its INTERVAL and COUNT brought into range; empty when the parser
// cannot read it.
std::string safeRule(std::string_view rule);

} // namespace plannery::ics
