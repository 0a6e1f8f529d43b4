#include "grid/TimeGridPager.h"

#include "grid/TimeGridPaging.h"

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

// How far past its end a drag's velocity carries the strip (points per ms × this), the toolkit's
// fast deceleration.
constexpr double kDecelerationMs = 100;

} // namespace

TimeGridPager::TimeGridPager(TimeGridSpan span, Calendar calendar)
    : m_span(span), m_calendar(std::move(calendar)) {}

void TimeGridPager::setCalendar(Calendar calendar) {
    m_calendar = std::move(calendar);
    m_days.reset();
    m_dates.clear();
    m_slideTarget.reset();
    m_dragging = false;
}

Instant TimeGridPager::pageOf(Instant day) const {
    const Instant start = m_calendar.startOfDay(day);
    const TimeGridDays days =
        TimeGridDays::make(m_calendar, TimeGridDays::weekStart(start, m_calendar), m_span);
    return days.date(TimeGridStrip::aligned(days.index(start), m_span, days.perWeek()));
}

void TimeGridPager::reset(const TimeGridPagerGeometry& geometry, Instant day) {
    m_geometry = geometry;
    m_geometry.dayCount = std::max(geometry.dayCount, 1);
    TimeGridStrip strip =
        TimeGridStrip::around(m_calendar.startOfDay(day), m_calendar, m_span, geometry.columnWidth);
    m_days = std::move(strip.days);
    m_dates.clear();
    m_dayTotal = std::max(strip.dayTotal, 1);
    m_perWeek = m_days->perWeek();
    m_slideTarget.reset();
    m_dragging = false;
    m_offset = offsetShowing(std::clamp(strip.anchorPage, 0, m_dayTotal - 1));
}

// Where it is

Instant TimeGridPager::date(int index) const {
    const auto [it, added] = m_dates.try_emplace(index);
    if (added) {
        it->second = m_days->date(index);
    }
    return it->second;
}

int TimeGridPager::step() const {
    return m_span.pagesByWeek() ? m_perWeek : 1;
}

double TimeGridPager::offsetShowing(int index) const {
    return TimeGridStrip::offsetShowing(index, m_geometry.columnWidth, m_geometry.gutterWidth);
}

int TimeGridPager::nearestIndex() const {
    const int index = TimeGridStrip::nearestIndex(m_offset, m_geometry.gutterWidth,
                                                  m_geometry.columnWidth, step());
    return std::clamp(index, 0, std::max(m_dayTotal - m_geometry.dayCount, 0));
}

TimeGridColumnRange TimeGridPager::visibleRange() const {
    return TimeGridStrip::visibleRange(m_offset, m_geometry.width, m_geometry.gutterWidth,
                                       m_geometry.columnWidth, m_dayTotal);
}

std::optional<int> TimeGridPager::columnOf(Instant day) const {
    if (!m_days || !std::isfinite(day.seconds)) {
        return std::nullopt;
    }
    const std::optional<int> index = m_days->exactIndex(m_calendar.startOfDay(day));
    if (!index || *index < 0 || *index >= m_dayTotal) {
        return std::nullopt;
    }
    return index;
}

Instant TimeGridPager::page() const {
    return date(m_slideTarget.value_or(nearestIndex()));
}

std::vector<Instant> TimeGridPager::pageDays(Instant page) const {
    std::vector<Instant> days;
    if (const std::optional<int> first = columnOf(page)) {
        for (int i = *first; i < std::min(*first + m_geometry.dayCount, m_dayTotal); ++i) {
            days.push_back(date(i));
        }
    }
    return days;
}

bool TimeGridPager::pageHolds(Instant page, Instant day) const {
    if (!m_days || !std::isfinite(page.seconds) || !std::isfinite(day.seconds)) {
        return false;
    }
    const std::optional<int> first = m_days->exactIndex(m_calendar.startOfDay(page));
    const std::optional<int> index = m_days->exactIndex(m_calendar.startOfDay(day));
    return first && index && *index >= *first && 1LL * *index < 1LL * *first + m_geometry.dayCount;
}

std::vector<TimeGridColumnPlace> TimeGridPager::visibleColumns() const {
    std::vector<TimeGridColumnPlace> columns;
    const TimeGridColumnRange range = visibleRange();
    for (int i = range.first; i <= range.last; ++i) {
        columns.push_back(
            TimeGridColumnPlace{.day = date(i), .left = m_geometry.columnWidth * i - m_offset});
    }
    return columns;
}

std::vector<Instant> TimeGridPager::visibleDays() const {
    std::vector<Instant> days;
    const TimeGridColumnRange range = visibleRange();
    for (int i = range.first; i <= range.last; ++i) {
        days.push_back(date(i));
    }
    return days;
}

