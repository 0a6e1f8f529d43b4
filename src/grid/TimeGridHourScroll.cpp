#include "grid/TimeGridHourScroll.h"

#include "grid/TimeGridZoom.h"

#include <algorithm>
#include <cmath>

namespace plannery {

double TimeGridHourScroll::scrollerHeight() const {
    return std::max(m_viewport.height - m_metrics.headerHeight(), 0.0);
}

double TimeGridHourScroll::clamped(double offset) const {
    return m_metrics.clampVerticalOffset(offset, m_viewport.bottomInset, scrollerHeight());
}

void TimeGridHourScroll::fitHeight() {
    if (m_fit) {
        m_metrics.hourHeight = m_metrics.fittedHourHeight(m_viewport);
    }
    m_offset = clamped(m_offset);
}

void TimeGridHourScroll::layout(const TimeGridViewport& viewport, const TimeGridWidths& widths,
                                const TimeGridPageHours& page,
                                std::optional<DateComponents> nowOnPage) {
    const bool first = !m_laidOut;
    const TimeGridMetrics before = m_metrics;
    m_viewport = viewport;
    m_metrics = m_metrics.with(widths);
    if (first) {
        m_metrics.hourHeight = m_preferredHeight.value_or(
            TimeGridMetrics::defaultHourHeight(viewport.sizeClass, TimeGridPreferences{}));
    }
    m_metrics.hourHeight = m_metrics.clampHourHeight(m_metrics.hourHeight, viewport);
    m_laidOut = true;
    showPage(page, true);
    fitHeight();
    if (first) {
        m_offset = clamped(m_pendingOffset.value_or(m_metrics.initialVerticalOffset(nowOnPage)));
        m_pendingOffset.reset();
    } else {
        keepTopMinute(before, m_offset);
    }
}

TimeGridAllDayRows TimeGridHourScroll::allDayRowsFor(int mostAllDay) const {
    return TimeGridMetrics::neededAllDayRows(mostAllDay, m_metrics.columnWidth, m_viewport.height,
                                             m_allDayExpanded);
}

bool TimeGridHourScroll::showAllDayRows(TimeGridAllDayRows rows, bool allowShrink) {
    m_chipsHidden = rows.chipsHidden;
    const int wanted = allowShrink ? rows.rows : std::max(rows.rows, m_metrics.allDayRows);
    if (wanted == m_metrics.allDayRows) {
        return false;
    }
    m_metrics.allDayRows = wanted;
    fitHeight();
    return true;
}

bool TimeGridHourScroll::showPage(const TimeGridPageHours& page, bool force) {
    const TimeGridAllDayRows rows = allDayRowsFor(page.mostAllDay);
    if (!m_fit) {
        return showAllDayRows(rows, true);
    }
    m_chipsHidden = rows.chipsHidden;
    TimeGridMetrics fitted = m_metrics;
    fitted.startHour = page.band.start;
    fitted.endHour = page.band.end;
    fitted.allDayRows = rows.rows;
    if (!force && m_metrics.showsFit(page.band, rows.rows, fitted.fittedHourHeight(m_viewport))) {
        return false;
    }
    m_metrics = fitted;
    fitHeight();
    return true;
}

bool TimeGridHourScroll::growAllDayRows(int mostAllDay) {
    return !m_fit && showAllDayRows(allDayRowsFor(mostAllDay), false);
}

bool TimeGridHourScroll::toggleAllDay() {
    if (!m_chipsHidden && !m_allDayExpanded) {
        return false;
    }
    m_allDayExpanded = !m_allDayExpanded;
    return true;
}

void TimeGridHourScroll::setHourHeight(double height) {
    if (!std::isfinite(height) || m_zooming) {
        return;
    }
    m_preferredHeight = height;
    if (!m_laidOut || m_fit) {
        return;
    }
    if (const auto step =
            TimeGridZoom::setHeight(m_metrics, height, m_offset, m_viewport, scrollerHeight())) {
        m_metrics.hourHeight = step->hourHeight;
        m_offset = step->offset;
        fitHeight();
    }
}

bool TimeGridHourScroll::setFitHours(std::optional<TimeGridHourRange> hours) {
    if (hours) {
        hours = TimeGridHourRange::normalized(hours->start, hours->end);
    }
    if (hours == m_fit) {
        return false;
    }
    m_fit = hours;
    if (m_laidOut && !m_fit) {
        m_metrics.startHour = 0;
        m_metrics.endHour = 24;
        m_metrics.hourHeight =
            m_metrics.clampHourHeight(m_preferredHeight.value_or(TimeGridMetrics::defaultHourHeight(
                                          m_viewport.sizeClass, TimeGridPreferences{})),
                                      m_viewport);
        fitHeight();
    }
    return true;
}

double TimeGridHourScroll::initialOffset(std::optional<DateComponents> nowOnPage) const {
    return m_metrics.initialVerticalOffset(nowOnPage);
}

void TimeGridHourScroll::setOffset(double offset) {
    if (!std::isfinite(offset)) {
        return;
    }
    if (!m_laidOut) {
        m_pendingOffset = offset;
        return;
    }
    m_offset = clamped(offset);
}

void TimeGridHourScroll::scrollBy(double dy) {
    if (m_laidOut && std::isfinite(dy)) {
        m_offset = clamped(m_offset + dy);
    }
}

void TimeGridHourScroll::keepTopMinute(const TimeGridMetrics& before, double offset) {
    m_offset = clamped(m_metrics.offsetKeepingTopMinute(offset, before));
}

bool TimeGridHourScroll::beginZoom() {
    if (!m_laidOut || m_fit || m_zooming) {
        return false;
    }
    m_zooming = true;
    m_zoomStartHeight = m_metrics.hourHeight;
    return true;
}

bool TimeGridHourScroll::zoom(double scale, double pointerY) {
    if (!m_zooming || !std::isfinite(pointerY)) {
        return false;
    }
    const auto step = TimeGridZoom::pinch(m_metrics, m_zoomStartHeight, scale,
                                          pointerY - m_metrics.headerHeight(), m_offset, m_viewport,
                                          scrollerHeight());
    if (!step) {
        return false;
    }
    m_metrics.hourHeight = step->hourHeight;
    m_offset = step->offset;
    return true;
}

std::optional<double> TimeGridHourScroll::endZoom() {
    if (!m_zooming) {
        return std::nullopt;
    }
    m_zooming = false;
    fitHeight();
    return m_metrics.hourHeight;
}

} // namespace plannery
