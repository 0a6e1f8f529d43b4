#include "views/TimeGridTiles.h"

#include "views/TileWorkers.h"

#include <algorithm>
#include <utility>

namespace plannery {

namespace {

// Moves the entries of `live` whose day is not in `days` (sorted) to `pool`, without what they
// held of their day: a pooled tile is configured for another day before it is used again, and
// its pictures and events would only keep memory (and the store's old day lists) alive.
template <typename Tile>
void park(std::map<Instant, Tile>& live, std::vector<Tile>& pool,
          const std::vector<Instant>& days) {
    for (auto it = live.begin(); it != live.end();) {
        if (std::binary_search(days.begin(), days.end(), it->first)) {
            ++it;
        } else {
            it->second.release();
            pool.push_back(std::move(it->second));
            it = live.erase(it);
        }
    }
}

// The live tile of `day`, taken from the pool or made.
template <typename Tile>
Tile& take(std::map<Instant, Tile>& live, std::vector<Tile>& pool, Instant day,
           const Calendar& calendar) {
    auto it = live.find(day);
    if (it == live.end()) {
        if (pool.empty()) {
            it = live.emplace(day, Tile(calendar)).first;
        } else {
            it = live.emplace(day, std::move(pool.back())).first;
            pool.pop_back();
        }
    }
    return it->second;
}

} // namespace

TimeGridTiles::TimeGridTiles(Calendar calendar) : m_calendar(std::move(calendar)) {}

void TimeGridTiles::setCalendar(Calendar calendar) {
    m_calendar = std::move(calendar);
    // Tiles remember their calendar; pictures made with the old one must not be reused.
    m_columns.clear();
    m_headers.clear();
    m_columnPool.clear();
    m_headerPool.clear();
    m_events.clear();
}

void TimeGridTiles::setSource(const DaySource* source) {
    m_source = source;
    m_events.clear();
}

const TimeGridTiles::DayEvents& TimeGridTiles::events(Instant day) {
    if (const auto it = m_events.find(day); it != m_events.end()) {
        return it->second;
    }
    DayEvents entry;
    if (m_source) {
        entry.events = m_source->events(day);
    }
    if (entry.events) {
        for (const CalEvent& event : *entry.events) {
            if (event.isAllDay && !event.calendars.empty()) {
                entry.allDay.push_back(event);
            }
        }
    }
    return m_events.emplace(day, std::move(entry)).first->second;
}

void TimeGridTiles::forgetEvents() {
    m_events.clear();
}

TimeGridColumn& TimeGridTiles::column(Instant day, const TimeGridMetrics& metrics, double scale) {
    TimeGridColumn& column = take(m_columns, m_columnPool, day, m_calendar);
    column.configure(day, events(day).events, metrics, scale);
    return column;
}

std::vector<TimeGridColumn*> TimeGridTiles::columns(const std::vector<Instant>& days,
                                                    const TimeGridMetrics& metrics, double scale) {
    // The maps change on this thread only; each column that changed then lays itself out with a
    // calendar of its own.
    std::vector<TimeGridColumn*> result;
    std::vector<std::pair<TimeGridColumn*, std::size_t>> changed;
    std::vector<DaySource::EventList> lists;
    for (std::size_t i = 0; i < days.size(); ++i) {
        TimeGridColumn& column = take(m_columns, m_columnPool, days[i], m_calendar);
        result.push_back(&column);
        lists.push_back(events(days[i]).events);
        if (column.changes(days[i], lists[i], metrics, scale)) {
            changed.emplace_back(&column, i);
        }
    }
    TileWorkers::forEach(changed.size(), [&](std::size_t k) {
        const auto [column, i] = changed[k];
        column->configure(days[i], lists[i], metrics, scale);
    });
    return result;
}

TimeGridHeader& TimeGridTiles::header(Instant day, const TimeGridMetrics& metrics, bool isToday,
                                      double scale) {
    TimeGridHeader& header = take(m_headers, m_headerPool, day, m_calendar);
    header.configure(day, events(day).allDay, metrics, isToday, scale);
    return header;
}

void TimeGridTiles::keep(const std::vector<Instant>& days) {
    std::vector<Instant> sorted = days;
    std::sort(sorted.begin(), sorted.end());
    park(m_columns, m_columnPool, sorted);
    park(m_headers, m_headerPool, sorted);
    std::erase_if(m_events, [&](const auto& item) {
        return !std::binary_search(sorted.begin(), sorted.end(), item.first);
    });
}

std::size_t TimeGridTiles::tileCount() const {
    return m_columns.size() + m_columnPool.size() + m_headers.size() + m_headerPool.size();
}

} // namespace plannery
