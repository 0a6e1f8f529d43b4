#pragma once

#include "model/Calendar.h"
#include "model/Instant.h"

namespace plannery {

// The days the agenda list has loaded: from the start of `start`'s day up to `end` (exclusive).
// The range only grows while a list lives; a new list starts again around its anchor.
struct AgendaRange {
    Instant start{};
    Instant end{};

    friend bool operator==(const AgendaRange&, const AgendaRange&) = default;

    // How far a new list reaches, how far "Show Earlier" goes back and how far the bottom of the
    // list (or an anchor past its end) carries the end forward, in calendar days.
    static constexpr int initialDays = 120;
    static constexpr int earlierDays = 60;
    static constexpr int laterDays = 90;
    // The longest range an anchor may grow the list to. An anchor farther away starts a new
    // range around it instead, so a date decades away never loads every day in between.
    static constexpr int maxReachDays = 366 * 20;

    // A new list: the anchor's day and the 120 days from it.
    static AgendaRange around(Instant anchor, const Calendar& calendar);
    // "Show Earlier": the start 60 days back.
    AgendaRange earlier(const Calendar& calendar) const;
    // The bottom of the list came into view: the end 90 days on.
    AgendaRange later(const Calendar& calendar) const;
    // The range grown to hold a day the list is asked to show: back to its day when it is before
    // the start, on to 90 days after it when it is on or after the end; unchanged otherwise.
    // When that would span more than maxReachDays, a new range around the day.
    AgendaRange reaching(Instant day, const Calendar& calendar) const;
};

} // namespace plannery
