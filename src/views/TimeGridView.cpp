#include "views/TimeGridView.h"

#include "grid/TimeGridStrip.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

// Windows at least this wide get the roomier hour height of regular size classes.
constexpr double kRegularWidth = 600;

// The device pixels per point the painter really draws with (a widget rendered into an image of
// another ratio paints at the image's).
double deviceScale(const QPainter& painter) {
    const QTransform t = painter.deviceTransform();
    const double scale = std::hypot(t.m11(), t.m12());
    return std::isfinite(scale) && scale > 0 ? scale : 1;
}

FontSpec allDayLabelFont() {
    return FontSpec{.size = 9.5, .weight = FontWeight::medium};
}

} // namespace

TimeGridView::TimeGridView(TimeGridSpan span, Calendar calendar, QWidget* parent)
    : QWidget(parent), m_span(span), m_calendar(std::move(calendar)),
      m_palette(GridPalette::from(palette())), m_gutter(m_calendar) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TimeGridView::setEventsProvider(EventsProvider provider) {
    m_provider = std::move(provider);
    reloadData();
}

void TimeGridView::setAnchor(Instant anchor) {
    if (!std::isfinite(anchor.seconds) || anchor == m_anchor) {
        return;
    }
    m_anchor = anchor;
    m_dayEntries.clear();
    m_columns.clear();
    m_headers.clear();
    invalidate();
}

void TimeGridView::setNow(Instant now) {
    if (!std::isfinite(now.seconds)) {
        return;
    }
    m_now = now;
    invalidate();
}

void TimeGridView::setHourHeight(double height) {
    if (!std::isfinite(height)) {
        return;
    }
    m_preferredHourHeight = height;
    invalidate();
}

void TimeGridView::setFitHours(std::optional<TimeGridHourRange> hours) {
    if (hours) {
        hours = TimeGridHourRange::normalized(hours->start, hours->end);
    }
    if (hours == m_fitHours) {
        return;
    }
    m_fitHours = hours;
    invalidate();
}

void TimeGridView::setVerticalOffset(double offset) {
    if (!std::isfinite(offset)) {
        return;
    }
    m_requestedOffset = offset;
    invalidate();
}

void TimeGridView::reloadData() {
    m_dayEntries.clear();
    invalidate();
}

void TimeGridView::invalidate() {
    m_dirty = true;
    update();
}

void TimeGridView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_dirty = true;
}

void TimeGridView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        m_palette = GridPalette::from(palette());
        update();
    }
    QWidget::changeEvent(event);
}

bool TimeGridView::isLaidOut() const {
    ensureLayout(m_scale);
    return m_valid;
}

const TimeGridMetrics& TimeGridView::metrics() const {
    ensureLayout(m_scale);
    return m_metrics;
}

double TimeGridView::gutterWidth() const {
    ensureLayout(m_scale);
    return m_gutterWidth;
}

double TimeGridView::verticalOffset() const {
    ensureLayout(m_scale);
    return m_verticalOffset;
}

int TimeGridView::pageStart() const {
    ensureLayout(m_scale);
    return m_pageStart;
}

int TimeGridView::dayCount() const {
    ensureLayout(m_scale);
    return m_dayCount;
}

Instant TimeGridView::date(int index) const {
    ensureLayout(m_scale);
    return m_days ? m_days->date(index) : m_calendar.startOfDay(m_anchor);
}

double TimeGridView::columnLeft(int index) const {
    ensureLayout(m_scale);
    return m_metrics.columnX(index) - m_horizontalOffset;
}

double TimeGridView::contentTop() const {
    ensureLayout(m_scale);
    return m_metrics.headerHeight() - m_verticalOffset;
}

void TimeGridView::ensureLayout(double scale) const {
    if (m_dirty || scale != m_scale) {
        const_cast<TimeGridView*>(this)->layout(scale);
    }
}

