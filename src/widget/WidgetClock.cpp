#include "widget/WidgetClock.h"

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

// Timers may fire a little early; landing just past the boundary keeps the minute right.
constexpr double kPastBoundaryMs = 20;

} // namespace

WidgetClock::WidgetClock(std::optional<Instant> start, double minuteMs,
                         std::function<Instant()> system, QObject* parent)
    : QObject(parent), m_start(start), m_minuteMs(minuteMs > 0 ? minuteMs : kRealMinute),
      m_system(system ? std::move(system) : std::function<Instant()>(&Instant::now)) {
    m_elapsed.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        emit minute();
        arm();
    });
}

Instant WidgetClock::now() const {
    if (!m_start && m_minuteMs == kRealMinute) {
        return m_system();
    }
    const Instant origin = m_start.value_or(Instant{});
    const double speed = kRealMinute / m_minuteMs;
    return origin.plus(static_cast<double>(m_elapsed.elapsed()) / 1000.0 * speed);
}

std::chrono::milliseconds WidgetClock::untilNextMinute() const {
    const double seconds = now().seconds;
    const double next = (std::floor(seconds / 60.0) + 1.0) * 60.0;
    const double realMs = (next - seconds) * 1000.0 * (m_minuteMs / kRealMinute) + kPastBoundaryMs;
    return std::chrono::milliseconds(
        static_cast<long long>(std::clamp(std::ceil(realMs), 1.0, 2.0 * m_minuteMs)));
}

void WidgetClock::start() {
    if (!m_start && m_minuteMs != kRealMinute) {
        m_start = m_system();
        m_elapsed.restart();
    }
    arm();
}

void WidgetClock::arm() {
    m_timer.start(untilNextMinute());
}

} // namespace plannery
