#include "cli/EventLookup.h"

namespace plannery::cli {

std::optional<Instant> instantOf(const DateTime& time, const Calendar& calendar) {
    const auto& d = time.date;
    if (!time.minuteOfDay) {
        const auto noon = calendar.date(d.year, d.month, d.day, 12);
        return noon ? std::optional(calendar.startOfDay(*noon)) : std::nullopt;
    }
    const int hour = *time.minuteOfDay / 60;
    const int minute = *time.minuteOfDay % 60;
    if (time.utcOffsetSeconds) {
        // An instant as --json prints it: the same moment in any zone.
        thread_local const auto utc = Calendar::make("UTC", "en_US");
        const auto wall =
            utc ? utc->date(d.year, d.month, d.day, hour, minute, time.second) : std::nullopt;
        return wall ? std::optional(wall->plus(-*time.utcOffsetSeconds)) : std::nullopt;
    }
    return calendar.date(d.year, d.month, d.day, hour, minute, time.second);
}

Found findEvent(const EventStore& store, const std::string& id,
                const std::optional<DateTime>& occurrence, const Calendar& calendar) {
    const std::string unknown = "No event has the identifier \"" + id + "\".";
    if (!occurrence) {
        auto event = store.event(id);
        return Found{.event = event, .problem = event ? "" : unknown};
    }
    const auto at = instantOf(*occurrence, calendar);
    if (!at) {
        return Found{.event = std::nullopt,
                     .problem = "The --occurrence time cannot be placed in the time zone."};
    }
    for (const auto& event : store.events(at->plus(-1), at->plus(1))) {
        if (event.eventIdentifier() == id &&
            (event.occurrenceDate.value_or(event.startDate) == *at || event.startDate == *at)) {
            return Found{.event = event, .problem = {}};
        }
    }
    return Found{.event = std::nullopt,
                 .problem = store.event(id)
                                ? "The event \"" + id + "\" has no occurrence at that time."
                                : unknown};
}

} // namespace plannery::cli
