#include "views/TimeGridView.h"

#include "grid/TimeGridAnchor.h"
#include "grid/TimeGridPaging.h"
#include "grid/TimeGridZoom.h"
#include "model/Fmt.h"
#include "views/TimeGridInput.h"
#include "views/TimeGridOverlay.h"

#include <QEasingCurve>
#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

namespace plannery {

namespace {

// Windows at least this wide get the roomier hour height of regular size classes.
constexpr double kRegularWidth = 600;
// How far past its end a drag's velocity carries the strip (points per ms × this), the toolkit's
// fast deceleration.
constexpr double kDecelerationMs = 100;
constexpr int kPagingMs = 280;
constexpr int kCrossDissolveMs = 200;
constexpr int kVerticalScrollMs = 250;
// The ghost of a proposed event stays half a second, then fades in a quarter.
constexpr int kGhostHoldMs = 500;
constexpr int kGhostFadeMs = 250;

// The device pixels per point the painter really draws with (a widget rendered into an image of
// another ratio paints at the image's).
double deviceScale(const QPainter& painter) {
    const QTransform t = painter.deviceTransform();
    const double scale = std::hypot(t.m11(), t.m12());
    return std::isfinite(scale) && scale > 0 ? scale : 1;
}

bool sameCalendar(const Calendar& a, const Calendar& b) {
    return a.zoneId() == b.zoneId() && a.localeId() == b.localeId() &&
           a.firstWeekday() == b.firstWeekday();
}

} // namespace

TimeGridView::TimeGridView(TimeGridSpan span, Calendar calendar, QWidget* parent)
    : QWidget(parent), m_span(span), m_calendar(std::move(calendar)),
      m_clock([] { return Instant::now(); }), m_palette(GridPalette::from(palette())),
      m_tiles(m_calendar), m_gutter(m_calendar), m_input(std::make_unique<TimeGridInput>(*this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setObjectName(QStringLiteral("timeGrid"));
    setAccessibleName(tr("Time grid"));
    m_pendingAnchor = m_calendar.startOfDay(m_clock());

    m_minuteTimer.setSingleShot(true);
    m_minuteTimer.setTimerType(Qt::CoarseTimer);
    connect(&m_minuteTimer, &QTimer::timeout, this, [this] {
        minuteTick();
        m_minuteTimer.start(TimeGridNow::untilNextMinute(now()));
    });

    m_prepareTimer.setInterval(0);
    connect(&m_prepareTimer, &QTimer::timeout, this, [this] { prepareNext(); });

    m_hAnimation.setEasingCurve(QEasingCurve::OutCubic);
    connect(&m_hAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setHorizontalOffset(value.toDouble()); });
    connect(&m_hAnimation, &QVariantAnimation::finished, this, [this] {
        m_programmaticTarget.reset();
        settle();
    });
    m_vAnimation.setEasingCurve(QEasingCurve::OutCubic);
    m_vAnimation.setDuration(kVerticalScrollMs);
    connect(&m_vAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_vOffset = value.toDouble();
        update();
    });
    m_fade.setDuration(kCrossDissolveMs);
    m_fade.setStartValue(1.0);
    m_fade.setEndValue(0.0);
    connect(&m_fade, &QVariantAnimation::valueChanged, this, [this] { update(); });
    connect(&m_fade, &QVariantAnimation::finished, this, [this] {
        m_fadeFrom = QPixmap();
        update();
    });
    m_ghostFade.setDuration(kGhostHoldMs + kGhostFadeMs);
    m_ghostFade.setStartValue(1.0);
    m_ghostFade.setKeyValueAt(static_cast<double>(kGhostHoldMs) / (kGhostHoldMs + kGhostFadeMs),
                              1.0);
    m_ghostFade.setEndValue(0.0);
    connect(&m_ghostFade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_ghostAlpha = value.toDouble();
        update();
    });
    connect(&m_ghostFade, &QVariantAnimation::finished, this, [this] {
        m_ghost.reset();
        update();
    });
}

TimeGridView::~TimeGridView() = default;

void TimeGridView::setEventsProvider(EventsProvider provider) {
    m_tiles.setProvider(std::move(provider));
    reloadData();
}

void TimeGridView::setHandlers(Handlers handlers) {
    m_handlers = std::move(handlers);
}

void TimeGridView::setCalendarSource(std::function<Calendar()> source) {
    m_calendarSource = std::move(source);
}

void TimeGridView::setClock(std::function<Instant()> clock) {
    if (clock) {
        m_clock = std::move(clock);
        updateNow(true);
    }
}

void TimeGridView::setNow(Instant now) {
    if (std::isfinite(now.seconds)) {
        setClock([now] { return now; });
    }
}

Instant TimeGridView::now() const {
    return m_clock();
}

