#include "grid/TimeGridSegment.h"

#include <algorithm>

namespace plannery {
namespace {

constexpr double kMinutesPerDay = 24 * 60;

// Minutes after the day's midnight on the wall clock: on a day with a clock change an instant
// keeps the minute its clock shows, so the column always runs from 0 to 1440. The wall clock
// moves with real time plus the change in the zone's offset since the day began; the day itself
// may begin after midnight where a clock change skips it.
class WallClock {
  public:
    WallClock(Instant dayStart, Instant dayEnd, const Calendar& calendar)
        : m_dayStart(dayStart), m_dayEnd(dayEnd), m_calendar(calendar),
          m_startOffset(calendar.utcOffsetSeconds(dayStart)) {
        const DateComponents c = calendar.components(dayStart);
        m_startMinute = c.hour * 60.0 + c.minute + c.second / 60.0;
    }

    double minute(Instant t) const {
        if (t < m_dayStart) {
            return 0;
        }
        if (t >= m_dayEnd) {
            return kMinutesPerDay;
        }
        const double offsetChange = m_calendar.utcOffsetSeconds(t) - m_startOffset;
        const double minute = m_startMinute + (t.since(m_dayStart) + offsetChange) / 60;
        return std::clamp(minute, 0.0, kMinutesPerDay);
    }

  private:
    Instant m_dayStart;
    Instant m_dayEnd;
    const Calendar& m_calendar;
    int m_startOffset = 0;
    double m_startMinute = 0;
};

} // namespace

std::vector<TimeGridSegment> TimeGridSegment::segments(const std::vector<CalEvent>& events,
                                                       Instant day, const Calendar& calendar) {
    std::vector<TimeGridSegment> result;
    const Instant dayStart = calendar.startOfDay(day);
    const std::optional<Instant> next = calendar.addDays(dayStart, 1);
    if (!next || !(*next > dayStart)) {
        return result;
    }
    const Instant dayEnd = *next;
    const WallClock clock(dayStart, dayEnd, calendar);
    for (const CalEvent& event : events) {
        if (event.isAllDay) {
            continue;
        }
        const Instant start = event.start;
        const Instant end = event.end;
        // A zero-length event belongs to the day it starts in, so one at midnight shows at the
        // top of its own day and not at the bottom of the day before.
        const bool zeroLengthInside = end == start && start >= dayStart;
        if (!(start < dayEnd) || !(end > dayStart || zeroLengthInside)) {
            continue;
        }
        const double startMinute = clock.minute(start);
        const double endMinute = clock.minute(end);
        result.push_back(TimeGridSegment{
            .event = event,
            .startMinute = startMinute,
            .endMinute = std::max(endMinute, startMinute),
            .continuesBefore = start<dayStart, .continuesAfter = end> dayEnd,
        });
    }
    return result;
}

} // namespace plannery
