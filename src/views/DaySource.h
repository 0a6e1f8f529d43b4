#pragma once

#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <QObject>

#include <memory>
#include <vector>

namespace plannery {

// Where a view finds the events of the days it shows. A view asks for the days it is about to
// show, never while it paints; the days already loaded are there when `request` returns, the
// others come later and `arrived` says so. Painting reads only what is loaded: a day still on its
// way paints without events until it arrives. Main thread only.
class DaySource : public QObject {
    Q_OBJECT

  public:
    // A day's events in display order, shared and never changed, so a view may keep them.
    using EventList = std::shared_ptr<const std::vector<CalEvent>>;

    explicit DaySource(QObject* parent = nullptr);
    ~DaySource() override;

    // The calendar the days are counted in: the user's zone, locale and first weekday.
    virtual Calendar calendar() const = 0;
    // Asks for the days from the day of `from` while they start before `to`.
    virtual void request(Instant from, Instant to) = 0;
    // The events of the day that starts at `day`; null while the day has not been loaded.
    virtual EventList events(Instant day) const = 0;

  signals:
    // Days that were asked for have arrived: views paint again.
    void arrived();
    // Any day may differ now (events, hidden calendars, the calendar itself): views forget what
    // they read and ask again.
    void changed();
};

} // namespace plannery