void TimeGridView::setAnchor(Instant anchor) {
    if (!std::isfinite(anchor.seconds)) {
        return;
    }
    const Instant day = m_calendar.startOfDay(anchor);
    const TimeGridAnchor::Received received = TimeGridAnchor::receive(
        day, m_lastExternalAnchor, m_reportedAnchor, isLaidOut(), m_calendar);
    if (m_lastExternalAnchor && m_calendar.startOfDay(*m_lastExternalAnchor) == day) {
        return;
    }
    m_lastExternalAnchor = day;
    switch (received) {
    case TimeGridAnchor::Received::ignore:
        return;
    case TimeGridAnchor::Received::remember:
        m_pendingAnchor = day;
        return;
    case TimeGridAnchor::Received::scroll:
        scrollTo(day, true);
        return;
    }
}

void TimeGridView::setHourHeight(double height) {
    if (!std::isfinite(height) || m_isZooming) {
        return;
    }
    m_preferredHourHeight = height;
    if (!isLaidOut() || m_fitHours) {
        return;
    }
    if (const auto step =
            TimeGridZoom::setHeight(m_metrics, height, m_vOffset, viewport(), scrollerHeight())) {
        m_metrics.hourHeight = step->hourHeight;
        m_vOffset = step->offset;
        layoutVertical();
    }
}

void TimeGridView::setFitHours(std::optional<TimeGridHourRange> hours) {
    if (hours) {
        hours = TimeGridHourRange::normalized(hours->start, hours->end);
    }
    if (hours == m_fitHours) {
        return;
    }
    m_fitHours = hours;
    if (!isLaidOut()) {
        return;
    }
    if (m_fitHours) {
        fitPage(nearestIndex(), true);
        return;
    }
    m_metrics.startHour = 0;
    m_metrics.endHour = 24;
    m_metrics.hourHeight =
        m_metrics.clampHourHeight(m_preferredHourHeight.value_or(TimeGridMetrics::defaultHourHeight(
                                      viewport().sizeClass, TimeGridPreferences{})),
                                  viewport());
    updateAllDayRows(true);
    layoutVertical();
    setVerticalOffset(m_metrics.initialVerticalOffset(*m_days, nearestIndex(), m_dayCount, now()));
}

void TimeGridView::setVerticalOffset(double offset, bool animated) {
    if (!std::isfinite(offset)) {
        return;
    }
    if (!isLaidOut()) {
        m_pendingVerticalOffset = offset;
        return;
    }
    const double clamped = m_metrics.clampVerticalOffset(offset, 0, scrollerHeight());
    m_vAnimation.stop();
    if (animated && isVisible()) {
        m_vAnimation.setStartValue(m_vOffset);
        m_vAnimation.setEndValue(clamped);
        m_vAnimation.start();
        return;
    }
    m_vOffset = clamped;
    update();
}

void TimeGridView::setUiTestMarkers(bool on) {
    m_uiTestMarkers = on;
}

void TimeGridView::reloadData() {
    m_tiles.forgetEvents();
    if (!isLaidOut()) {
        update();
        return;
    }
    if (m_calendarSource) {
        Calendar current = m_calendarSource();
        if (!sameCalendar(current, m_calendar)) {
            // The page keeps its date as the user reads it: the same year, month and day in
            // the new zone.
            const DateComponents c = m_calendar.components(dayAt(nearestIndex()));
            const TimeGridMetrics before = m_metrics;
            const double offset = m_vOffset;
            m_calendar = std::move(current);
            m_tiles.setCalendar(m_calendar);
            m_gutter = TimeGridGutterPainter(m_calendar);
            recenter(m_calendar.date(c.year, c.month, c.day).value_or(now()));
            m_vOffset = m_metrics.clampVerticalOffset(
                m_metrics.offsetKeepingTopMinute(offset, before), 0, scrollerHeight());
            if (m_reportedAnchor) {
                m_lastExternalAnchor = m_reportedAnchor;
                if (m_handlers.onAnchorChange) {
                    m_handlers.onAnchorChange(*m_reportedAnchor);
                }
            }
            update();
            return;
        }
    }
    m_todayIndex = todayIndexNow();
    const bool idle = !m_dragging && !isPaging();
    if (!m_fitHours) {
        updateAllDayRows(idle);
    } else if (idle) {
        fitPage(nearestIndex(), false);
    }
    updateNow(true);
    update();
}

// Layout

bool TimeGridView::isLaidOut() const {
    layoutIfNeeded(m_scale);
    return !m_laidOutSize.isEmpty();
}

void TimeGridView::layoutIfNeeded(double scale) const {
    if ((size() != m_laidOutSize || scale != m_scale) && width() > 60 && height() > 60) {
        const_cast<TimeGridView*>(this)->resetLayout(scale);
    }
}

TimeGridViewport TimeGridView::viewport() const {
    return TimeGridViewport{
        .width = static_cast<double>(width()),
        .height = static_cast<double>(height()),
        .bottomInset = 0,
        .scale = m_scale,
        .sizeClass = width() >= kRegularWidth ? SizeClass::regular : SizeClass::compact,
    };
}

double TimeGridView::scrollerHeight() const {
    return std::max(height() - m_metrics.headerHeight(), 0.0);
}

