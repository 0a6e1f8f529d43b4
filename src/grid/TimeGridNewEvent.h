#pragma once

#include "grid/Geometry.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <optional>
#include <string>

namespace plannery {

// A new event being proposed by pressing and dragging in a day column: whole quarter hours
// within the hours the grid shows.
struct TimeGridNewEvent {
    Instant day{};      // the start of the column's day
    double anchor = 0;  // the minute of the slot where the press began
    Stretch range{};    // minutes
    bool moved = false; // the pointer has left the first slot

    friend bool operator==(const TimeGridNewEvent&, const TimeGridNewEvent&) = default;

    // The quarter hour that holds the minute, kept inside startHour...endHour so that a whole
    // slot fits.
    static double slot(double minute, int startHour, int endHour);

    // A press at `minute` proposes an hour from its slot, cut at the end of the shown hours.
    static TimeGridNewEvent begin(Instant day, double minute, int startHour, int endHour);

    // The pointer moved to `minute`: from the earlier of its slot and the press slot to the
    // later one's end. Staying in the first slot changes nothing until the pointer has left it.
    TimeGridNewEvent dragged(double minute, int startHour, int endHour) const;

    // The instant of a minute of the day that starts at `dayStart`: a wall-clock time on that
    // day (the next existing time across a clock change), or the next day's start for 1440.
    static std::optional<Instant> instant(Instant dayStart, double minute,
                                          const Calendar& calendar);

    // The ghost's label: "New Event", a line break, and the range in short times.
    static std::string label(Instant start, Instant end, const Calendar& calendar);
};

} // namespace plannery
