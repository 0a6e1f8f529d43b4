#include "views/StoreDays.h"

#include "store/CalendarStore.h"

#include <cmath>
#include <optional>

namespace plannery {

namespace {

// Days held this far either side of the latest request: paging back and forth a few pages finds
// them here, and a view browsed through years holds only the months around what it shows.
constexpr int kHeldDaysAround = 92;

} // namespace

StoreDays::StoreDays(CalendarStore& store, QObject* parent)
    : DaySource(parent), m_store(store), m_revision(store.revision()) {
    connect(&m_store, &CalendarStore::revisionChanged, this, [this] {
        if (m_store.revision() == m_revision) {
            return;
        }
        m_revision = m_store.revision();
        m_days.clear();
        m_waiting.clear();
        emit changed();
    });
    connect(&m_store, &CalendarStore::monthsLoaded, this, &StoreDays::monthsLoaded);
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
    const auto take = [&](Instant until) {
        m_store.request(*missingFrom, until);
        for (Instant day = *missingFrom; day < until;) {
            if (EventList events = m_store.loaded(day)) {
                m_waiting.erase(day);
                m_days.emplace(day, std::move(events));
            } else {
                m_waiting.insert(day);
            }
            const std::optional<Instant> next = calendar.addDays(day, 1);
            if (!next || *next <= day) {
                break;
            }
            day = *next;
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
            take(day);
        }
        const std::optional<Instant> next = calendar.addDays(day, 1);
        if (!next || *next <= day) {
            break;
        }
        day = *next;
    }
    if (missingFrom) {
        take(to);
    }
    forgetFarFrom(calendar.addDays(calendar.startOfDay(from), -kHeldDaysAround).value_or(from),
                  calendar.addDays(to, kHeldDaysAround).value_or(to));
}

void StoreDays::forgetFarFrom(Instant from, Instant to) {
    m_days.erase(m_days.begin(), m_days.lower_bound(from));
    m_days.erase(m_days.lower_bound(to), m_days.end());
    m_waiting.erase(m_waiting.begin(), m_waiting.lower_bound(from));
    m_waiting.erase(m_waiting.lower_bound(to), m_waiting.end());
}

DaySource::EventList StoreDays::events(Instant day) const {
    const auto it = m_days.find(day);
    return it == m_days.end() ? nullptr : it->second;
}

void StoreDays::monthsLoaded() {
    bool any = false;
    for (auto day = m_waiting.begin(); day != m_waiting.end();) {
        if (EventList events = m_store.loaded(*day)) {
            m_days.emplace(*day, std::move(events));
            day = m_waiting.erase(day);
            any = true;
        } else {
            ++day;
        }
    }
    if (any) {
        emit arrived();
    }
}

} // namespace plannery
