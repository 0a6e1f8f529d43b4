#pragma once

#include "grid/TimeGridMetrics.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "views/DaySource.h"
#include "views/TimeGridColumn.h"
#include "views/TimeGridHeader.h"

#include <QPointer>

#include <map>
#include <vector>

namespace plannery {

// The live day columns and headers of the time grid, by day, and the events they show as the day
// source has them loaded. Only the days near the visible ones are live; the others are parked in
// pools and taken again as the grid scrolls, so scrolling creates no tiles once the pools hold a
// page and its margins.
class TimeGridTiles {
  public:
    struct DayEvents {
        DaySource::EventList events;  // null while the day is not loaded
        std::vector<CalEvent> allDay; // in display order
    };

    explicit TimeGridTiles(Calendar calendar);

    void setCalendar(Calendar calendar);
    // Where the events come from; read only, so drawing can never ask the store for more.
    void setSource(const DaySource* source);

    // The events of the day that starts at `day`, read from the source once until
    // `forgetEvents`.
    const DayEvents& events(Instant day);
    // The source is read again next time; live tiles keep their pictures until configured.
    void forgetEvents();

    // The live column and header of `day`, taken from the pools if needed and configured.
    TimeGridColumn& column(Instant day, const TimeGridMetrics& metrics, double scale);
    TimeGridHeader& header(Instant day, const TimeGridMetrics& metrics, bool isToday, double scale);
    // The live columns of `days`, configured as `column` does, those whose tiles must be laid out
    // anew on the tile workers at once.
    std::vector<TimeGridColumn*> columns(const std::vector<Instant>& days,
                                         const TimeGridMetrics& metrics, double scale);

    // Parks every tile whose day is not in `days` and forgets the events outside them.
    void keep(const std::vector<Instant>& days);
    // Tiles in existence, live and parked: bounded by the most days kept at once.
    std::size_t tileCount() const;
    // Days whose columns are live, with their tiles laid out and drawn.
    std::size_t liveDays() const { return m_columns.size(); }

  private:
    Calendar m_calendar;
    QPointer<const DaySource> m_source;
    std::map<Instant, DayEvents> m_events;
    std::map<Instant, TimeGridColumn> m_columns;
    std::map<Instant, TimeGridHeader> m_headers;
    std::vector<TimeGridColumn> m_columnPool;
    std::vector<TimeGridHeader> m_headerPool;
};

} // namespace plannery