void TimeGridView::resetLayout(double scale) {
    const bool first = m_laidOutSize.isEmpty();
    const double previousScale = m_scale;
    m_scale = scale;
    const int dayCount =
        m_span.dayCount(TimeGridDays::workDaysPerWeek(m_calendar, m_days ? dayAt(0) : now()));
    const std::optional<TimeGridWidths> widths =
        TimeGridMetrics::widths(viewport(), m_gutter.preferredWidth(), dayCount);
    if (!widths) {
        m_scale = previousScale;
        return;
    }
    const Instant target = first ? m_pendingAnchor : dayAt(m_reportedIndex);
    const TimeGridMetrics before = m_metrics;
    const double beforeOffset = m_vOffset;
    m_hAnimation.stop();
    m_laidOutSize = size();
    m_dayCount = dayCount;
    m_gutterWidth = widths->gutterWidth;
    TimeGridMetrics metrics = m_metrics.with(*widths);
    if (first) {
        metrics.hourHeight = m_preferredHourHeight.value_or(
            TimeGridMetrics::defaultHourHeight(viewport().sizeClass, TimeGridPreferences{}));
    }
    metrics.hourHeight = metrics.clampHourHeight(metrics.hourHeight, viewport());
    m_metrics = metrics;
    recenter(target);
    if (first) {
        const double wished = m_pendingVerticalOffset.value_or(
            m_metrics.initialVerticalOffset(*m_days, m_reportedIndex, m_dayCount, now()));
        m_vOffset = m_metrics.clampVerticalOffset(wished, 0, scrollerHeight());
        m_pendingVerticalOffset.reset();
        m_lastExternalAnchor = m_pendingAnchor;
        if (m_reportedAnchor && m_calendar.startOfDay(*m_reportedAnchor) != m_pendingAnchor) {
            reportLater(*m_reportedAnchor);
        }
    } else {
        m_vOffset = m_metrics.clampVerticalOffset(
            m_metrics.offsetKeepingTopMinute(beforeOffset, before), 0, scrollerHeight());
    }
}

void TimeGridView::recenter(Instant date) {
    m_isResetting = true;
    m_tiles.parkAll();
    m_toPrepare.clear();
    const TimeGridStrip strip =
        TimeGridStrip::around(date, m_calendar, m_span, m_metrics.columnWidth);
    m_days = strip.days;
    m_dayTotal = std::max(strip.dayTotal, 1);
    m_perWeek = m_days->perWeek();
    m_todayIndex = todayIndexNow();
    const int page = std::clamp(strip.anchorPage, 0, m_dayTotal - 1);
    m_reportedIndex = page;
    m_reportedAnchor = m_days->date(page);
    m_programmaticTarget.reset();
    m_lastVisibleRange.reset();
    m_hOffset = TimeGridStrip::offsetShowing(page, m_metrics.columnWidth, m_gutterWidth);
    const TimeGridAllDayRows rows = allDayRowsOf(page, page + m_dayCount - 1);
    m_metrics.allDayRows = rows.rows;
    m_hasHiddenAllDay = rows.chipsHidden;
    if (m_fitHours) {
        const TimeGridHourRange band =
            TimeGridHours::fitted(m_fitHours, pageEvents(page), m_calendar);
        m_metrics.startHour = band.start;
        m_metrics.endHour = band.end;
    }
    layoutVertical();
    m_isResetting = false;
    tile();
    updateNow(true);
}

void TimeGridView::layoutVertical() {
    if (m_fitHours) {
        m_metrics.hourHeight = m_metrics.fittedHourHeight(viewport());
    }
    m_vOffset = m_metrics.clampVerticalOffset(m_vOffset, 0, scrollerHeight());
    updateNow(true);
    update();
}

int TimeGridView::step() const {
    return m_span.pagesByWeek() ? m_perWeek : 1;
}

int TimeGridView::nearestIndex() const {
    const int index =
        TimeGridStrip::nearestIndex(m_hOffset, m_gutterWidth, m_metrics.columnWidth, step());
    return std::clamp(index, 0, std::max(m_dayTotal - m_dayCount, 0));
}

TimeGridColumnRange TimeGridView::visibleRange() const {
    return TimeGridStrip::visibleRange(m_hOffset, width(), m_gutterWidth, m_metrics.columnWidth,
                                       m_dayTotal);
}

std::vector<TimeGridDayEvents> TimeGridView::pageEvents(int page) {
    std::vector<TimeGridDayEvents> days;
    for (int i = page; i < std::min(page + m_dayCount, m_dayTotal); ++i) {
        TimeGridDayEvents day{.day = m_days->date(i)};
        if (const auto& events = m_tiles.events(i, day.day).events) {
            day.events = *events;
        }
        days.push_back(std::move(day));
    }
    return days;
}

TimeGridAllDayRows TimeGridView::allDayRowsOf(int first, int last) {
    int most = 0;
    for (int i = std::max(first, 0); i <= std::min(last, m_dayTotal - 1); ++i) {
        most = std::max(most, static_cast<int>(m_tiles.events(i, m_days->date(i)).allDay.size()));
    }
    return TimeGridMetrics::neededAllDayRows(most, m_metrics.columnWidth, height(),
                                             m_allDayExpanded);
}

