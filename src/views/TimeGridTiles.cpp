#include "views/TimeGridTiles.h"

#include <utility>

namespace plannery {

namespace {

template <typename Map> Map shifted(Map& map, int delta) {
    Map moved;
    for (auto& [index, value] : map) {
        moved.emplace(index - delta, std::move(value));
    }
    return moved;
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

void TimeGridTiles::setProvider(EventsProvider provider) {
    m_provider = std::move(provider);
    m_events.clear();
}

const TimeGridTiles::DayEvents& TimeGridTiles::events(int index, Instant day) {
    if (const auto it = m_events.find(index); it != m_events.end()) {
        return it->second;
    }
    DayEvents entry;
    if (m_provider) {
        entry.events = m_provider(day);
    }
    if (entry.events) {
        for (const CalEvent& event : *entry.events) {
            if (event.isAllDay && !event.calendars.empty()) {
                entry.allDay.push_back(event);
            }
        }
    }
    return m_events.emplace(index, std::move(entry)).first->second;
}

void TimeGridTiles::prefetch(Instant day) {
    if (m_provider) {
        m_provider(day);
    }
}

void TimeGridTiles::forgetEvents() {
    m_events.clear();
}

TimeGridColumn& TimeGridTiles::column(int index, Instant day, const TimeGridMetrics& metrics,
                                      double scale) {
    auto it = m_columns.find(index);
    if (it == m_columns.end()) {
        if (m_columnPool.empty()) {
            it = m_columns.emplace(index, TimeGridColumn(m_calendar)).first;
        } else {
            it = m_columns.emplace(index, std::move(m_columnPool.back())).first;
            m_columnPool.pop_back();
        }
    }
    it->second.configure(day, events(index, day).events, metrics, scale);
    return it->second;
}

TimeGridHeader& TimeGridTiles::header(int index, Instant day, const TimeGridMetrics& metrics,
                                      bool isToday, double scale) {
    auto it = m_headers.find(index);
    if (it == m_headers.end()) {
        if (m_headerPool.empty()) {
            it = m_headers.emplace(index, TimeGridHeader(m_calendar)).first;
        } else {
            it = m_headers.emplace(index, std::move(m_headerPool.back())).first;
            m_headerPool.pop_back();
        }
    }
    it->second.configure(day, events(index, day).allDay, metrics, isToday, scale);
    return it->second;
}

TimeGridColumn* TimeGridTiles::liveColumn(int index) {
    const auto it = m_columns.find(index);
    return it == m_columns.end() ? nullptr : &it->second;
}

TimeGridHeader* TimeGridTiles::liveHeader(int index) {
    const auto it = m_headers.find(index);
    return it == m_headers.end() ? nullptr : &it->second;
}

void TimeGridTiles::keep(TimeGridColumnRange keep) {
    const auto outside = [&](int index) { return index < keep.first || index > keep.last; };
    for (auto it = m_columns.begin(); it != m_columns.end();) {
        if (outside(it->first)) {
            m_columnPool.push_back(std::move(it->second));
            it = m_columns.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = m_headers.begin(); it != m_headers.end();) {
        if (outside(it->first)) {
            m_headerPool.push_back(std::move(it->second));
            it = m_headers.erase(it);
        } else {
            ++it;
        }
    }
    std::erase_if(m_events, [&](const auto& item) { return outside(item.first); });
}

void TimeGridTiles::parkAll() {
    for (auto& [index, column] : m_columns) {
        m_columnPool.push_back(std::move(column));
    }
    for (auto& [index, header] : m_headers) {
        m_headerPool.push_back(std::move(header));
    }
    m_columns.clear();
    m_headers.clear();
    m_events.clear();
}

void TimeGridTiles::shift(int delta) {
    if (delta == 0) {
        return;
    }
    m_columns = shifted(m_columns, delta);
    m_headers = shifted(m_headers, delta);
    m_events = shifted(m_events, delta);
}

std::vector<int> TimeGridTiles::liveIndexes() const {
    std::vector<int> indexes;
    for (const auto& [index, column] : m_columns) {
        indexes.push_back(index);
    }
    return indexes;
}

std::size_t TimeGridTiles::tileCount() const {
    return m_columns.size() + m_columnPool.size() + m_headers.size() + m_headerPool.size();
}

} // namespace plannery
