#pragma once

#include "model/Calendar.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <string>

namespace plannery {

// Tells when the local day or the system time zone changes: a timer to the next local midnight,
// and a look at the zone (and the day, which a suspended machine can miss) once a minute. The
// app connects the signals to the calendar store.
class DayWatcher final : public QObject {
    Q_OBJECT

  public:
    // `calendar` gives the user's calendar now (its zone is the system zone); `now` the clock.
    DayWatcher(std::function<Calendar()> calendar, std::function<Instant()> now,
               QObject* parent = nullptr);

    // Compares the zone and the day with the last ones seen, says what changed, and sets the
    // midnight timer again. The timers call it; the app may call it on wake.
    void check();
    // How long until the next day starts in the current calendar.
    std::chrono::milliseconds untilNextDay() const;

  signals:
    void dayChanged();
    void timeZoneChanged();

  private:
    void armMidnight();

    std::function<Calendar()> m_calendar;
    std::function<Instant()> m_now;
    std::string m_zoneId;
    Instant m_dayStart;
    QTimer m_midnight;
    QTimer m_minute;
};

} // namespace plannery