void TimeGridView::layout(double scale) {
    m_dirty = false;
    m_scale = scale;
    m_valid = false;
    const TimeGridViewport viewport{
        .width = static_cast<double>(width()),
        .height = static_cast<double>(height()),
        .bottomInset = 0,
        .scale = scale,
        .sizeClass = width() >= kRegularWidth ? SizeClass::regular : SizeClass::compact,
    };
    const Instant reference = m_now.value_or(m_anchor);
    m_dayCount = m_span.dayCount(TimeGridDays::workDaysPerWeek(m_calendar, reference));
    const std::optional<TimeGridWidths> widths =
        TimeGridMetrics::widths(viewport, m_gutter.preferredWidth(), m_dayCount);
    if (!widths) {
        return;
    }
    const TimeGridStrip strip =
        TimeGridStrip::around(m_anchor, m_calendar, m_span, widths->columnWidth);
    if (strip.dayTotal <= 0) {
        return;
    }
    if (!m_days || m_days->base != strip.days.base || m_pageStart != strip.anchorPage ||
        m_dayTotal != strip.dayTotal) {
        m_dayEntries.clear();
        m_columns.clear();
        m_headers.clear();
    }
    m_days = strip.days;
    m_dayTotal = strip.dayTotal;
    m_pageStart = strip.anchorPage;
    m_gutterWidth = widths->gutterWidth;
    m_horizontalOffset =
        TimeGridStrip::offsetShowing(m_pageStart, widths->columnWidth, m_gutterWidth);

    TimeGridMetrics metrics = TimeGridMetrics{}.with(*widths);
    std::vector<TimeGridDayEvents> page;
    for (int i = m_pageStart; i < std::min(m_pageStart + m_dayCount, m_dayTotal); ++i) {
        const DayEntry& entry = dayEntry(i);
        TimeGridDayEvents day{.day = m_days->date(i)};
        if (entry.events) {
            day.events = *entry.events;
        }
        page.push_back(std::move(day));
    }
    metrics.allDayRows =
        TimeGridMetrics::neededAllDayRows(TimeGridHours::mostAllDayEvents(page),
                                          metrics.columnWidth, viewport.height, false)
            .rows;
    if (m_fitHours) {
        const TimeGridHourRange band = TimeGridHours::fitted(m_fitHours, page, m_calendar);
        metrics.startHour = band.start;
        metrics.endHour = band.end;
        metrics.hourHeight = metrics.fittedHourHeight(viewport);
    } else {
        const double wished = m_preferredHourHeight.value_or(
            TimeGridMetrics::defaultHourHeight(viewport.sizeClass, TimeGridPreferences{}));
        metrics.hourHeight = metrics.clampHourHeight(wished, viewport);
    }
    m_metrics = metrics;

    const double scrollerHeight = std::max(viewport.height - metrics.headerHeight(), 0.0);
    const double wishedOffset =
        m_requestedOffset ? *m_requestedOffset
                          : metrics.initialVerticalOffset(*m_days, m_pageStart, m_dayCount,
                                                          m_now.value_or(m_anchor));
    m_verticalOffset = metrics.clampVerticalOffset(wishedOffset, 0, scrollerHeight);
    m_todayIndex.reset();
    if (m_now) {
        m_todayIndex = m_days->exactIndex(m_calendar.startOfDay(*m_now));
    }
    m_valid = true;
}

const TimeGridView::DayEntry& TimeGridView::dayEntry(int index) {
    auto it = m_dayEntries.find(index);
    if (it != m_dayEntries.end()) {
        return it->second;
    }
    DayEntry entry;
    if (m_provider && m_days) {
        entry.events = m_provider(m_days->date(index));
    }
    if (entry.events) {
        for (const CalEvent& event : *entry.events) {
            if (event.isAllDay && !event.calendars.empty()) {
                entry.allDay.push_back(event);
            }
        }
    }
    return m_dayEntries.emplace(index, std::move(entry)).first->second;
}

TimeGridColumn& TimeGridView::column(int index) {
    auto it = m_columns.find(index);
    if (it == m_columns.end()) {
        it = m_columns.emplace(index, TimeGridColumn(m_calendar)).first;
    }
    it->second.configure(m_days->date(index), dayEntry(index).events, m_metrics, m_scale);
    return it->second;
}

TimeGridHeader& TimeGridView::header(int index) {
    auto it = m_headers.find(index);
    if (it == m_headers.end()) {
        it = m_headers.emplace(index, TimeGridHeader(m_calendar)).first;
    }
    it->second.configure(m_days->date(index), dayEntry(index).allDay, m_metrics,
                         m_todayIndex == index, m_scale);
    return it->second;
}

void TimeGridView::trimCaches() {
    // Keep the visible page and one page on each side.
    const int low = m_pageStart - m_dayCount;
    const int high = m_pageStart + 2 * m_dayCount;
    const auto outside = [&](int index) { return index < low || index >= high; };
    std::erase_if(m_columns, [&](const auto& item) { return outside(item.first); });
    std::erase_if(m_headers, [&](const auto& item) { return outside(item.first); });
    std::erase_if(m_dayEntries, [&](const auto& item) { return outside(item.first); });
}

std::optional<double> TimeGridView::nowMinute() const {
    if (!m_now) {
        return std::nullopt;
    }
    const DateComponents c = m_calendar.components(*m_now);
    return std::clamp(c.hour * 60.0 + c.minute + c.second / 60.0, 0.0, 1440.0);
}

