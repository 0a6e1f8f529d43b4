#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace plannery {

// The merged events of a range and the days they fall on, each event held once: a day refers to
// the events that cover it instead of holding copies. An event that lasts ten years and repeats
// daily covers thousands of days with each occurrence; stored by day, its copies would grow with
// the occurrences times their days, while here memory grows with the occurrences alone.
class EventDays {
  public:
    EventDays() = default;
    // `events` in display order; `days` the starts of the range's days, ascending.
    EventDays(std::vector<CalEvent> events, std::vector<Instant> days, const Calendar& calendar);

    const std::vector<Instant>& days() const { return m_days; }
    const std::vector<CalEvent>& events() const { return m_events; }
    std::size_t size() const { return m_days.size(); }
    bool empty() const { return m_days.empty(); }

    // The events that cover one of the days, in display order; none for any other instant.
    std::vector<const CalEvent*> on(Instant day) const;

    // Every day in order with the events that cover it, in display order. One day's list exists
    // at a time, built from the previous day's, so a walk costs what it hands out.
    using Visit = std::function<void(Instant day, const std::vector<const CalEvent*>& events)>;
    void forEachDay(const Visit& visit) const;

  private:
    struct Span {
        std::uint32_t first = 0; // the first and last of the days the event covers
        std::uint32_t last = 0;
        bool covers(std::uint32_t day) const { return first <= day && day <= last; }
    };

    std::vector<CalEvent> m_events;
    std::vector<Instant> m_days;
    std::vector<Span> m_spans; // by event; a span with last < first covers none of the days
};

} // namespace plannery
