#include "grid/TimeGridAnchor.h"

namespace plannery::TimeGridAnchor {

std::optional<Instant> writeBack(Instant current, Instant installed,
                                 std::optional<Instant> lastReported, Instant report) {
    if (current != installed && lastReported != current) {
        return std::nullopt;
    }
    if (report == current) {
        return std::nullopt;
    }
    return report;
}

Received receive(Instant anchor, std::optional<Instant> lastReceived,
                 std::optional<Instant> ownReport, bool laidOut, const Calendar& calendar) {
    const Instant day = calendar.startOfDay(anchor);
    if (lastReceived && calendar.startOfDay(*lastReceived) == day) {
        return Received::ignore;
    }
    if (ownReport && calendar.startOfDay(*ownReport) == day) {
        return Received::ignore;
    }
    return laidOut ? Received::scroll : Received::remember;
}

} // namespace plannery::TimeGridAnchor
