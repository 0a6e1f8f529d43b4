#pragma once

#include "grid/TimeGridMetrics.h"
#include "grid/TimeGridNewEvent.h"
#include "model/Calendar.h"
#include "views/GridPalette.h"

#include <QRectF>
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

    // A press at `minute` of `day` within the hours shown.
    void begin(Instant day, double minute, int startHour, int endHour);
    // The pointer moved to `minute`; whether the proposal changed.
    bool drag(double minute, int startHour, int endHour);
    // The press ended: the proposed start and end unless cancelled (or not placeable in the
    // calendar). The ghost fades either way.
    std::optional<std::pair<Instant, Instant>> end(bool cancelled, const Calendar& calendar);

    // Draws the ghost at its day's column (`left` is its x; none when the day is off screen),
    // clipped to `hours`, the visible hours right of the gutter.
    void paint(QPainter& painter, const GridPalette& palette, const Calendar& calendar,
               const TimeGridMetrics& metrics, double contentTop, std::optional<double> left,
               QRectF hours) const;
    // The day whose column the ghost is on, while there is one.
    std::optional<Instant> day() const;

  private:
    std::optional<TimeGridNewEvent> m_pending;
    std::optional<TimeGridNewEvent> m_ghost; // shown while proposed and while fading after
    double m_alpha = 0;
    QVariantAnimation m_fade;
};

} // namespace plannery