void TimeGridView::fitPage(int page, bool force) {
    if (!m_fitHours || !m_days) {
        return;
    }
    const TimeGridHourRange band = TimeGridHours::fitted(m_fitHours, pageEvents(page), m_calendar);
    const TimeGridAllDayRows rows = allDayRowsOf(page, page + m_dayCount - 1);
    m_hasHiddenAllDay = rows.chipsHidden;
    TimeGridMetrics fitted = m_metrics;
    fitted.startHour = band.start;
    fitted.endHour = band.end;
    fitted.allDayRows = rows.rows;
    const double height = fitted.fittedHourHeight(viewport());
    if (!force && fitted.startHour == m_metrics.startHour && fitted.endHour == m_metrics.endHour &&
        fitted.allDayRows == m_metrics.allDayRows &&
        std::abs(m_metrics.hourHeight - height) <= 0.01) {
        return;
    }
    m_metrics = fitted;
    layoutVertical();
}

void TimeGridView::updateAllDayRows(bool allowShrink) {
    if (m_fitHours) {
        fitPage(nearestIndex(), false);
        return;
    }
    const TimeGridColumnRange range = visibleRange();
    const TimeGridAllDayRows rows = allDayRowsOf(range.first, range.last);
    m_hasHiddenAllDay = rows.chipsHidden;
    const int wanted = allowShrink ? rows.rows : std::max(rows.rows, m_metrics.allDayRows);
    if (wanted != m_metrics.allDayRows) {
        m_metrics.allDayRows = wanted;
        layoutVertical();
    }
    update();
}

// Paging

bool TimeGridView::isPaging() const {
    return m_hAnimation.state() == QAbstractAnimation::Running || m_programmaticTarget.has_value();
}

double TimeGridView::horizontalOffset() const {
    layoutIfNeeded(m_scale);
    return m_hOffset;
}

void TimeGridView::setHorizontalOffset(double offset) {
    const double lowest = -m_gutterWidth;
    const double highest = std::max(m_metrics.columnWidth * m_dayTotal - width(), lowest);
    offset = std::clamp(offset, lowest, highest);
    if (offset == m_hOffset) {
        return;
    }
    m_hOffset = offset;
    update();
    if (m_isResetting) {
        return;
    }
    tile();
    reportAnchorIfNeeded();
    const TimeGridColumnRange range = visibleRange();
    if (range != m_lastVisibleRange) {
        m_lastVisibleRange = range;
        if (!m_fitHours) {
            updateAllDayRows(false);
        }
    }
    const bool todayVisible =
        m_todayIndex && *m_todayIndex >= range.first && *m_todayIndex <= range.last;
    if (m_nowState && m_nowState->visible != todayVisible) {
        updateNow(true);
    }
}

void TimeGridView::tile() {
    m_tiles.keep(TimeGridPaging::keepRange(visibleRange(), m_dayCount, m_dayTotal));
}

void TimeGridView::animateHorizontally(double target, bool programmatic) {
    if (!programmatic) {
        m_programmaticTarget.reset();
    }
    m_hAnimation.stop();
    if (!isVisible()) {
        // Nothing to watch: arrive at once.
        setHorizontalOffset(target);
        m_programmaticTarget.reset();
        settle();
        return;
    }
    m_hAnimation.setDuration(kPagingMs);
    m_hAnimation.setStartValue(m_hOffset);
    m_hAnimation.setEndValue(target);
    m_hAnimation.start();
}

void TimeGridView::beginHorizontalDrag() {
    if (!isLaidOut()) {
        return;
    }
    m_hAnimation.stop();
    m_programmaticTarget.reset();
    m_dragging = true;
    m_dragStartIndex = nearestIndex();
}

void TimeGridView::dragHorizontally(double dx) {
    if (!isLaidOut()) {
        return;
    }
    if (!m_dragging) {
        beginHorizontalDrag();
    }
    setHorizontalOffset(m_hOffset + dx);
}

void TimeGridView::endHorizontalDrag(double velocity) {
    if (!m_dragging) {
        return;
    }
    m_dragging = false;
    if (!std::isfinite(velocity)) {
        velocity = 0;
    }
    const TimeGridPaging::Pager pager{.gutterWidth = m_gutterWidth,
                                      .columnWidth = m_metrics.columnWidth,
                                      .dayTotal = m_dayTotal,
                                      .dayCount = m_dayCount};
    const int target = TimeGridPaging::dragTarget(m_span, m_perWeek, pager, m_hOffset,
                                                  m_hOffset + velocity * kDecelerationMs, velocity,
                                                  m_dragStartIndex);
    fitPage(target, false);
    const double offset =
        TimeGridStrip::offsetShowing(target, m_metrics.columnWidth, m_gutterWidth);
    if (std::abs(offset - m_hOffset) <= 0.5) {
        settle();
    } else {
        animateHorizontally(offset, false);
    }
}

void TimeGridView::page(int pages) {
    if (!isLaidOut() || pages == 0) {
        return;
    }
    const int from = m_programmaticTarget.value_or(nearestIndex());
    const int columns = m_span.pagesByWeek() ? m_perWeek : m_dayCount;
    const Instant target = dayAt(from + pages * columns);
    scrollTo(target, true);
    if (m_reportedAnchor) {
        m_lastExternalAnchor = m_reportedAnchor;
        if (m_handlers.onAnchorChange) {
            m_handlers.onAnchorChange(*m_reportedAnchor);
        }
    }
}

