#pragma once

#include "cli/Options.h"
#include "model/Calendar.h"
#include "model/EventStore.h"

#include <optional>
#include <string>
#include <vector>

// Finding the event a command names by its identifier, and the instants of typed times.
namespace plannery::cli {

// The instant of a typed time in the calendar: a day alone is its start.
std::optional<Instant> instantOf(const DateTime& time, const Calendar& calendar);

// What a typed identifier names: the whole identifier, or a sentence why it names nothing.
struct Resolved {
    std::optional<std::string> id;
    std::string problem;
};

// Identifiers are long (a calendar's is its folder's absolute path, an event's adds the file
// name, or "#" and the UID for a calendar kept in one file), so any tail of one that starts
// after a "/" names it too when no other fits: "work/calendar", "work/calendar/UID.ics",
// "holidays.ics#UID".
Resolved calendarID(const std::vector<CalendarHandle>& calendars, const std::string& typed);
Resolved eventID(const EventStore& store, const std::string& typed);

struct Found {
    std::optional<StoreEvent> event;
    std::string problem; // a sentence when there is no event
};

// The occurrence of the event that starts (by its rule, or as moved) at the typed time, or the
// event itself when no time is given; `id` as eventID() reads it.
Found findEvent(const EventStore& store, const std::string& id,
                const std::optional<DateTime>& occurrence, const Calendar& calendar);

} // namespace plannery::cli
