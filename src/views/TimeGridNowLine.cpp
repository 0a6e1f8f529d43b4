#include "views/TimeGridNowLine.h"

#include "views/TimeGridOverlay.h"

namespace plannery {

TimeGridNowLine::TimeGridNowLine(std::function<void()> minutePassed)
    : m_clock([] { return Instant::now(); }), m_minutePassed(std::move(minutePassed)) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::CoarseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        m_minutePassed();
        m_timer.start(TimeGridNow::untilNextMinute(now()));
    });
}

void TimeGridNowLine::setClock(std::function<Instant()> clock) {
    if (clock) {
        m_clock = std::move(clock);
    }
}

void TimeGridNowLine::start() {
    m_timer.stop();
    m_minutePassed();
    m_timer.start(TimeGridNow::untilNextMinute(now()));
}

void TimeGridNowLine::stop() {
    m_timer.stop();
}

bool TimeGridNowLine::place(const TimeGridPager& pager, const TimeGridMetrics& metrics) {
    const Calendar& calendar = pager.calendar();
    const Instant day = today(calendar);
    std::optional<double> todayLeft;
    for (const TimeGridColumnPlace& column : pager.visibleColumns()) {
        if (column.day == day) {
            todayLeft = column.left;
        }
    }
    const double minute = TimeGridNow::minuteOfDay(now(), calendar);
    const TimeGridNow state{
        .today = day,
        .minute = static_cast<int>(minute),
        .visible = todayLeft.has_value(),
        .inHours = TimeGridNow::inHoursOf(metrics, minute),
    };
    const double left = todayLeft.value_or(0);
    if (m_state == state && m_left == left) {
        return false;
    }
    m_state = state;
    m_minute = minute;
    m_left = left;
    return true;
}

std::optional<Instant> TimeGridNowLine::shownToday() const {
    return m_state ? std::optional<Instant>(m_state->today) : std::nullopt;
}

void TimeGridNowLine::paint(QPainter& painter, const GridPalette& palette,
                            const TimeGridMetrics& metrics) const {
    if (shows()) {
        TimeGridOverlay::paintNow(painter, palette, metrics, m_left, m_minute);
    }
}

} // namespace plannery
