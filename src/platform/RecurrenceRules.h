#pragma once

#include "platform/IcsZones.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace plannery::ics {

// The starts one RRULE generates, as written times in the series' zone (linear seconds, see
// wallSeconds). Work is bounded: `budget` is decreased by every step taken and the walk stops
// when it runs out.
struct RuleStarts {
    std::vector<std::int64_t> starts;
    bool exhausted = false; // the budget ran out before the rule or the range ended
};

// Who walks a rule. Rules that name only a frequency, an interval and an end ("every second
// week, 10 times") and weekly rules that name plain weekdays ("every weekday") are the common
// case and are computed directly; the parser's iterator does everything else. Forcing the
// iterator lets tests compare the two.
enum class RuleWalker { automatic, iteratorOnly };

// Generates the starts in [lo, hi]. Rules without COUNT jump close to `lo`; rules with COUNT
// are walked from the first start because the count runs from there (plain rules jump there too
// when no period can be skipped).
RuleStarts ruleStarts(std::string_view rrule, const WallTime& dtstart, const ZoneConverter& zone,
                      std::int64_t lo, std::int64_t hi, long& budget, std::size_t maxStarts,
                      RuleWalker walker = RuleWalker::automatic);

// True for a rule that can never produce a start besides DTSTART (BYMONTHDAY=30;BYMONTH=2, a
// BYSETPOS beyond any possible set); such rules send the parser's own search to its last year.
bool ruleNeverMatches(std::string_view rrule);

// True when the rule has a COUNT or an UNTIL.
bool ruleHasEnd(std::string_view rrule);

} // namespace plannery::ics
