#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <vector>

namespace plannery {

// The part of one timed event inside one day of the time grid, in minutes after the day's
// midnight (0...1440; a day with a clock change still runs from 0 to 1440 on its wall clock).
struct TimeGridSegment {
    CalEvent event;
    double startMinute = 0;
    double endMinute = 0;         // never below startMinute
    bool continuesBefore = false; // the event started on an earlier day
    bool continuesAfter = false;  // the event ends on a later day

    friend bool operator==(const TimeGridSegment&, const TimeGridSegment&) = default;

    // The segments of the day that contains `day`, in the order of the events; all-day events
    // are left out. A zero-length event belongs to the day it starts in.
    static std::vector<TimeGridSegment> segments(const std::vector<CalEvent>& events, Instant day,
                                                 const Calendar& calendar);
};

} // namespace plannery
