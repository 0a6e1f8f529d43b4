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

    std::vector<CalEvent> merged = Dedup::merge(std::move(events), options.mirrors, calendar);
    // Declined records leave after merging, so that an event stays when any of its copies is not
    // declined.
    sortByDisplayOrder(merged, calendar, [&](std::size_t i) {
        return !options.showDeclined && merged[i].isDeclined;
    });
    return merged;
}

std::map<Instant, std::vector<CalEvent>> fetchByDay(const EventStore& store, Instant from,
                                                    Instant to, const FetchOptions& options,
                                                    const Calendar& calendar) {
    std::map<Instant, std::vector<CalEvent>> byDay;
    if (!std::isfinite(from.seconds) || !std::isfinite(to.seconds) ||
        to.since(from) > kLongestRangeSeconds) {
        return byDay;
    }
    for (std::optional<Instant> day = calendar.startOfDay(from); day && *day < to;) {
        byDay.emplace_hint(byDay.end(), *day, std::vector<CalEvent>{});
        const std::optional<Instant> next = calendar.addDays(*day, 1);
        if (!next || !(*next > *day)) {
            break;
        }
        day = next;
    }
    if (byDay.empty()) {
        return byDay;
    }

    for (const CalEvent& event : fetch(store, from, to, options, calendar)) {
        // The keys are exactly the starts of the range's days, so the event's days inside the
        // range are the keys from its first day through its last; days outside are ignored.
        const Instant firstDay = calendar.startOfDay(event.start);
        const Instant lastDay = calendar.startOfDay(event.lastInstant());
        for (auto it = byDay.lower_bound(firstDay); it != byDay.end() && it->first <= lastDay;
             ++it) {
            it->second.push_back(event);
        }
    }
    return byDay;
}

} // namespace plannery::EventFetcher
