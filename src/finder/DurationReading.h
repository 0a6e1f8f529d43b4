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

// "45m", "1h", "1h 30m" opening a row before a column gap: a calendar's length under the row of
// its time, where "400m Freestyle" runs on into a name. Whole hours are a length only in a text of
// 12-hour clocks; elsewhere "9h    Accueil" is a programme's time.
bool opensLengthColumn(const Line& line, const TimeContext& context);

} // namespace plannery::reader
