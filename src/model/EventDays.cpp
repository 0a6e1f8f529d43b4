#include "model/EventDays.h"

#include <algorithm>

namespace plannery {

EventDays::EventDays(std::vector<CalEvent> events, std::vector<Instant> days,
                     const Calendar& calendar)
    : m_events(std::move(events)), m_days(std::move(days)) {
    m_spans.reserve(m_events.size());
    for (const CalEvent& event : m_events) {
        // The days are exactly the starts of the range's days, so the event's days inside the
        // range run from the first day at or after its first day through the last day at or
        // before its last day; days outside the range are not counted.
        const Instant firstDay = calendar.startOfDay(event.start);
        const Instant lastDay = calendar.startOfDay(event.lastInstant());
        const auto first = std::lower_bound(m_days.begin(), m_days.end(), firstDay);
        const auto end = std::upper_bound(m_days.begin(), m_days.end(), lastDay);
        if (first >= end) {
            m_spans.push_back(Span{.first = 1, .last = 0});
            continue;
        }
        m_spans.push_back(Span{.first = static_cast<std::uint32_t>(first - m_days.begin()),
                               .last = static_cast<std::uint32_t>(end - m_days.begin() - 1)});
    }
}

std::vector<const CalEvent*> EventDays::on(Instant day) const {
    std::vector<const CalEvent*> events;
    const auto found = std::lower_bound(m_days.begin(), m_days.end(), day);
    if (found == m_days.end() || *found != day) {
        return events;
    }
    const auto index = static_cast<std::uint32_t>(found - m_days.begin());
    for (std::size_t i = 0; i < m_events.size(); ++i) {
        if (m_spans[i].covers(index)) {
            events.push_back(&m_events[i]);
        }
    }
    return events;
}

void EventDays::forEachDay(const Visit& visit) const {
    // The events by their first day, each day's in display order.
    std::vector<std::uint32_t> byFirstDay;
    for (std::uint32_t i = 0; i < m_events.size(); ++i) {
        if (m_spans[i].first <= m_spans[i].last) {
            byFirstDay.push_back(i);
        }
    }
    std::stable_sort(
        byFirstDay.begin(), byFirstDay.end(),
        [this](std::uint32_t a, std::uint32_t b) { return m_spans[a].first < m_spans[b].first; });
    // The events covering the current day, by position in display order.
    std::vector<std::uint32_t> covering;
    std::vector<const CalEvent*> list;
    auto next = byFirstDay.begin();
    for (std::uint32_t day = 0; day < m_days.size(); ++day) {
        std::erase_if(covering, [this, day](std::uint32_t i) { return m_spans[i].last < day; });
        const std::size_t kept = covering.size();
        for (; next != byFirstDay.end() && m_spans[*next].first == day; ++next) {
            covering.push_back(*next);
        }
        std::inplace_merge(covering.begin(), covering.begin() + static_cast<std::ptrdiff_t>(kept),
                           covering.end());
        list.clear();
        for (const std::uint32_t i : covering) {
            list.push_back(&m_events[i]);
        }
        visit(m_days[day], list);
    }
}

} // namespace plannery
