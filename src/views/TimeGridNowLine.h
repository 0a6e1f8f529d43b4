#pragma once

#include "grid/TimeGridMetrics.h"
#include "grid/TimeGridNow.h"
#include "grid/TimeGridPager.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "views/GridPalette.h"

#include <QTimer>

#include <functional>
#include <optional>

class QPainter;

namespace plannery {

// The time grid's current time: which day is today (its header shows the date on a red disc),
// the red line across today's column at the current minute, and the timer that moves it on at
// every whole minute while the grid is on screen. The clock is the system's unless a fixed one is
// given (pictures, tests).
class TimeGridNowLine {
  public:
    // `minutePassed` runs at every whole minute while the timer runs.
    explicit TimeGridNowLine(std::function<void()> minutePassed);

    void setClock(std::function<Instant()> clock);
    Instant now() const { return m_clock(); }
    // The start of today by the clock, in `calendar`.
    Instant today(const Calendar& calendar) const { return calendar.startOfDay(now()); }

    // The timer runs while the grid is shown.
    void start();
    void stop();

    // Places the line for the clock now, on today's column when the pager shows it. Whether
    // anything the user sees changed.
    bool place(const TimeGridPager& pager, const TimeGridMetrics& metrics);
    // Today as last placed (its header is today's); none before the first placing.
    std::optional<Instant> shownToday() const;
    // The line is on screen: today's column is, and now lies within the hours shown.
    bool shows() const { return m_state && m_state->visible && m_state->inHours; }
    double minute() const { return m_minute; }

    // The line and its dot, y in the hours' content coordinates.
    void paint(QPainter& painter, const GridPalette& palette, const TimeGridMetrics& metrics) const;

  private:
    std::function<Instant()> m_clock;
    std::function<void()> m_minutePassed;
    QTimer m_timer;
    std::optional<TimeGridNow> m_state;
    double m_minute = 0;
    double m_left = 0;
};

} // namespace plannery
