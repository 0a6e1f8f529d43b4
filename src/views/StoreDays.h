#pragma once

#include "views/DaySource.h"

#include <QtGlobal>

#include <map>

namespace plannery {

class CalendarStore;

// The days of the calendar store, as one view asks for them. A request reads from the store the
// days not yet held here; painting then reads only what is held, so it never reaches the store
// (and the disk behind it). A new store revision forgets every day and tells the view to ask
// again.
class StoreDays final : public DaySource {
    Q_OBJECT

  public:
    explicit StoreDays(CalendarStore& store, QObject* parent = nullptr);

    Calendar calendar() const override;
    void request(Instant from, Instant to) override;
    EventList events(Instant day) const override;

  private:
    CalendarStore& m_store;
    quint64 m_revision = 0;
    std::map<Instant, EventList> m_days;
};

} // namespace plannery
