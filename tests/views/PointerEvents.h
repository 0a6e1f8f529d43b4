#pragma once

// Mouse, wheel and gesture events delivered to a widget as the window system would, stamped
// with the time `ms` that the views read their speeds and presses from.

#include <QCoreApplication>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QWheelEvent>
#include <QWidget>

namespace plannery::test {

// A press, move or release of the left button; `buttons` are those held after it.
inline void sendMouse(QWidget& w, QEvent::Type type, QPointF p, Qt::MouseButtons buttons,
                      quint64 ms = 0) {
    QMouseEvent event(type, p, w.mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
    event.setTimestamp(ms);
    QCoreApplication::sendEvent(&w, &event);
}

// A wheel's notches (`angle`, eighths of a degree) or a touchpad's scroll (`pixels`, in a phase).
inline void sendWheel(QWidget& w, QPointF p, QPoint pixels, QPoint angle,
                      Qt::KeyboardModifiers mods = Qt::NoModifier,
                      Qt::ScrollPhase phase = Qt::NoScrollPhase, quint64 ms = 0) {
    QWheelEvent event(p, w.mapToGlobal(p), pixels, angle, Qt::NoButton, mods, phase, false);
    event.setTimestamp(ms);
    QCoreApplication::sendEvent(&w, &event);
}

// A touchpad's pinch or other gesture of two fingers at `p`.
inline void sendGesture(QWidget& w, Qt::NativeGestureType type, QPointF p, double value) {
    QNativeGestureEvent event(type, QPointingDevice::primaryPointingDevice(), 2, p, p,
                              w.mapToGlobal(p), value, QPointF());
    QCoreApplication::sendEvent(&w, &event);
}

} // namespace plannery::test
