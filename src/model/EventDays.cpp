#include "model/EventDays.h"

#include <algorithm>

namespace plannery {

EventDays::EventDays(std::vector<CalEvent> events, std::vector<Instant> days,
                     const Calendar& calendar)
    : m_events(std::move(events)), m_days(std::move(days)) {
    // Where each day ends. The days need not follow each other, so the next day's start is not
    // the end; asked once per day here, not twice per event.
    std::vector<Instant> ends;
    ends.reserve(m_days.size());
    for (const Instant day : m_days) {
        const std::optional<DateInterval> interval = calendar.dayInterval(day);
        ends.push_back(interval ? interval->end : day);
    }
    m_spans.reserve(m_events.size());
    for (const CalEvent& event : m_events) {
        // The event covers the days from the first that ends after its start through the last
        // that starts at or before its last instant; days outside the range are not counted.
        const auto first = std::upper_bound(ends.begin(), ends.end(), event.start);
        const auto end = std::upper_bound(m_days.begin(), m_days.end(), event.lastInstant());
        const auto firstIndex = first - ends.begin();
        const auto endIndex = end - m_days.begin();
        if (firstIndex >= endIndex) {
            m_spans.push_back(Span{.first = 1, .last = 0});
            continue;
        }
        m_spans.push_back(Span{.first = static_cast<std::uint32_t>(firstIndex),
                               .last = static_cast<std::uint32_t>(endIndex - 1)});
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
