#include "grid/TimeGridStrip.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace plannery {

namespace {

// A column number from a computed real: NaN gives 0, values beyond int saturate.
int columnOf(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<int>(std::clamp(value, static_cast<double>(std::numeric_limits<int>::min()),
                                       static_cast<double>(std::numeric_limits<int>::max())));
}

} // namespace

int TimeGridStrip::weeksFor(double columnWidth) {
    const double n = std::floor(250000 / columnWidth);
    if (std::isnan(n) || n <= 83) { // also for a negative width
        return 12;
    }
    if (n >= 840) {
        return 120; // also for a width of 0
    }
    return static_cast<int>(n) / 7;
}

TimeGridStrip TimeGridStrip::around(Instant anchor, const Calendar& calendar, TimeGridSpan span,
                                    double columnWidth) {
    const int weeks = weeksFor(columnWidth);
    const Instant weekStart = TimeGridDays::weekStart(anchor, calendar);
    const Instant base = calendar.addDays(weekStart, -7 * weeks).value_or(weekStart);
    TimeGridDays days = TimeGridDays::make(calendar, base, span);
    const int perWeek = days.perWeek();
    const int dayTotal = weeks * perWeek * 2;
    const int anchorPage = aligned(days.index(anchor), span, perWeek);
    return TimeGridStrip{.weeks = weeks,
                         .dayTotal = dayTotal,
                         .anchorPage = anchorPage,
                         .contentWidth = columnWidth * dayTotal,
                         .days = std::move(days)};
}

int TimeGridStrip::aligned(int index, TimeGridSpan span, int perWeek) {
    if (!span.pagesByWeek()) {
        return index;
    }
    const int n = std::clamp(perWeek, 1, 7);
    const int remainder = ((index % n) + n) % n;
    // Saturates instead of stepping below the smallest int.
    return static_cast<int>(
        std::max<long long>(1LL * index - remainder, std::numeric_limits<int>::min()));
}

int TimeGridStrip::nearestIndex(double offset, double gutterWidth, double columnWidth, int step) {
    const int columns = std::max(step, 1);
    const double pages = std::round((offset + gutterWidth) / columnWidth / columns);
    if (!std::isfinite(pages)) {
        return 0;
    }
    return columnOf(pages * columns);
}

TimeGridColumnRange TimeGridStrip::visibleRange(double offset, double scrollerWidth,
                                                double gutterWidth, double columnWidth,
                                                int dayTotal) {
    const int lastColumn = std::max(dayTotal - 1, 0);
    const int first =
        std::clamp(columnOf(std::floor((offset + gutterWidth + 0.5) / columnWidth)), 0, lastColumn);
    const int last = std::min(
        std::max(columnOf(std::floor((offset + scrollerWidth - 0.5) / columnWidth)), first),
        lastColumn);
    return TimeGridColumnRange{.first = first, .last = last};
}

} // namespace plannery
