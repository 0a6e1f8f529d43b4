#include "agenda/AgendaRowLook.h"

namespace plannery::AgendaRowLook {

double opacity(const CalEvent& event, Instant now) {
    if (event.isDeclined) {
        return declinedOpacity;
    }
    if (!event.isAllDay && event.end < now) {
        return pastOpacity;
    }
    return 1;
}

double fillAlpha(const CalEvent& event) {
    return event.isAllDay ? allDayFillAlpha : timedFillAlpha;
}

} // namespace plannery::AgendaRowLook
