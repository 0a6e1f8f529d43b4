#include "grid/TimeGridNewEvent.h"

#include "grid/TimeGridText.h"

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

constexpr double kSlot = 15;
constexpr double kProposed = 60;

} // namespace

double TimeGridNewEvent::slot(double minute, int startHour, int endHour) {
    const double lo = startHour * 60.0;
    const double hi = std::max(endHour * 60.0, lo + kSlot);
    if (!std::isfinite(minute)) {
        return lo;
    }
    return std::clamp(std::floor(minute / kSlot) * kSlot, lo, hi - kSlot);
}

TimeGridNewEvent TimeGridNewEvent::begin(Instant day, double minute, int startHour, int endHour) {
    const double start = slot(minute, startHour, endHour);
    const double hi = std::max(endHour * 60.0, startHour * 60.0 + kSlot);
    return TimeGridNewEvent{.day = day,
                            .anchor = start,
                            .range =
                                Stretch{.lower = start, .upper = std::min(start + kProposed, hi)},
                            .moved = false};
}

TimeGridNewEvent TimeGridNewEvent::dragged(double minute, int startHour, int endHour) const {
    const double at = slot(minute, startHour, endHour);
    if (!moved && at == anchor) {
        return *this;
    }
    TimeGridNewEvent next = *this;
    next.range = Stretch{.lower = std::min(at, anchor), .upper = std::max(at, anchor) + kSlot};
    next.moved = true;
    return next;
}

std::optional<Instant> TimeGridNewEvent::instant(Instant dayStart, double minute,
                                                 const Calendar& calendar) {
    if (!std::isfinite(minute)) {
        return std::nullopt;
    }
    if (minute >= 1440) {
        return calendar.addDays(dayStart, 1);
    }
    const auto day = calendar.components(dayStart);
    const int whole = static_cast<int>(std::max(minute, 0.0));
    auto at = calendar.date(day.year, day.month, day.day, whole / 60, whole % 60);
    if (!at) {
        return std::nullopt;
    }
    // A time the clocks skip becomes the first one after the gap (03:00 for 02:30 on a spring
    // night), not the same distance past it: walk back to where the gap ends.
    const auto minuteOfDay = [&](Instant t) {
        const auto parts = calendar.components(t);
        return parts.day == day.day ? parts.hour * 60 + parts.minute : 1440 + parts.minute;
    };
    for (int steps = 0; steps < 1440 && minuteOfDay(*at) > whole &&
                        minuteOfDay(at->plus(-60)) > whole && at->plus(-60) > dayStart;
         ++steps) {
        *at = at->plus(-60);
    }
    return at;
}

std::string TimeGridNewEvent::label(Instant start, Instant end, const Calendar& calendar) {
    return "New Event\n" + TimeGridText::shortTime(start, calendar) + " \u2013 " +
           TimeGridText::shortTime(end, calendar);
}

} // namespace plannery
