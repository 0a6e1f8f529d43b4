#pragma once

#include <cstdint>
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

// A recurrence rule value with its INTERVAL and COUNT brought into the range the parser holds;
// empty when the parser cannot read it.
std::string safeRule(std::string_view rule);

// The INTERVAL of a rule as written: 1 when it is missing or below 1, at most kMaxInterval (past
// that no rule has a second occurrence between the years 1 and 9999).
inline constexpr std::int64_t kMaxInterval = 1'000'000'000'000;
std::int64_t ruleInterval(std::string_view rule);

// A rule value with one part set to `value` (in place of a part of that name, else at the end),
// or removed for an empty value; the other parts keep their order and spelling.
std::string withRulePart(std::string_view rule, std::string_view name, std::string_view value);

// The parameter in which an RRULE line given to the parser keeps its value as written, beside a
// value the parser can hold (see withRuleText).
inline constexpr std::string_view kRuleTextParameter = "X-PLANNERY-RRULE";

// An unfolded RRULE line as the parser is given it: the value as written goes into
// kRuleTextParameter and the value becomes safeRule's. Empty when the parser cannot read the rule
// or the value cannot be a parameter. Other lines come back unchanged.
std::string withRuleText(std::string_view line);

} // namespace plannery::ics
