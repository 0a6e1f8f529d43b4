#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/CalendarMirrors.h"
#include "model/EventDays.h"
#include "model/EventStore.h"

#include <set>
#include <string>
#include <vector>

namespace plannery {

struct FetchOptions {
    std::set<std::string> hiddenCalendarIDs{};
    bool showDeclined = false;
    CalendarMirrors mirrors{};
};

namespace EventFetcher {

// The merged events that overlap [from, to), hidden calendars left out and declined events
// dropped unless shown, in display order.
std::vector<CalEvent> fetch(const EventStore& store, Instant from, Instant to,
                            const FetchOptions& options, const Calendar& calendar);

// The same events by day: every day from the day of `from` while it starts before `to`, also
// days without events; each event is held once, however many days it covers.
EventDays fetchByDay(const EventStore& store, Instant from, Instant to, const FetchOptions& options,
                     const Calendar& calendar);

} // namespace EventFetcher
} // namespace plannery
