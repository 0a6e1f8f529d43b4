#pragma once

#include "grid/TimeGridPager.h"
#include "grid/TimeGridSpan.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "views/DaySource.h"

#include <QPointer>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

namespace plannery {

// What the time grid asks for ahead of the screen. The days of a page and a page on either side
// are asked for as soon as the grid heads for it, so that a drag brings in columns that are ready.
// Once the grid rests, the weeks about the page are asked for on the next turn of the event loop
// (the store loads the months beside it), and the days beside the page are handed one per turn
// to `prepare`, which draws their tiles, so that paging to them only copies pixels.
class TimeGridReadAhead {
  public:
    // `prepare` draws a day's tiles; it answers false when the grid is busy and the rest waits.
    TimeGridReadAhead(TimeGridSpan span, std::function<bool(Instant day)> prepare);

    void setSource(DaySource* source);
    // Everything changed: the next `around` asks again.
    void forget() { m_asked.reset(); }
    // Asks for the page that starts on `page` and a page on either side, unless it was the last
    // one asked for.
    void around(Instant page, const Calendar& calendar);
    // The grid rests on its page.
    void rest(const TimeGridPager& pager);
    // Nothing more is drawn ahead until the grid rests again.
    void stop();

  private:
    void prepareNext();

    TimeGridSpan m_span;
    std::function<bool(Instant)> m_prepare;
    QPointer<DaySource> m_source;
    std::optional<Instant> m_asked;
    QTimer m_prefetch;
    Instant m_prefetchFrom{};
    Instant m_prefetchTo{};
    QTimer m_prepareTimer;
    std::vector<Instant> m_toPrepare; // the nearest last
};

} // namespace plannery