void TimeGridView::settle() {
    if (!isLaidOut() || m_dragging) {
        return;
    }
    const int index = nearestIndex();
    const double offset = TimeGridStrip::offsetShowing(index, m_metrics.columnWidth, m_gutterWidth);
    if (std::abs(m_hOffset - offset) > 0.5) {
        animateHorizontally(offset, false);
        return;
    }
    reportAnchorIfNeeded();
    updateAllDayRows(true);
    if (const int weeks = TimeGridPaging::rebaseWeeks(index, m_dayTotal, m_perWeek)) {
        rebase(weeks);
    }
    prefetch(nearestIndex());
}

void TimeGridView::ensureSnapped() {
    if (!isLaidOut() || m_dragging || isPaging()) {
        return;
    }
    const double offset =
        TimeGridStrip::offsetShowing(nearestIndex(), m_metrics.columnWidth, m_gutterWidth);
    if (std::abs(m_hOffset - offset) > 0.5) {
        settle();
    }
}

void TimeGridView::rebase(int weeks) {
    const int delta = weeks * m_perWeek;
    const std::optional<Instant> base =
        m_calendar.addDays(TimeGridDays::noon(m_days->base, m_calendar), 7 * weeks);
    if (!base || delta == 0) {
        return;
    }
    m_days = TimeGridDays::make(m_calendar, m_calendar.startOfDay(*base), m_span);
    m_tiles.shift(delta);
    m_toPrepare.clear();
    m_reportedIndex -= delta;
    if (m_programmaticTarget) {
        *m_programmaticTarget -= delta;
    }
    m_todayIndex = todayIndexNow();
    m_nowState.reset();
    m_lastVisibleRange.reset();
    m_isResetting = true;
    m_hOffset -= m_metrics.columnWidth * delta;
    m_isResetting = false;
    updateNow(true);
}

void TimeGridView::prefetch(int index) {
    QTimer::singleShot(0, this, [this, index] {
        if (m_days) {
            m_tiles.prefetch(m_days->date(index - 21));
            m_tiles.prefetch(m_days->date(index + m_dayCount + 21));
        }
    });
    // The pages on either side, nearest first, so that paging to them draws pictures ready made.
    m_toPrepare.clear();
    const TimeGridColumnRange keep =
        TimeGridPaging::keepRange(visibleRange(), m_dayCount, m_dayTotal);
    for (int distance = 1; distance <= m_dayCount; ++distance) {
        for (const int i : {index + m_dayCount - 1 + distance, index - distance}) {
            if (i >= keep.first && i <= keep.last) {
                m_toPrepare.push_back(i);
            }
        }
    }
    std::reverse(m_toPrepare.begin(), m_toPrepare.end());
    m_prepareTimer.start();
}

void TimeGridView::prepareNext() {
    if (m_toPrepare.empty() || !m_days || m_dragging || isPaging()) {
        m_prepareTimer.stop();
        return;
    }
    const int index = m_toPrepare.back();
    m_toPrepare.pop_back();
    const Instant day = m_days->date(index);
    m_tiles.column(index, day, m_metrics, m_scale).prepare(m_palette);
    m_tiles.header(index, day, m_metrics, m_todayIndex == index, m_scale);
}

void TimeGridView::reportAnchorIfNeeded() {
    if (!isLaidOut() || m_programmaticTarget) {
        return;
    }
    const int index = nearestIndex();
    if (index == m_reportedIndex) {
        return;
    }
    m_reportedIndex = index;
    const Instant day = dayAt(index);
    m_reportedAnchor = day;
    m_lastExternalAnchor = day;
    if (m_handlers.onAnchorChange) {
        m_handlers.onAnchorChange(day);
    }
}

void TimeGridView::reportLater(Instant day) {
    QTimer::singleShot(0, this, [this, day] {
        if (m_reportedAnchor == day) {
            m_lastExternalAnchor = day;
            if (m_handlers.onAnchorChange) {
                m_handlers.onAnchorChange(day);
            }
        }
    });
}

void TimeGridView::scrollTo(Instant day, bool animated) {
    const int target = TimeGridStrip::aligned(m_days->index(day), m_span, m_perWeek);
    const TimeGridPaging::Pager pager{.gutterWidth = m_gutterWidth,
                                      .columnWidth = m_metrics.columnWidth,
                                      .dayTotal = m_dayTotal,
                                      .dayCount = m_dayCount};
    if (animated &&
        TimeGridPaging::scrollsThrough(m_span, m_perWeek, pager, target, nearestIndex())) {
        m_reportedIndex = target;
        m_reportedAnchor = dayAt(target);
        const double offset =
            TimeGridStrip::offsetShowing(target, m_metrics.columnWidth, m_gutterWidth);
        if (std::abs(offset - m_hOffset) > 0.5) {
            m_programmaticTarget = target;
            animateHorizontally(offset, true);
        }
        fitPage(target, false);
    } else {
        if (animated && isVisible()) {
            m_fadeFrom = grab();
            m_fade.stop();
            m_fade.start();
        }
        m_hAnimation.stop();
        recenter(day);
        settle();
    }
    const int page = m_programmaticTarget.value_or(m_reportedIndex);
    if (m_todayIndex && *m_todayIndex >= page && *m_todayIndex < page + m_dayCount) {
        const double minute = TimeGridNow::minuteOfDay(now(), m_calendar);
        setVerticalOffset(m_metrics.y(minute - 60) - 4, animated);
    }
    if (m_reportedAnchor && m_calendar.startOfDay(*m_reportedAnchor) != day) {
        reportLater(*m_reportedAnchor);
    }
}

