#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/CalendarMirrors.h"
#include "model/EventStore.h"

#include <map>
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

// The same events by day: every day from the day of `from` while it starts before `to` is a key,
// also days without events.
std::map<Instant, std::vector<CalEvent>> fetchByDay(const EventStore& store, Instant from,
                                                    Instant to, const FetchOptions& options,
                                                    const Calendar& calendar);

} // namespace EventFetcher
} // namespace plannery
