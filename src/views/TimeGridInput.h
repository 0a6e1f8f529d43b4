#pragma once

#include "grid/SwipeVelocity.h"
#include "views/QuietTimer.h"

#include <QPointF>

#include <cstdint>
#include <optional>

class QEvent;
class QKeyEvent;
class QMouseEvent;
class QNativeGestureEvent;
class QWheelEvent;

namespace plannery {

class TimeGridView;

// Turns mouse, touchpad and keyboard events into the time grid's gestures: a click selects, a
// press held or dragged on empty space proposes a new event, two-finger scrolling moves hours
// and days (snapping to pages when the fingers lift), a mouse wheel scrolls hours and, with
// Shift, pages days, Ctrl+wheel and a pinch zoom the hours, and Page Up/Down and the arrows
// page.
class TimeGridInput {
  public:
    explicit TimeGridInput(TimeGridView& view);

    // Whether the event was the grid's to handle.
    bool handle(QEvent* event);

  private:
    bool mousePress(QMouseEvent* event);
    bool mouseMove(QMouseEvent* event);
    bool mouseRelease(QMouseEvent* event);
    bool wheel(QWheelEvent* event);
    bool nativeGesture(QNativeGestureEvent* event);
    bool key(QKeyEvent* event);
    void swipe(std::uint64_t ms, double dx);
    void endSwipe(std::optional<std::uint64_t> ms);
    void zoomWheel(double angle, double pointerY);

    enum class Axis { none, horizontal, vertical };

    TimeGridView& m_view;

    // A left-button press: where, whether it turned into a new event or a drag that is not one.
    std::optional<QPointF> m_pressAt;
    bool m_creating = false;
    bool m_pressMoved = false;
    QuietTimer m_hold;

    // Two-finger scrolling, locked to the axis it started on until the fingers rest, with the
    // speed of its horizontal moves.
    Axis m_axis = Axis::none;
    QuietTimer m_swipeEnd;
    SwipeVelocity m_velocity;
    double m_wheelPages = 0; // Shift+wheel notches not yet a whole page

    // Ctrl+wheel and pinch zoom.
    double m_zoomScale = 1;
    bool m_zooming = false;
    QuietTimer m_zoomEnd;
};

} // namespace plannery
