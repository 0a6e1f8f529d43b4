#pragma once

#include "finder/TimeReading.h"

#include <cstddef>
#include <vector>

namespace plannery::reader {

// A duration on its own: "90 minutes", "1h 45m", "2 hours", "5 minutes each".
struct DurationMention {
    std::size_t begin = 0;
    std::size_t end = 0;
    int minutes = 0;
    bool each = false; // "5 minutes each": every session's length
};

// The durations a line gives; a time's clock ("2h" after "at") and lengths that are no event's
// ("10 minutes early", "within 2 hours") are not among them.
std::vector<DurationMention> readDurations(const Line& line, const TimeContext& context);

} // namespace plannery::reader