void TimeGridView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ensureLayout(deviceScale(painter));
    painter.fillRect(rect(), m_palette.background);
    if (!m_valid) {
        return;
    }
    const double headerHeight = m_metrics.headerHeight();
    const double bodyHeight = std::max(height() - headerHeight, 0.0);
    const double viewWidth = width();
    const TimeGridColumnRange range = TimeGridStrip::visibleRange(
        m_horizontalOffset, viewWidth, m_gutterWidth, m_metrics.columnWidth, m_dayTotal);

    painter.save();
    painter.setClipRect(QRectF(m_gutterWidth, headerHeight, viewWidth - m_gutterWidth, bodyHeight));
    for (int i = range.first; i <= range.last; ++i) {
        painter.save();
        painter.translate(columnLeft(i), headerHeight - m_verticalOffset);
        column(i).paint(painter, m_palette, m_verticalOffset, m_verticalOffset + bodyHeight);
        painter.restore();
    }
    paintNow(painter, headerHeight, bodyHeight);
    painter.restore();

    painter.save();
    painter.setClipRect(QRectF(m_gutterWidth, 0, viewWidth - m_gutterWidth, headerHeight));
    for (int i = range.first; i <= range.last; ++i) {
        painter.save();
        painter.translate(columnLeft(i), 0);
        header(i).paint(painter, m_palette);
        painter.restore();
    }
    painter.restore();
    const double pixel = 1 / m_scale;
    painter.fillRect(
        QRectF(0, std::floor((headerHeight - pixel) * m_scale) / m_scale, viewWidth, pixel),
        m_palette.separator);

    if (m_gutterWidth > 0) {
        painter.save();
        painter.setClipRect(QRectF(0, headerHeight, m_gutterWidth, bodyHeight));
        painter.fillRect(QRectF(0, headerHeight, m_gutterWidth, bodyHeight), m_palette.background);
        painter.translate(0, headerHeight - m_verticalOffset);
        m_gutter.paint(painter, m_palette);
        painter.restore();
        paintCorner(painter);
    }
    trimCaches();
}

void TimeGridView::paintNow(QPainter& painter, double bodyTop, double bodyHeight) {
    std::optional<double> minute = nowMinute();
    const bool visible = m_todayIndex && *m_todayIndex >= m_pageStart - m_dayCount &&
                         columnLeft(*m_todayIndex) + m_metrics.columnWidth > m_gutterWidth &&
                         columnLeft(*m_todayIndex) < width();
    const bool inHours =
        minute && m_metrics.startHour * 60 <= *minute && *minute <= m_metrics.endHour * 60;
    if (!visible || !inHours) {
        m_gutter.configure(m_metrics, m_gutterWidth, std::nullopt, std::nullopt, m_scale);
        return;
    }
    m_gutter.configure(m_metrics, m_gutterWidth, m_now, minute, m_scale);
    const double y = bodyTop - m_verticalOffset + m_metrics.y(*minute);
    if (y < bodyTop - 4 || y > bodyTop + bodyHeight + 4) {
        return;
    }
    const double x = columnLeft(*m_todayIndex);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(QRectF(x, y - 0.75, m_metrics.columnWidth, 1.5), m_palette.red);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_palette.red);
    painter.drawEllipse(QRectF(x - 0.5, y - 4, 8, 8));
    painter.restore();
}

void TimeGridView::paintCorner(QPainter& painter) {
    const double headerHeight = m_metrics.headerHeight();
    painter.fillRect(QRectF(0, 0, m_gutterWidth, headerHeight - 1 / m_scale), m_palette.background);
    if (m_metrics.allDayRows == 0 || m_gutterWidth <= 4) {
        return;
    }
    const QRectF frame(0, m_metrics.dateRowHeight + (m_metrics.chipHeight - 12) / 2,
                       m_gutterWidth - 4, 12);
    const QString text = tr("all-day");
    QFont font = gridFont(allDayLabelFont());
    // Shrinks to at most 0.7 of its size to fit the gutter.
    const double advance = QFontMetricsF(font).horizontalAdvance(text);
    if (advance > frame.width() && advance > 0) {
        font.setPointSizeF(font.pointSizeF() * std::max(0.7, frame.width() / advance));
    }
    painter.save();
    painter.setClipRect(frame);
    painter.setFont(font);
    painter.setPen(m_palette.secondaryLabel);
    painter.drawText(frame, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter.restore();
}

std::optional<CalEvent> TimeGridView::eventAt(QPointF p) const {
    ensureLayout(m_scale);
    const double headerHeight = m_metrics.headerHeight();
    if (!m_valid || p.y() < headerHeight || p.x() < m_gutterWidth || m_metrics.columnWidth <= 0) {
        return std::nullopt;
    }
    const double contentX = p.x() + m_horizontalOffset;
    const int index = static_cast<int>(std::floor(contentX / m_metrics.columnWidth));
    if (index < 0 || index >= m_dayTotal) {
        return std::nullopt;
    }
    auto* self = const_cast<TimeGridView*>(this);
    const QPointF local(contentX - m_metrics.columnX(index), p.y() - contentTop());
    return self->column(index).eventAt(local);
}

TimeGridHeader::Hit TimeGridView::headerHit(QPointF p) const {
    ensureLayout(m_scale);
    if (!m_valid || p.y() >= m_metrics.headerHeight() || p.x() < m_gutterWidth ||
        m_metrics.columnWidth <= 0) {
        return {};
    }
    const double contentX = p.x() + m_horizontalOffset;
    const int index = static_cast<int>(std::floor(contentX / m_metrics.columnWidth));
    if (index < 0 || index >= m_dayTotal) {
        return {};
    }
    auto* self = const_cast<TimeGridView*>(this);
    return self->header(index).hit(QPointF(contentX - m_metrics.columnX(index), p.y()));
}

} // namespace plannery
