#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace plannery {

// A day's events as the calendar store hands them out: shared, never changed, in display order.
// A null list counts as a day without events.
using AgendaEvents = std::shared_ptr<const std::vector<CalEvent>>;

// One day of the loaded range, as the store answers for it.
struct AgendaDay {
    Instant day{}; // start of the day
    AgendaEvents events{};
};

// One day the list shows: a date badge beside the day's events (or "No events").
struct AgendaSection {
    Instant day{};
    AgendaEvents events{}; // never null
    // A month-and-year heading goes above the first section and above every section whose month
    // differs from the one before it, however many empty days lie between them.
    bool showMonth = false;

    bool isEmpty() const { return events->empty(); }
};

namespace AgendaSections {

// The sections of the loaded days: every day with an event, today, and the first day of the
// range (so a list never opens on nothing). Other empty days are left out.
std::vector<AgendaSection> shown(const std::vector<AgendaDay>& days, Instant start, Instant today,
                                 const Calendar& calendar);

// Where the list scrolls to show `day`: the first day on or after it that has events or is
// today, else the last such day; none when there is no such day at all. Unlike the shown list,
// an empty first day of the range is no target.
std::optional<Instant> scrollTarget(const std::vector<AgendaDay>& days, Instant day, Instant today,
                                    const Calendar& calendar);

// The index of the section whose day is `day`, or of the first one after it; the last section
// when every section is earlier, none when there are no sections.
std::optional<std::size_t> indexAtOrAfter(const std::vector<AgendaSection>& sections, Instant day);

} // namespace AgendaSections

} // namespace plannery
