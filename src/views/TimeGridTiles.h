#pragma once

#include "grid/TimeGridMetrics.h"
#include "grid/TimeGridStrip.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "store/CalendarStore.h"
#include "views/TimeGridColumn.h"
#include "views/TimeGridHeader.h"

#include <functional>
#include <map>
#include <vector>

namespace plannery {

// The live day columns and headers of the time grid's strip, by column index, and the events
// they show. Only the columns near the visible ones are live; the others are parked in pools and
// taken again as the strip scrolls, so scrolling creates no tiles once the pools hold a page and
// its margins.
class TimeGridTiles {
  public:
    using EventsProvider = std::function<CalendarStore::EventList(Instant day)>;

    struct DayEvents {
        CalendarStore::EventList events;
        std::vector<CalEvent> allDay; // in display order
    };

    explicit TimeGridTiles(Calendar calendar);

    void setCalendar(Calendar calendar);
    void setProvider(EventsProvider provider);

    // The events of column `index`, whose day is `day`; asked of the provider once until
    // `forgetEvents`.
    const DayEvents& events(int index, Instant day);
    // Asks the provider for a day ahead of need, so that its store loads that month.
    void prefetch(Instant day);
    // The provider is asked again next time; live tiles keep their pictures until configured.
    void forgetEvents();

    // The live column and header of `index`, taken from the pools if needed and configured.
    TimeGridColumn& column(int index, Instant day, const TimeGridMetrics& metrics, double scale);
    TimeGridHeader& header(int index, Instant day, const TimeGridMetrics& metrics, bool isToday,
                           double scale);
    // Live tiles only; none when `index` has no live tile.
    TimeGridColumn* liveColumn(int index);
    TimeGridHeader* liveHeader(int index);

    // Parks every tile outside `keep` and forgets the events outside it.
    void keep(TimeGridColumnRange keep);
    // Parks every tile (a new strip).
    void parkAll();
    // The strip's base moved: column i is now column i - delta.
    void shift(int delta);

    std::vector<int> liveIndexes() const;
    // Tiles in existence, live and parked: bounded by the largest kept range.
    std::size_t tileCount() const;

  private:
    Calendar m_calendar;
    EventsProvider m_provider;
    std::map<int, DayEvents> m_events;
    std::map<int, TimeGridColumn> m_columns;
    std::map<int, TimeGridHeader> m_headers;
    std::vector<TimeGridColumn> m_columnPool;
    std::vector<TimeGridHeader> m_headerPool;
};

} // namespace plannery
