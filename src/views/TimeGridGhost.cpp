#include "views/TimeGridGhost.h"

#include "views/TimeGridOverlay.h"

#include <QPainter>
#include <QWidget>

namespace plannery {

namespace {

// The ghost of a proposed event stays half a second, then fades in a quarter.
constexpr int kHoldMs = 500;
constexpr int kFadeMs = 250;

} // namespace

TimeGridGhost::TimeGridGhost(QWidget& view) {
    m_fade.setDuration(kHoldMs + kFadeMs);
    m_fade.setStartValue(1.0);
    m_fade.setKeyValueAt(static_cast<double>(kHoldMs) / (kHoldMs + kFadeMs), 1.0);
    m_fade.setEndValue(0.0);
    QObject::connect(&m_fade, &QVariantAnimation::valueChanged, &view,
                     [this, &view](const QVariant& value) {
                         m_alpha = value.toDouble();
                         view.update();
                     });
    QObject::connect(&m_fade, &QVariantAnimation::finished, &view, [this, &view] {
        m_ghost.reset();
        view.update();
    });
}

void TimeGridGhost::begin(Instant day, double minute, int startHour, int endHour) {
    m_pending = TimeGridNewEvent::begin(day, minute, startHour, endHour);
    m_ghost = m_pending;
    m_fade.stop();
    m_alpha = 1;
}

bool TimeGridGhost::drag(double minute, int startHour, int endHour) {
    if (!m_pending) {
        return false;
    }
    const TimeGridNewEvent next = m_pending->dragged(minute, startHour, endHour);
    if (next == *m_pending) {
        return false;
    }
    m_pending = next;
    m_ghost = next;
    return true;
}

std::optional<std::pair<Instant, Instant>> TimeGridGhost::end(bool cancelled,
                                                              const Calendar& calendar) {
    if (!m_pending) {
        return std::nullopt;
    }
    const TimeGridNewEvent proposed = *m_pending;
    m_pending.reset();
    m_fade.start();
    if (cancelled) {
        return std::nullopt;
    }
    const auto start = TimeGridNewEvent::instant(proposed.day, proposed.range.lower, calendar);
    const auto end = TimeGridNewEvent::instant(proposed.day, proposed.range.upper, calendar);
    if (!start || !end) {
        return std::nullopt;
    }
    return std::pair{*start, *end};
}

std::optional<Instant> TimeGridGhost::day() const {
    return m_ghost ? std::optional<Instant>(m_ghost->day) : std::nullopt;
}

void TimeGridGhost::paint(QPainter& painter, const GridPalette& palette, const Calendar& calendar,
                          const TimeGridMetrics& metrics, double contentTop,
                          std::optional<double> left, QRectF hours) const {
    if (!m_ghost || !left) {
        return;
    }
    const TimeGridNewEvent& ghost = *m_ghost;
    const QRectF frame(*left + 1.5, contentTop + metrics.y(ghost.range.lower) + 0.5,
                       metrics.columnWidth - 5,
                       metrics.y(ghost.range.upper) - metrics.y(ghost.range.lower) - 1);
    const auto start = TimeGridNewEvent::instant(ghost.day, ghost.range.lower, calendar);
    const auto end = TimeGridNewEvent::instant(ghost.day, ghost.range.upper, calendar);
    const QString label =
        start && end ? QString::fromStdString(TimeGridNewEvent::label(*start, *end, calendar))
                     : QString();
    painter.save();
    painter.setClipRect(hours);
    TimeGridOverlay::paintGhost(painter, palette, frame, label, m_alpha);
    painter.restore();
}

} // namespace plannery
