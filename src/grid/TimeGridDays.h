#pragma once

#include "grid/TimeGridSpan.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <optional>
#include <vector>

namespace plannery {

// Where a date lies relative to a grid's base: whole weeks after it and the day of that week.
struct TimeGridPosition {
    int week = 0;
    int offset = 0; // 0...6, days after the week's start

    friend bool operator==(const TimeGridPosition&, const TimeGridPosition&) = default;
};

// Maps a column index of the time grid (any int, negative ones count back from the base) to
// the date it shows and back. Column 0 shows `base`; each week contributes one column per entry
// of `offsets`, so a work-week grid simply has no columns for weekend days.
struct TimeGridDays {
    Calendar calendar;
    Instant base{};             // start of a week
    std::vector<int> offsets{}; // ascending, 0...6; empty counts as the whole week

    // The grid of `span` whose column 0 is the week start `base`.
    static TimeGridDays make(const Calendar& calendar, Instant base, TimeGridSpan span);

    int perWeek() const;

    // The start of the day that column `index` shows; `base` if the calendar cannot get there.
    Instant date(int index) const;
    TimeGridPosition position(Instant date) const;
    // The column of `date`, or of the next day that has one (a weekend day in a work-week grid
    // maps to the following work day).
    int index(Instant date) const;
    // The column of `date` when that day has one.
    std::optional<int> exactIndex(Instant date) const;

    // The offsets of the days of the week starting at `weekStart` that are not weekend days;
    // the whole week when every day is a weekend day.
    static std::vector<int> workDayOffsets(const Calendar& calendar, Instant weekStart);
    // How many work days the week containing `now` has.
    static int workDaysPerWeek(const Calendar& calendar, Instant now);
    // 12:00 of the day of `date` (the next existing time if a clock change skips it, the first
    // if it is repeated); `date` itself if the calendar cannot say. Every step from day to day
    // goes through noon, which exists on every day, so clock changes never shift a day.
    static Instant noon(Instant date, const Calendar& calendar);
    // Start of the calendar's week that contains `date` (its first weekday decides).
    static Instant weekStart(Instant date, const Calendar& calendar);
};

} // namespace plannery