// The vertical hours

void TimeGridView::scrollVertically(double dy) {
    if (!isLaidOut() || !std::isfinite(dy)) {
        return;
    }
    m_vAnimation.stop();
    m_vOffset = m_metrics.clampVerticalOffset(m_vOffset + dy, 0, scrollerHeight());
    ensureSnapped();
    update();
}

void TimeGridView::beginZoom() {
    if (!isLaidOut() || m_fitHours || m_isZooming) {
        return;
    }
    m_isZooming = true;
    m_zoomStartHeight = m_metrics.hourHeight;
    ensureSnapped();
}

void TimeGridView::zoom(double scale, double pointerY) {
    if (!m_isZooming || !std::isfinite(scale) || !std::isfinite(pointerY)) {
        return;
    }
    m_vAnimation.stop();
    const double y = pointerY - m_metrics.headerHeight();
    if (const auto step = TimeGridZoom::pinch(m_metrics, m_zoomStartHeight, scale, y, m_vOffset,
                                              viewport(), scrollerHeight())) {
        m_metrics.hourHeight = step->hourHeight;
        m_vOffset = step->offset;
        updateNow(true);
        update();
    }
}

void TimeGridView::endZoom() {
    if (!m_isZooming) {
        return;
    }
    m_isZooming = false;
    layoutVertical();
    if (m_handlers.onHourHeightChange) {
        m_handlers.onHourHeightChange(m_metrics.hourHeight);
    }
}

// Clicks and the new event

void TimeGridView::tap(QPointF p) {
    if (!isLaidOut()) {
        return;
    }
    const double headerHeight = m_metrics.headerHeight();
    if (p.y() < headerHeight && p.x() < m_gutterWidth) {
        toggleAllDay();
        return;
    }
    if (p.y() < headerHeight) {
        const TimeGridHeader::Hit hit = headerHit(p);
        switch (hit.kind) {
        case HeaderHit::Kind::event:
            if (hit.event && m_handlers.onSelect) {
                m_handlers.onSelect(*hit.event);
            }
            return;
        case HeaderHit::Kind::more:
            toggleAllDay();
            return;
        case HeaderHit::Kind::day:
            if (m_handlers.onSelectDay) {
                m_handlers.onSelectDay(dayAt(columnAt(p.x())));
            }
            return;
        case HeaderHit::Kind::none:
            return;
        }
    }
    if (const std::optional<CalEvent> event = eventAt(p); event && m_handlers.onSelect) {
        m_handlers.onSelect(*event);
    }
}

void TimeGridView::toggleAllDay() {
    if (!m_hasHiddenAllDay && !m_allDayExpanded) {
        return;
    }
    m_allDayExpanded = !m_allDayExpanded;
    updateAllDayRows(true);
}

int TimeGridView::columnAt(double x) const {
    return static_cast<int>(std::floor((x + m_hOffset) / m_metrics.columnWidth));
}

bool TimeGridView::beginNewEvent(QPointF p) {
    if (!isLaidOut() || p.y() < m_metrics.headerHeight() || p.x() < m_gutterWidth) {
        return false;
    }
    const int column = columnAt(p.x());
    if (column < 0 || column >= m_dayTotal) {
        return false;
    }
    const double minute = m_metrics.minute(p.y() - contentTop());
    m_pendingNew = TimeGridNewEvent::begin(column, minute, m_metrics.startHour, m_metrics.endHour);
    m_ghost = m_pendingNew;
    m_ghostFade.stop();
    m_ghostAlpha = 1;
    update();
    return true;
}

void TimeGridView::dragNewEvent(QPointF p) {
    if (!m_pendingNew) {
        return;
    }
    const double minute = m_metrics.minute(p.y() - contentTop());
    const TimeGridNewEvent next =
        m_pendingNew->dragged(minute, m_metrics.startHour, m_metrics.endHour);
    if (next != *m_pendingNew) {
        m_pendingNew = next;
        m_ghost = next;
        update();
    }
}

void TimeGridView::endNewEvent(bool cancelled) {
    if (!m_pendingNew) {
        return;
    }
    const TimeGridNewEvent proposed = *m_pendingNew;
    m_pendingNew.reset();
    m_ghostFade.start();
    if (cancelled) {
        return;
    }
    const Instant day = dayAt(proposed.column);
    const auto start = TimeGridNewEvent::instant(day, proposed.range.lower, m_calendar);
    const auto end = TimeGridNewEvent::instant(day, proposed.range.upper, m_calendar);
    if (start && end && m_handlers.onCreate) {
        m_handlers.onCreate(*start, *end);
    }
}

