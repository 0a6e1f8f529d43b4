#include "store/DayWatcher.h"

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

// Longer than any day, so a midnight timer is never set beyond the next day start; the minute
// check catches whatever a sleeping machine misses.
constexpr std::chrono::milliseconds longestWait{std::chrono::hours(26)};

} // namespace

DayWatcher::DayWatcher(std::function<Calendar()> calendar, std::function<Instant()> now,
                       QObject* parent)
    : QObject(parent), m_calendar(std::move(calendar)), m_now(std::move(now)) {
    const Calendar current = m_calendar();
    m_zoneId = current.zoneId();
    m_dayStart = current.startOfDay(m_now());

    // A coarse timer may fire up to 5 % early, which is minutes before a distant midnight.
    m_midnight.setSingleShot(true);
    m_midnight.setTimerType(Qt::PreciseTimer);
    connect(&m_midnight, &QTimer::timeout, this, &DayWatcher::check);
    m_minute.setInterval(std::chrono::minutes(1));
    connect(&m_minute, &QTimer::timeout, this, &DayWatcher::check);
    m_minute.start();
    armMidnight();
}

void DayWatcher::check() {
    const Calendar calendar = m_calendar();
    const Instant dayStart = calendar.startOfDay(m_now());
    if (calendar.zoneId() != m_zoneId) {
        // A new zone redraws everything anyway; the day is taken as seen in the new zone.
        m_zoneId = calendar.zoneId();
        m_dayStart = dayStart;
        armMidnight();
        emit timeZoneChanged();
        return;
    }
    if (dayStart != m_dayStart) {
        m_dayStart = dayStart;
        armMidnight();
        emit dayChanged();
        return;
    }
    armMidnight();
}

std::chrono::milliseconds DayWatcher::untilNextDay() const {
    const Calendar calendar = m_calendar();
    const Instant now = m_now();
    const std::optional<Instant> next = calendar.addDays(now, 1);
    if (!next) {
        return std::chrono::minutes(1);
    }
    const double ms = std::ceil(next->since(now) * 1000.0);
    if (!(ms >= 1.0)) {
        return std::chrono::milliseconds(1);
    }
    return std::min(std::chrono::milliseconds(static_cast<long long>(ms)), longestWait);
}

void DayWatcher::armMidnight() {
    m_midnight.start(untilNextDay());
}

} // namespace plannery
