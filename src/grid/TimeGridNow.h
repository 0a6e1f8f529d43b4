#pragma once

#include "grid/Geometry.h"
#include "grid/TimeGridMetrics.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <chrono>

namespace plannery {

// The current-time line of the time grid: where it goes, and when it must be drawn again.
struct TimeGridNow {
    Instant today{};      // the start of today
    int minute = 0;       // whole minute of the day
    bool visible = false; // today's column is on screen
    bool inHours = false; // now lies within the hours the grid shows

    friend bool operator==(const TimeGridNow&, const TimeGridNow&) = default;

    // Minutes of now since today's midnight on the wall clock (seconds as a fraction).
    static double minuteOfDay(Instant now, const Calendar& calendar);

    static bool inHoursOf(const TimeGridMetrics& metrics, double minute) {
        return metrics.startHour * 60 <= minute && minute <= metrics.endHour * 60;
    }

    // The red line across today's column (its left edge at x `left`) and the dot at its left
    // end; y in the vertical scroller's content.
    static Rect line(const TimeGridMetrics& metrics, double left, double minute);
    static Rect dot(const TimeGridMetrics& metrics, double left, double minute);

    // How long until the next whole minute, when the minute timer first fires.
    static std::chrono::milliseconds untilNextMinute(Instant now);
};

} // namespace plannery
