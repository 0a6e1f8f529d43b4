#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/CalendarMirrors.h"
#include "model/EventStore.h"

#include <string>
#include <vector>

namespace plannery::MirrorDetection {

struct CalendarInfo {
    std::string id;
    std::string title;
    bool editable = false;
    bool subscribed = false;
};

struct Rules {
    double shareThreshold = 0.9;
    double sameTitleShareThreshold = 0.8;
    int minSeries = 5;
    int sameTitleMinSeries = 3;
};

// Reads the store around `now` (four weeks back, about two months ahead) and detects mirrored
// calendars. Touches nothing but the given store, so it can run on a background thread with its
// own store.
CalendarMirrors scan(const EventStore& store, Instant now, const Calendar& calendar);

// Groups calendars whose series nearly all have copies on each other in the same time slots.
CalendarMirrors detect(const std::vector<CalEvent>& events,
                       const std::vector<CalendarInfo>& calendars, const Rules& rules,
                       const Calendar& calendar);

} // namespace plannery::MirrorDetection
