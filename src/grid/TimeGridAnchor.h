#pragma once

#include "model/Calendar.h"
#include "model/Instant.h"

#include <optional>

// The anchor date passes both ways between the time grid and the window that shows it: the grid
// reports the page the user settles on, the window sets the date it wants shown. These rules keep
// the two from chasing each other.
namespace plannery::TimeGridAnchor {

// What the window writes back when the grid reports `report`. `current` is the window's anchor
// now, `installed` the value it had when the grid's callback was installed, and `lastReported`
// what the last accepted report wrote. A report that arrives after someone else changed the
// anchor is stale and dropped, unless the anchor is still the grid's own last report. Nothing is
// written when the anchor already is the report.
std::optional<Instant> writeBack(Instant current, Instant installed,
                                 std::optional<Instant> lastReported, Instant report);

enum class Received {
    ignore,   // the same day came in again, or it is the grid's own report coming back
    remember, // before the first layout: kept for it
    scroll,   // scroll to the day
};

// What the grid does with an anchor set from outside, given the last one received, the grid's
// own last report and whether it has been laid out. Days compare in the calendar.
Received receive(Instant anchor, std::optional<Instant> lastReceived,
                 std::optional<Instant> ownReport, bool laidOut, const Calendar& calendar);

} // namespace plannery::TimeGridAnchor