// The now line

std::optional<int> TimeGridView::todayIndexNow() const {
    if (!m_days) {
        return std::nullopt;
    }
    return m_days->exactIndex(m_calendar.startOfDay(now()));
}

void TimeGridView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    startMinuteTimer();
}

void TimeGridView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_minuteTimer.stop();
}

void TimeGridView::startMinuteTimer() {
    m_minuteTimer.stop();
    minuteTick();
    m_minuteTimer.start(TimeGridNow::untilNextMinute(now()));
}

void TimeGridView::minuteTick() {
    if (!isLaidOut()) {
        return;
    }
    if (todayIndexNow() != m_todayIndex) {
        reloadData();
    } else {
        updateNow(false);
    }
}

void TimeGridView::updateNow(bool force) {
    if (m_laidOutSize.isEmpty() || !m_days) {
        return;
    }
    const std::optional<int> today = todayIndexNow();
    if (today != m_todayIndex) {
        m_todayIndex = today;
        update();
    }
    const double minute = TimeGridNow::minuteOfDay(now(), m_calendar);
    const TimeGridColumnRange range = visibleRange();
    const TimeGridNow state{
        .todayIndex = today.value_or(INT_MIN),
        .minute = static_cast<int>(minute),
        .visible = today && *today >= range.first && *today <= range.last,
        .inHours = TimeGridNow::inHoursOf(m_metrics, minute),
    };
    if (!force && m_nowState == state) {
        return;
    }
    m_nowState = state;
    m_nowMinute = minute;
    update();
}

// Painting

void TimeGridView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        m_palette = GridPalette::from(palette());
        update();
    }
    QWidget::changeEvent(event);
}

void TimeGridView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutIfNeeded(m_scale);
}

bool TimeGridView::event(QEvent* event) {
    if (m_input->handle(event)) {
        return true;
    }
    return QWidget::event(event);
}

void TimeGridView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    layoutIfNeeded(deviceScale(painter));
    painter.fillRect(rect(), m_palette.background);
    if (m_laidOutSize.isEmpty()) {
        return;
    }
    const TimeGridColumnRange range = visibleRange();
    paintBody(painter, range);
    paintHeaders(painter, range);
    paintGutter(painter);
    if (m_ghost) {
        paintGhost(painter);
    }
    if (!m_fadeFrom.isNull()) {
        painter.setOpacity(m_fade.currentValue().toDouble());
        painter.drawPixmap(QPointF(0, 0), m_fadeFrom);
        painter.setOpacity(1);
    }
}

void TimeGridView::paintBody(QPainter& painter, TimeGridColumnRange range) {
    const double headerHeight = m_metrics.headerHeight();
    const double bodyHeight = scrollerHeight();
    painter.save();
    painter.setClipRect(QRectF(m_gutterWidth, headerHeight, width() - m_gutterWidth, bodyHeight));
    for (int i = range.first; i <= range.last; ++i) {
        painter.save();
        painter.translate(columnLeft(i), headerHeight - m_vOffset);
        m_tiles.column(i, m_days->date(i), m_metrics, m_scale)
            .paint(painter, m_palette, m_vOffset, m_vOffset + bodyHeight);
        painter.restore();
    }
    if (m_nowState && m_nowState->visible && m_nowState->inHours) {
        painter.translate(-m_hOffset, headerHeight - m_vOffset);
        TimeGridOverlay::paintNow(painter, m_palette, m_metrics, m_nowState->todayIndex,
                                  m_nowMinute);
    }
    painter.restore();
}

void TimeGridView::paintHeaders(QPainter& painter, TimeGridColumnRange range) {
    const double headerHeight = m_metrics.headerHeight();
    painter.save();
    painter.setClipRect(QRectF(m_gutterWidth, 0, width() - m_gutterWidth, headerHeight));
    for (int i = range.first; i <= range.last; ++i) {
        painter.save();
        painter.translate(columnLeft(i), 0);
        m_tiles.header(i, m_days->date(i), m_metrics, m_todayIndex == i, m_scale)
            .paint(painter, m_palette);
        painter.restore();
    }
    painter.restore();
    const double pixel = 1 / m_scale;
    painter.fillRect(
        QRectF(0, std::floor((headerHeight - pixel) * m_scale) / m_scale, width(), pixel),
        m_palette.separator);
}

