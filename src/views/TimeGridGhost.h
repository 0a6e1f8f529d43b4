#pragma once

#include "grid/TimeGridHourScroll.h"
#include "grid/TimeGridNewEvent.h"
#include "grid/TimeGridPager.h"
#include "model/Calendar.h"
#include "views/GridPalette.h"

#include <QPointF>
#include <QSizeF>
#include <QVariantAnimation>

#include <optional>
#include <utility>

class QPainter;
class QWidget;

namespace plannery {

// A new event being proposed by pressing and dragging on empty hours of the time grid, and its
// ghost: a tinted tile with "New Event" and the times, shown while the proposal lasts, held half
// a second after it ends and then faded out.
class TimeGridGhost {
  public:
    // `view` is repainted while the ghost fades.
    explicit TimeGridGhost(QWidget& view);

    const std::optional<TimeGridNewEvent>& pending() const { return m_pending; }

    // A press at `p` (view coordinates): a proposal when it is on a day's hours.
    bool begin(const TimeGridPager& pager, const TimeGridHourScroll& hours, QPointF p);
    // The pointer moved to `p`; whether the proposal changed.
    bool drag(const TimeGridHourScroll& hours, QPointF p);
    // The press ended: the proposed start and end unless cancelled (or not placeable in the
    // calendar). The ghost fades either way.
    std::optional<std::pair<Instant, Instant>> end(bool cancelled, const Calendar& calendar);

    // Draws the ghost on its day's column, within the visible hours of a view of `size`.
    void paint(QPainter& painter, const GridPalette& palette, const TimeGridPager& pager,
               const TimeGridHourScroll& hours, QSizeF size) const;

  private:
    std::optional<TimeGridNewEvent> m_pending;
    std::optional<TimeGridNewEvent> m_ghost; // shown while proposed and while fading after
    double m_alpha = 0;
    QVariantAnimation m_fade;
};

} // namespace plannery
