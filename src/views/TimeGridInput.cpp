#include "views/TimeGridInput.h"

#include "views/TimeGridView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

// A press held this long without moving proposes a new event.
constexpr int kHoldMs = 450;
// Scrolling that pauses this long has ended (touchpads on some systems send no end phase); the
// fingers rested before it ended, so it throws nothing.
constexpr int kSwipeQuietMs = 120;
constexpr int kZoomQuietMs = 300;
// One wheel notch (120 eighths of a degree) zooms by this factor.
constexpr double kZoomPerNotch = 1.15;
// Points one wheel notch scrolls the hours.
constexpr double kPointsPerLine = 16;

} // namespace

TimeGridInput::TimeGridInput(TimeGridView& view)
    : m_view(view), m_hold(kHoldMs,
                           [this] {
                               if (m_pressAt && !m_creating && !m_pressMoved) {
                                   m_creating = m_view.beginNewEvent(*m_pressAt);
                               }
                           }),
      m_swipeEnd(kSwipeQuietMs, [this] { endSwipe(std::nullopt); }),
      m_zoomEnd(kZoomQuietMs, [this] {
          m_zooming = false;
          m_view.endZoom();
      }) {}

bool TimeGridInput::handle(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return mousePress(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        return mouseMove(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        return mouseRelease(static_cast<QMouseEvent*>(event));
    case QEvent::Wheel:
        return wheel(static_cast<QWheelEvent*>(event));
    case QEvent::NativeGesture:
        return nativeGesture(static_cast<QNativeGestureEvent*>(event));
    case QEvent::KeyPress:
        return key(static_cast<QKeyEvent*>(event));
    case QEvent::FocusOut:
        if (m_creating) {
            m_creating = false;
            m_view.endNewEvent(true);
        }
        m_pressAt.reset();
        m_hold.stop();
        return false;
    default:
        return false;
    }
}

bool TimeGridInput::mousePress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return false;
    }
    m_view.setFocus(Qt::MouseFocusReason);
    m_pressAt = event->position();
    m_pressMoved = false;
    m_creating = false;
    // A press on an event selects it on release; only empty space starts a new event.
    if (!m_view.eventAt(*m_pressAt)) {
        m_hold.start();
    }
    return true;
}

bool TimeGridInput::mouseMove(QMouseEvent* event) {
    if (!m_pressAt || !(event->buttons() & Qt::LeftButton)) {
        return false;
    }
    if (m_creating) {
        m_view.dragNewEvent(event->position());
        return true;
    }
    if (m_pressMoved ||
        (event->position() - *m_pressAt).manhattanLength() < QApplication::startDragDistance()) {
        return true;
    }
    m_pressMoved = true;
    m_hold.stop();
    if (!m_view.eventAt(*m_pressAt)) {
        m_creating = m_view.beginNewEvent(*m_pressAt);
        if (m_creating) {
            m_view.dragNewEvent(event->position());
        }
    }
    return true;
}

bool TimeGridInput::mouseRelease(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressAt) {
        return false;
    }
    m_hold.stop();
    const QPointF at = *m_pressAt;
    m_pressAt.reset();
    if (m_creating) {
        m_creating = false;
        m_view.dragNewEvent(event->position());
        m_view.endNewEvent(false);
    } else if (!m_pressMoved) {
        m_view.tap(at);
    }
    return true;
}

bool TimeGridInput::wheel(QWheelEvent* event) {
    const QPoint angle = event->angleDelta();
    const QPoint pixels = event->pixelDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        zoomWheel(angle.y() != 0 ? angle.y() : angle.x(), event->position().y());
        return true;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    // A touchpad reports pixels; a mouse wheel reports notches only.
    const bool precise = !pixels.isNull() || event->phase() != Qt::NoScrollPhase;
    if (event->phase() == Qt::ScrollMomentum) {
        // The grid snaps to pages itself; the toolkit's coasting would fight it.
        return true;
    }
    if (!precise) {
        double across = angle.x();
        double down = angle.y();
        if (shift && across == 0) {
            std::swap(across, down);
        }
        if (down != 0) {
            m_view.scrollVertically(-down / 120 * QApplication::wheelScrollLines() *
                                    kPointsPerLine);
        }
        if (across != 0) {
            m_wheelPages += -across / 120;
            const int pages = static_cast<int>(std::trunc(m_wheelPages));
            if (pages != 0) {
                m_wheelPages -= pages;
                m_view.page(pages);
            }
        }
        return true;
    }
    double dx = -(pixels.isNull() ? angle.x() / 8.0 : pixels.x());
    double dy = -(pixels.isNull() ? angle.y() / 8.0 : pixels.y());
    if (shift && dx == 0) {
        std::swap(dx, dy);
    }
    if (m_axis == Axis::none) {
        if (dx == 0 && dy == 0) {
            return true;
        }
        m_axis = std::abs(dx) > std::abs(dy) ? Axis::horizontal : Axis::vertical;
        if (m_axis == Axis::horizontal) {
            m_velocity.reset();
            m_view.beginHorizontalDrag();
        }
    }
    if (m_axis == Axis::horizontal) {
        swipe(event->timestamp(), dx);
    } else {
        m_view.scrollVertically(dy);
    }
    if (event->phase() == Qt::ScrollEnd) {
        endSwipe(event->timestamp());
    } else {
        m_swipeEnd.start();
    }
    return true;
}

void TimeGridInput::swipe(std::uint64_t ms, double dx) {
    m_velocity.add(ms, dx);
    m_view.dragHorizontally(dx);
}

void TimeGridInput::endSwipe(std::optional<std::uint64_t> ms) {
    m_swipeEnd.stop();
    if (m_axis == Axis::horizontal) {
        // Ended by the quiet timer: the fingers rested.
        m_view.endHorizontalDrag(ms ? m_velocity.at(*ms) : 0);
        m_velocity.reset();
    }
    m_axis = Axis::none;
}

void TimeGridInput::zoomWheel(double angle, double pointerY) {
    if (angle == 0) {
        return;
    }
    if (!m_zooming) {
        m_zooming = true;
        m_zoomScale = 1;
        m_view.beginZoom();
    }
    m_zoomScale *= std::pow(kZoomPerNotch, angle / 120);
    m_view.zoom(m_zoomScale, pointerY);
    m_zoomEnd.start();
}

bool TimeGridInput::nativeGesture(QNativeGestureEvent* event) {
    switch (event->gestureType()) {
    case Qt::BeginNativeGesture:
        m_zoomScale = 1;
        return true;
    case Qt::ZoomNativeGesture:
        if (!m_zooming) {
            m_zooming = true;
            m_zoomScale = 1;
            m_view.beginZoom();
        }
        // The value is the change of scale since the last event.
        m_zoomScale *= 1 + event->value();
        m_view.zoom(m_zoomScale, event->position().y());
        return true;
    case Qt::EndNativeGesture:
        if (m_zooming) {
            m_zooming = false;
            m_zoomEnd.stop();
            m_view.endZoom();
        }
        return true;
    default:
        return false;
    }
}

bool TimeGridInput::key(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageDown:
    case Qt::Key_Right:
        m_view.page(1);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_Left:
        m_view.page(-1);
        return true;
    case Qt::Key_Down:
        m_view.scrollVertically(m_view.metrics().hourHeight);
        return true;
    case Qt::Key_Up:
        m_view.scrollVertically(-m_view.metrics().hourHeight);
        return true;
    case Qt::Key_Escape:
        if (m_creating) {
            m_creating = false;
            m_pressAt.reset();
            m_view.endNewEvent(true);
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace plannery
