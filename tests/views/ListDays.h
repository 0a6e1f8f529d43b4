#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "views/DaySource.h"

#include <map>
#include <set>
#include <vector>

namespace plannery::test {

// The days a view asked for, from the day of `from` while they start before `to`.
struct Request {
    Instant from{};
    Instant to{};

    friend bool operator==(const Request&, const Request&) = default;
};

// A day source over a list of events, as a test sets it up: each day holds the events that touch
// it, once asked for. It writes down every request; while `deferred`, the days asked for arrive
// only when the test delivers them, as from a store that loads months in the background.
class ListDays final : public DaySource {
  public:
    explicit ListDays(Calendar calendar, std::vector<CalEvent> events = {});

    Calendar calendar() const override { return m_calendar; }
    void request(Instant from, Instant to) override;
    EventList events(Instant day) const override;

    const std::vector<Request>& requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }
    // Requested days stay pending until `deliver`.
    void setDeferred(bool deferred) { m_deferred = deferred; }
    // The pending days arrive.
    void deliver();
    // New events or another calendar: every day is forgotten and the views are told.
    void change(std::vector<CalEvent> events);
    void change(Calendar calendar);
    const std::vector<CalEvent>& all() const { return m_events; }

  private:
    void index();

    Calendar m_calendar;
    std::vector<CalEvent> m_events;
    std::map<Instant, EventList> m_byDay;
    std::set<Instant> m_loaded;
    std::set<Instant> m_pending;
    std::vector<Request> m_requests;
    bool m_deferred = false;
};

} // namespace plannery::test
