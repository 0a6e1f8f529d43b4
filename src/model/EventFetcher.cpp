#include "model/EventFetcher.h"

#include "model/Dedup.h"

#include <algorithm>
#include <cmath>

namespace plannery::EventFetcher {

namespace {

// Far more days than any view asks for: a range beyond it is broken input, and answering it
// would take minutes and gigabytes.
constexpr double kLongestRangeSeconds = 400.0 * 366 * 24 * 3600;

} // namespace

std::vector<CalEvent> fetch(const EventStore& store, Instant from, Instant to,
                            const FetchOptions& options, const Calendar& calendar) {
    if (store.authorizationStatus() != AuthorizationStatus::fullAccess) {
        return {};
    }
    if (!(from < to)) {
        return {};
    }
    std::vector<CalendarHandle> shown;
    for (const CalendarHandle& handle : store.calendars()) {
        if (handle && !options.hiddenCalendarIDs.contains(handle->calendarIdentifier)) {
            shown.push_back(handle);
        }
    }
    // An empty list would mean "all calendars" to the store.
    if (shown.empty()) {
        return {};
    }

    const std::vector<StoreEvent> occurrences = store.events(from, to, shown);
    std::vector<CalEvent> events;
    events.reserve(occurrences.size());
    for (const StoreEvent& occurrence : occurrences) {
        events.push_back(CalEvent::from(occurrence));
    }

    // In display order already. Declined records leave after merging, so that an event stays
    // when any of its copies is not declined.
    std::vector<CalEvent> merged = Dedup::merge(std::move(events), options.mirrors, calendar);
    if (!options.showDeclined) {
        std::erase_if(merged, [](const CalEvent& event) { return event.isDeclined; });
    }
    return merged;
}

EventDays fetchByDay(const EventStore& store, Instant from, Instant to, const FetchOptions& options,
                     const Calendar& calendar) {
    if (!std::isfinite(from.seconds) || !std::isfinite(to.seconds) ||
        to.since(from) > kLongestRangeSeconds) {
        return {};
    }
    std::vector<Instant> days;
    for (std::optional<DateInterval> day = calendar.dayInterval(from); day && day->start < to;) {
        days.push_back(day->start);
        // A day ends where the next begins.
        if (!(day->end > day->start)) {
            break;
        }
        day = calendar.dayInterval(day->end);
    }
    if (days.empty()) {
        return {};
    }
    return EventDays(fetch(store, from, to, options, calendar), std::move(days), calendar);
}

} // namespace plannery::EventFetcher
