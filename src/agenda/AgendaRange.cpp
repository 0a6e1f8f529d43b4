#include "agenda/AgendaRange.h"

#include <cmath>

namespace plannery {

AgendaRange AgendaRange::around(Instant anchor, const Calendar& calendar) {
    const Instant start = calendar.startOfDay(anchor);
    return AgendaRange{.start = start, .end = calendar.addDays(start, initialDays).value_or(start)};
}

AgendaRange AgendaRange::earlier(const Calendar& calendar) const {
    AgendaRange result = *this;
    result.start = calendar.addDays(start, -earlierDays).value_or(start);
    return result;
}

AgendaRange AgendaRange::later(const Calendar& calendar) const {
    AgendaRange result = *this;
    result.end = calendar.addDays(end, laterDays).value_or(end);
    return result;
}

AgendaRange AgendaRange::reaching(Instant day, const Calendar& calendar) const {
    if (!std::isfinite(day.seconds)) {
        return *this;
    }
    AgendaRange result = *this;
    if (day < start) {
        result.start = calendar.startOfDay(day);
    }
    if (day >= end) {
        result.end = calendar.addDays(day, laterDays).value_or(end);
    }
    const std::optional<Instant> limit = calendar.addDays(result.start, maxReachDays);
    if (!limit || result.end > *limit) {
        return around(day, calendar);
    }
    return result;
}

} // namespace plannery