void TimeGridView::paintGutter(QPainter& painter) {
    if (m_gutterWidth <= 0) {
        return;
    }
    const double headerHeight = m_metrics.headerHeight();
    const double bodyHeight = scrollerHeight();
    const bool showsNow = m_nowState && m_nowState->visible && m_nowState->inHours;
    m_gutter.configure(m_metrics, m_gutterWidth,
                       showsNow ? std::optional<Instant>(now()) : std::nullopt,
                       showsNow ? std::optional<double>(m_nowMinute) : std::nullopt, m_scale);
    painter.save();
    painter.setClipRect(QRectF(0, headerHeight, m_gutterWidth, bodyHeight));
    painter.fillRect(QRectF(0, headerHeight, m_gutterWidth, bodyHeight), m_palette.background);
    painter.translate(0, headerHeight - m_vOffset);
    m_gutter.paint(painter, m_palette);
    painter.restore();
    const bool chevron = m_metrics.allDayRows > 0 && (m_hasHiddenAllDay || m_allDayExpanded);
    TimeGridOverlay::paintCorner(painter, m_palette, m_metrics, m_gutterWidth, m_scale,
                                 chevron ? std::optional<bool>(m_allDayExpanded) : std::nullopt);
}

void TimeGridView::paintGhost(QPainter& painter) {
    const TimeGridNewEvent& ghost = *m_ghost;
    const double top = contentTop();
    const QRectF frame(columnLeft(ghost.column) + 1.5, top + m_metrics.y(ghost.range.lower) + 0.5,
                       m_metrics.columnWidth - 5,
                       m_metrics.y(ghost.range.upper) - m_metrics.y(ghost.range.lower) - 1);
    const Instant day = dayAt(ghost.column);
    const auto start = TimeGridNewEvent::instant(day, ghost.range.lower, m_calendar);
    const auto end = TimeGridNewEvent::instant(day, ghost.range.upper, m_calendar);
    const QString label =
        start && end ? QString::fromStdString(TimeGridNewEvent::label(*start, *end, m_calendar))
                     : QString();
    painter.save();
    painter.setClipRect(
        QRectF(m_gutterWidth, m_metrics.headerHeight(), width() - m_gutterWidth, scrollerHeight()));
    TimeGridOverlay::paintGhost(painter, m_palette, frame, label, m_ghostAlpha);
    painter.restore();
}

// Geometry for tests and pictures

const TimeGridMetrics& TimeGridView::metrics() const {
    layoutIfNeeded(m_scale);
    return m_metrics;
}

double TimeGridView::gutterWidth() const {
    layoutIfNeeded(m_scale);
    return m_gutterWidth;
}

double TimeGridView::verticalOffset() const {
    layoutIfNeeded(m_scale);
    return m_vOffset;
}

int TimeGridView::pageStart() const {
    layoutIfNeeded(m_scale);
    return nearestIndex();
}

int TimeGridView::dayCount() const {
    layoutIfNeeded(m_scale);
    return m_dayCount;
}

int TimeGridView::dayTotal() const {
    layoutIfNeeded(m_scale);
    return m_dayTotal;
}

Instant TimeGridView::date(int index) const {
    layoutIfNeeded(m_scale);
    return dayAt(index);
}

Instant TimeGridView::dayAt(int index) const {
    return m_days ? m_days->date(index) : m_pendingAnchor;
}

double TimeGridView::columnLeft(int index) const {
    layoutIfNeeded(m_scale);
    return m_metrics.columnX(index) - m_hOffset;
}

double TimeGridView::contentTop() const {
    layoutIfNeeded(m_scale);
    return m_metrics.headerHeight() - m_vOffset;
}

std::optional<CalEvent> TimeGridView::eventAt(QPointF p) const {
    if (!isLaidOut() || p.y() < m_metrics.headerHeight() || p.x() < m_gutterWidth) {
        return std::nullopt;
    }
    const int index = columnAt(p.x());
    if (index < 0 || index >= m_dayTotal) {
        return std::nullopt;
    }
    auto* self = const_cast<TimeGridView*>(this);
    const QPointF local(p.x() - columnLeft(index), p.y() - contentTop());
    return self->m_tiles.column(index, m_days->date(index), m_metrics, m_scale).eventAt(local);
}

TimeGridHeader::Hit TimeGridView::headerHit(QPointF p) const {
    if (!isLaidOut() || p.y() >= m_metrics.headerHeight() || p.x() < m_gutterWidth) {
        return {};
    }
    const int index = columnAt(p.x());
    if (index < 0 || index >= m_dayTotal) {
        return {};
    }
    auto* self = const_cast<TimeGridView*>(this);
    return self->m_tiles
        .header(index, m_days->date(index), m_metrics, m_todayIndex == index, m_scale)
        .hit(QPointF(p.x() - columnLeft(index), p.y()));
}

std::vector<TimeGridView::Marker> TimeGridView::uiTestMarkers() const {
    std::vector<Marker> markers;
    if (!m_uiTestMarkers || !isLaidOut()) {
        return markers;
    }
    const TimeGridColumnRange range = visibleRange();
    for (int i = range.first; i <= range.last; ++i) {
        const std::string key = Fmt::dayKey(dayAt(i), m_calendar);
        const double x = columnLeft(i);
        markers.push_back(Marker{.identifier = "headerTitle-" + key,
                                 .frame = QRectF(x, 0, m_metrics.columnWidth, 1)});
        markers.push_back(Marker{.identifier = "column-" + key,
                                 .frame = QRectF(x, contentTop(), m_metrics.columnWidth, 1)});
    }
    return markers;
}

} // namespace plannery
