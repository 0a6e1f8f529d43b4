#include "grid/TimeGridHours.h"

#include "grid/TimeGridSegment.h"

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

constexpr double kDayMinutes = 1440;
constexpr double kDaySeconds = 86400;

} // namespace

TimeGridHourRange TimeGridHourRange::normalized(int start, int end) {
    const int first = std::clamp(start, 0, 23);
    return TimeGridHourRange{.start = first, .end = std::min(std::max(first + 1, end), 24)};
}

std::optional<TimeGridHourRange> TimeGridPreferences::fitRange() const {
    if (!gridFitHours) {
        return std::nullopt;
    }
    return TimeGridHourRange::normalized(gridFitStartHour, gridFitEndHour);
}

std::optional<double> TimeGridPreferences::preferredHourHeight() const {
    // NaN fails this test too, so a damaged value counts as none chosen.
    if (gridHourHeight > 0) {
        return gridHourHeight;
    }
    return std::nullopt;
}

namespace TimeGridHours {

TimeGridHourRange range(const std::vector<TimeGridDayEvents>& days, TimeGridHourRange hours,
                        const Calendar& calendar) {
    int lo = hours.start;
    int hi = hours.end;
    for (const TimeGridDayEvents& day : days) {
        if (day.events.empty()) {
            continue;
        }
        for (const TimeGridSegment& segment :
             TimeGridSegment::segments(day.events, day.day, calendar)) {
            const double start = segment.startMinute;
            const double end = std::max(segment.endMinute, start + 1);
            if (!std::isfinite(start) || !std::isfinite(end)) {
                continue;
            }
            if ((start <= 0 && segment.endMinute >= kDayMinutes) ||
                segment.event.end.since(segment.event.start) >= kDaySeconds) {
                continue;
            }
            // Minutes outside the day cannot come from a segment; clamping keeps the casts safe.
            lo = std::min(lo,
                          static_cast<int>(std::floor(std::clamp(start, 0.0, kDayMinutes) / 60)));
            hi = std::max(hi,
                          static_cast<int>(std::ceil(std::clamp(end, 0.0, kDayMinutes + 1) / 60)));
        }
    }
    return TimeGridHourRange::normalized(lo, hi);
}

TimeGridHourRange fitted(const std::optional<TimeGridHourRange>& fit,
                         const std::vector<TimeGridDayEvents>& days, const Calendar& calendar) {
    return fit ? range(days, *fit, calendar) : TimeGridHourRange::wholeDay();
}

int mostAllDayEvents(const std::vector<TimeGridDayEvents>& days) {
    long most = 0;
    for (const TimeGridDayEvents& day : days) {
        most = std::max<long>(most, std::count_if(day.events.begin(), day.events.end(),
                                                  [](const CalEvent& e) { return e.isAllDay; }));
    }
    return static_cast<int>(most);
}

} // namespace TimeGridHours

} // namespace plannery
