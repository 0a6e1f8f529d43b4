#pragma once

#include <QElapsedTimer>
#include <QPointF>
#include <QTimer>

#include <deque>
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
    void swipe(double dx);
    void endSwipe();
    double swipeVelocity() const;
    void zoomWheel(double angle, double pointerY);

    enum class Axis { none, horizontal, vertical };

    TimeGridView& m_view;

    // A left-button press: where, whether it turned into a new event or a drag that is not one.
    std::optional<QPointF> m_pressAt;
    bool m_creating = false;
    bool m_pressMoved = false;
    QTimer m_holdTimer;

    // Two-finger scrolling, locked to the axis it started on until the fingers rest.
    Axis m_axis = Axis::none;
    QTimer m_swipeEnd;
    QElapsedTimer m_clock;
    struct Sample {
        qint64 ms;
        double dx;
    };
    std::deque<Sample> m_samples;
    double m_wheelPages = 0; // Shift+wheel notches not yet a whole page

    // Ctrl+wheel and pinch zoom.
    double m_zoomScale = 1;
    bool m_zooming = false;
    QTimer m_zoomEnd;
};

} // namespace plannery
