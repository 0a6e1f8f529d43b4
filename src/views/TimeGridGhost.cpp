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

bool TimeGridGhost::begin(const TimeGridPager& pager, const TimeGridHourScroll& hours, QPointF p) {
    const TimeGridMetrics& metrics = hours.metrics();
    const std::optional<TimeGridColumnPlace> column = pager.columnAt(p.x());
    if (p.y() < metrics.headerHeight() || p.x() < pager.geometry().gutterWidth || !column) {
        return false;
    }
    m_pending = TimeGridNewEvent::begin(column->day, metrics.minute(p.y() - hours.contentTop()),
                                        metrics.startHour, metrics.endHour);
    m_ghost = m_pending;
    m_fade.stop();
    m_alpha = 1;
    return true;
}

bool TimeGridGhost::drag(const TimeGridHourScroll& hours, QPointF p) {
    if (!m_pending) {
        return false;
    }
    const TimeGridMetrics& metrics = hours.metrics();
    const TimeGridNewEvent next = m_pending->dragged(metrics.minute(p.y() - hours.contentTop()),
                                                     metrics.startHour, metrics.endHour);
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

void TimeGridGhost::paint(QPainter& painter, const GridPalette& palette, const TimeGridPager& pager,
                          const TimeGridHourScroll& hours, QSizeF size) const {
    const std::optional<double> left = m_ghost ? pager.leftOf(m_ghost->day) : std::nullopt;
    if (!left) {
        return;
    }
    const TimeGridNewEvent& ghost = *m_ghost;
    const TimeGridMetrics& metrics = hours.metrics();
    const QRectF frame(*left + 1.5, hours.contentTop() + metrics.y(ghost.range.lower) + 0.5,
                       metrics.columnWidth - 5,
                       metrics.y(ghost.range.upper) - metrics.y(ghost.range.lower) - 1);
    const Calendar& calendar = pager.calendar();
    const auto start = TimeGridNewEvent::instant(ghost.day, ghost.range.lower, calendar);
    const auto end = TimeGridNewEvent::instant(ghost.day, ghost.range.upper, calendar);
    const QString label =
        start && end ? QString::fromStdString(TimeGridNewEvent::label(*start, *end, calendar))
                     : QString();
    const double gutter = pager.geometry().gutterWidth;
    painter.save();
    painter.setClipRect(
        QRectF(gutter, metrics.headerHeight(), size.width() - gutter, hours.scrollerHeight()));
    TimeGridOverlay::paintGhost(painter, palette, frame, label, m_alpha);
    painter.restore();
}

} // namespace plannery
