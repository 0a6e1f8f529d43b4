#pragma once

#include "model/CalEvent.h"
#include "model/Instant.h"
#include "views/GridPalette.h"

#include <QFont>
#include <QRectF>

class QPainter;

namespace plannery {

// Draws one event of a four-weeks day cell as a small chip: a capsule bar in the colours of the
// event's calendars and its title on one line. All-day events sit on a tint of their calendar;
// declined and finished timed events are faded, cancelled ones struck through.
class MonthEventChip {
  public:
    MonthEventChip();

    // `row` is the full event row of the cell (15 points high).
    void paint(QPainter& painter, const QRectF& row, const CalEvent& event,
               const GridPalette& palette, Instant now) const;

  private:
    QFont m_regular;
    QFont m_semibold;
};

} // namespace plannery
