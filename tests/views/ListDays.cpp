#include "ListDays.h"

#include <memory>

namespace plannery::test {

ListDays::ListDays(Calendar calendar, std::vector<CalEvent> events)
    : m_calendar(std::move(calendar)), m_events(std::move(events)) {
    index();
}

void ListDays::index() {
    std::map<Instant, std::vector<CalEvent>> lists;
    for (const CalEvent& event : m_events) {
        for (const Instant day : event.days(m_calendar)) {
            lists[day].push_back(event);
        }
    }
    m_byDay.clear();
    for (auto& [day, list] : lists) {
        m_byDay[day] = std::make_shared<const std::vector<CalEvent>>(std::move(list));
    }
}

void ListDays::request(Instant from, Instant to) {
    m_requests.push_back(Request{.from = from, .to = to});
    for (Instant day = m_calendar.startOfDay(from); day < to; day = *m_calendar.addDays(day, 1)) {
        if (!m_loaded.contains(day)) {
            (m_deferred ? m_pending : m_loaded).insert(day);
        }
    }
}

DaySource::EventList ListDays::events(Instant day) const {
    if (!m_loaded.contains(day)) {
        return nullptr;
    }
    static const EventList none = std::make_shared<const std::vector<CalEvent>>();
    const auto it = m_byDay.find(day);
    return it == m_byDay.end() ? none : it->second;
}

void ListDays::deliver() {
    m_loaded.merge(m_pending);
    m_pending.clear();
    emit arrived();
}

void ListDays::change(std::vector<CalEvent> events) {
    m_events = std::move(events);
    index();
    m_loaded.clear();
    m_pending.clear();
    emit changed();
}

void ListDays::change(Calendar calendar) {
    m_calendar = std::move(calendar);
    index();
    m_loaded.clear();
    m_pending.clear();
    emit changed();
}

} // namespace plannery::test
