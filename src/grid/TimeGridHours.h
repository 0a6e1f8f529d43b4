#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <optional>
#include <vector>

namespace plannery {

// A band of whole hours of the time axis, `start` inclusive, `end` exclusive (0..<24 is a day).
struct TimeGridHourRange {
    int start = 0;
    int end = 24;

    friend bool operator==(const TimeGridHourRange&, const TimeGridHourRange&) = default;

    // The band a grid can show: it starts at 0...23 and holds at least one hour, at most up to
    // midnight. The start wins when the two disagree, so 23 to 5 becomes 23..<24.
    static TimeGridHourRange normalized(int start, int end);
    static constexpr TimeGridHourRange wholeDay() { return TimeGridHourRange{0, 24}; }
};

// One column's day (its start) with the events the store gives for it.
struct TimeGridDayEvents {
    Instant day{};
    std::vector<CalEvent> events{};
};

// The persisted preferences of the time grid, as stored under their keys.
struct TimeGridPreferences {
    double gridHourHeight = 0; // set by pinching; 0 or less (or not a number) means none chosen
    bool gridFitHours = true;
    int gridFitStartHour = 8;
    int gridFitEndHour = 20; // exclusive

    friend bool operator==(const TimeGridPreferences&, const TimeGridPreferences&) = default;

    // The hours always shown when fitting to the screen; none when the grid scrolls through
    // the whole day instead.
    std::optional<TimeGridHourRange> fitRange() const;
    // The hour height the user chose by pinching, when there is one.
    std::optional<double> preferredHourHeight() const;
};

namespace TimeGridHours {

// The band of hours a fitted page shows: the wished hours, widened in whole hours to hold every
// timed event of the given days. Segments that fill their whole day and events of a day or
// longer do not widen it: they would always stretch the band to the full day.
TimeGridHourRange range(const std::vector<TimeGridDayEvents>& days, TimeGridHourRange hours,
                        const Calendar& calendar);

// The band a page shows: the whole day without a fit range, else `range` of its days.
TimeGridHourRange fitted(const std::optional<TimeGridHourRange>& fit,
                         const std::vector<TimeGridDayEvents>& days, const Calendar& calendar);

// The largest number of all-day events that one of the days has.
int mostAllDayEvents(const std::vector<TimeGridDayEvents>& days);

} // namespace TimeGridHours

} // namespace plannery
