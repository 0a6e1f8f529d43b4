#pragma once

#include "model/Instant.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

namespace plannery {

// The widget's clock: the system clock, or one that starts at a given instant and may run faster
// than real time (a minute lasting `minuteMs` real milliseconds). It says `minute` just after
// every minute boundary of its own time, with one timer that sleeps in between; each boundary is
// worked out again from the clock, so a system clock set forward or back is caught at the next
// one.
class WidgetClock final : public QObject {
    Q_OBJECT

  public:
    static constexpr double kRealMinute = 60000;

    // `system` is the machine's clock (tests give a fake one).
    explicit WidgetClock(std::optional<Instant> start = std::nullopt, double minuteMs = kRealMinute,
                         std::function<Instant()> system = {}, QObject* parent = nullptr);

    Instant now() const;
    // Real time until just after the clock's next minute boundary.
    std::chrono::milliseconds untilNextMinute() const;
    // Starts telling minutes.
    void start();
    bool isRunning() const { return m_timer.isActive(); }

  signals:
    void minute();

  private:
    void arm();

    std::optional<Instant> m_start;
    double m_minuteMs;
    std::function<Instant()> m_system;
    QElapsedTimer m_elapsed;
    QTimer m_timer;
};

} // namespace plannery
