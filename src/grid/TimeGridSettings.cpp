#include "grid/TimeGridSettings.h"

#include "grid/TimeGridMetrics.h"
#include "model/DateFormats.h"

#include <algorithm>
#include <cmath>

namespace plannery::TimeGridSettings {

std::string hourLabel(int hour, Instant now, const Calendar& calendar) {
    if (hour == 24) {
        return "Midnight";
    }
    const DateComponents today = calendar.components(now);
    const Instant at = calendar.date(today.year, today.month, today.day, hour).value_or(now);
    // The hour field alone, as the locale writes it with its own day period where it has one.
    return DateFormats::formatSkeleton("j", at, calendar.localeId(), calendar.zoneId());
}

std::vector<int> startHours() {
    std::vector<int> hours(24);
    for (int hour = 0; hour < 24; ++hour) {
        hours[static_cast<std::size_t>(hour)] = hour;
    }
    return hours;
}

std::vector<int> endHours(int start) {
    std::vector<int> hours;
    for (int hour = std::max(start + 1, 1); hour <= 24; ++hour) {
        hours.push_back(hour);
    }
    return hours;
}

TimeGridHourRange shownHours(const TimeGridPreferences& preferences) {
    return TimeGridHourRange::normalized(preferences.gridFitStartHour, preferences.gridFitEndHour);
}

TimeGridPreferences withStart(TimeGridPreferences preferences, int start) {
    preferences.gridFitStartHour = start;
    if (start >= preferences.gridFitEndHour) {
        preferences.gridFitEndHour = start + 1;
    }
    return preferences;
}

TimeGridPreferences withHourHeight(TimeGridPreferences preferences, double height) {
    preferences.gridHourHeight =
        std::isfinite(height) && height > 0
            ? std::clamp(height, TimeGridMetrics::minHourHeight, TimeGridMetrics::maxHourHeight)
            : 0;
    return preferences;
}

std::string footer(bool fit) {
    return fit ? "Shows the hours from start to end without scrolling, extended to include every "
                 "event on screen."
               : "Shows all 24 hours. Scroll to move through the day; pinch to zoom.";
}

} // namespace plannery::TimeGridSettings
