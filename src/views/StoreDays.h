#pragma once

#include "views/DaySource.h"

#include <QtGlobal>

#include <map>
#include <set>

namespace plannery {

class CalendarStore;

// The days of the calendar store, as one view asks for them. A request asks the store for the
// days not yet held here and takes those whose months are loaded; the others are waited for and
// taken when the store has loaded them, and `arrived` tells the view. Painting reads only what is
// held, so it never reaches the store (and the disk behind it). Days a few months from the latest
// request are let go. A new store revision forgets every day and tells the view to ask again.
class StoreDays final : public DaySource {
    Q_OBJECT

  public:
    explicit StoreDays(CalendarStore& store, QObject* parent = nullptr);

    Calendar calendar() const override;
    void request(Instant from, Instant to) override;
    EventList events(Instant day) const override;

  private:
    void monthsLoaded();
    // Lets go of the days before `from` and from `to` on.
    void forgetFarFrom(Instant from, Instant to);

    CalendarStore& m_store;
    quint64 m_revision = 0;
    std::map<Instant, EventList> m_days;
    std::set<Instant> m_waiting; // asked for, their month still loading
};

} // namespace plannery
