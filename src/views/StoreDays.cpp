#include "views/StoreDays.h"

#include "store/CalendarStore.h"

#include <cmath>

namespace plannery {

StoreDays::StoreDays(CalendarStore& store, QObject* parent)
    : DaySource(parent), m_store(store), m_revision(store.revision()) {
    connect(&m_store, &CalendarStore::revisionChanged, this, [this] {
        if (m_store.revision() == m_revision) {
            return;
        }
        m_revision = m_store.revision();
        m_days.clear();
        emit changed();
    });
}

Calendar StoreDays::calendar() const {
    return m_store.calendar();
}

void StoreDays::request(Instant from, Instant to) {
    if (!std::isfinite(from.seconds) || !std::isfinite(to.seconds)) {
        return;
    }
    const Calendar& calendar = m_store.calendar();
    // Only the runs of days not held yet go to the store.
    std::optional<Instant> missingFrom;
    const auto fetch = [&](Instant until) {
        for (auto& [day, events] : m_store.days(*missingFrom, until)) {
            m_days.insert_or_assign(day, std::move(events));
        }
        missingFrom.reset();
    };
    Instant day = calendar.startOfDay(from);
    while (day < to) {
        if (!m_days.contains(day)) {
            if (!missingFrom) {
                missingFrom = day;
            }
        } else if (missingFrom) {
            fetch(day);
        }
        const std::optional<Instant> next = calendar.addDays(day, 1);
        if (!next || *next <= day) {
            break;
        }
        day = *next;
    }
    if (missingFrom) {
        fetch(to);
    }
}

DaySource::EventList StoreDays::events(Instant day) const {
    const auto it = m_days.find(day);
    return it == m_days.end() ? nullptr : it->second;
}

} // namespace plannery
