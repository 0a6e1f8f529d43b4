#pragma once

#include "cli/Options.h"
#include "model/Calendar.h"
#include "model/EventStore.h"

#include <optional>
#include <string>

// Finding the event a command names by its identifier, and the instants of typed times.
namespace plannery::cli {

// The instant of a typed time in the calendar: a day alone is its start.
std::optional<Instant> instantOf(const DateTime& time, const Calendar& calendar);

struct Found {
    std::optional<StoreEvent> event;
    std::string problem; // a sentence when there is no event
};

// The occurrence of the event that starts (by its rule, or as moved) at the typed time, or the
// event itself when no time is given.
Found findEvent(const EventStore& store, const std::string& id,
                const std::optional<DateTime>& occurrence, const Calendar& calendar);

} // namespace plannery::cli