std::vector<Instant> TimeGridPager::keptDays() const {
    std::vector<Instant> days;
    const TimeGridColumnRange keep =
        TimeGridPaging::keepRange(visibleRange(), m_geometry.dayCount, m_dayTotal);
    for (int i = keep.first; i <= keep.last; ++i) {
        days.push_back(date(i));
    }
    return days;
}

std::optional<TimeGridColumnPlace> TimeGridPager::columnAt(double x) const {
    if (!m_days || !(m_geometry.columnWidth > 0)) {
        return std::nullopt;
    }
    const double column = std::floor((x + m_offset) / m_geometry.columnWidth);
    if (!(column >= 0 && column < m_dayTotal)) {
        return std::nullopt;
    }
    return TimeGridColumnPlace{.day = date(static_cast<int>(column)),
                               .left = m_geometry.columnWidth * column - m_offset};
}

std::optional<double> TimeGridPager::leftOf(Instant day) const {
    const std::optional<int> index = columnOf(day);
    if (!index) {
        return std::nullopt;
    }
    return m_geometry.columnWidth * *index - m_offset;
}

bool TimeGridPager::isSnapped() const {
    return std::abs(m_offset - offsetShowing(nearestIndex())) <= 0.5;
}

// Moves

bool TimeGridPager::setOffset(double offset) {
    const double lowest = -m_geometry.gutterWidth;
    const double highest = std::max(m_geometry.columnWidth * m_dayTotal - m_geometry.width, lowest);
    offset = std::isfinite(offset) ? std::clamp(offset, lowest, highest) : m_offset;
    if (offset == m_offset) {
        return false;
    }
    m_offset = offset;
    return true;
}

void TimeGridPager::beginDrag() {
    m_slideTarget.reset();
    m_dragging = true;
    m_dragStart = nearestIndex();
}

bool TimeGridPager::dragBy(double dx) {
    if (!m_dragging) {
        beginDrag();
    }
    return setOffset(m_offset + dx);
}

TimeGridPagerStop TimeGridPager::endDrag(double velocity) {
    m_dragging = false;
    if (!std::isfinite(velocity)) {
        velocity = 0;
    }
    const TimeGridPaging::Pager pager{.gutterWidth = m_geometry.gutterWidth,
                                      .columnWidth = m_geometry.columnWidth,
                                      .dayTotal = m_dayTotal,
                                      .dayCount = m_geometry.dayCount};
    const int target =
        TimeGridPaging::dragTarget(m_span, m_perWeek, pager, m_offset,
                                   m_offset + velocity * kDecelerationMs, velocity, m_dragStart);
    return TimeGridPagerStop{.page = date(target), .offset = offsetShowing(target)};
}

Instant TimeGridPager::pagedDay(int pages) const {
    const int from = m_slideTarget.value_or(nearestIndex());
    const int columns = m_span.pagesByWeek() ? m_perWeek : m_geometry.dayCount;
    return date(
        static_cast<int>(std::clamp(1LL * from + 1LL * pages * columns, -(1LL << 30), 1LL << 30)));
}

std::optional<double> TimeGridPager::slideTo(Instant day) {
    const int target =
        TimeGridStrip::aligned(m_days->index(m_calendar.startOfDay(day)), m_span, m_perWeek);
    const TimeGridPaging::Pager pager{.gutterWidth = m_geometry.gutterWidth,
                                      .columnWidth = m_geometry.columnWidth,
                                      .dayTotal = m_dayTotal,
                                      .dayCount = m_geometry.dayCount};
    if (!TimeGridPaging::scrollsThrough(m_span, m_perWeek, pager, target, nearestIndex())) {
        return std::nullopt;
    }
    m_dragging = false;
    m_slideTarget = target;
    return offsetShowing(target);
}

std::optional<double> TimeGridPager::settle() {
    const int index = nearestIndex();
    if (!isSnapped()) {
        return offsetShowing(index);
    }
    if (const int weeks = TimeGridPaging::rebaseWeeks(index, m_dayTotal, m_perWeek)) {
        rebase(weeks);
    }
    return std::nullopt;
}

void TimeGridPager::rebase(int weeks) {
    const std::optional<Instant> base =
        m_calendar.addDays(TimeGridDays::noon(m_days->base, m_calendar), 7 * weeks);
    if (!base) {
        return;
    }
    const int delta = weeks * m_perWeek;
    m_days = TimeGridDays::make(m_calendar, m_calendar.startOfDay(*base), m_span);
    m_dates.clear();
    if (m_slideTarget) {
        *m_slideTarget -= delta;
    }
    m_dragStart -= delta;
    m_offset -= m_geometry.columnWidth * delta;
}

} // namespace plannery
