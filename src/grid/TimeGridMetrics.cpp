#include "grid/TimeGridMetrics.h"

#include <algorithm>
#include <cmath>

namespace plannery {

namespace {

constexpr double kMinColumnWidth = 20;
constexpr int kExpandedAllDayRows = 10;

// max(value, floor) that also turns a NaN into the floor.
double atLeast(double value, double floor) {
    return value >= floor ? value : floor;
}

} // namespace

std::optional<TimeGridWidths> TimeGridMetrics::widths(const TimeGridViewport& view,
                                                      double gutterPreferredWidth, int dayCount) {
    if (!(std::isfinite(view.width) && std::isfinite(view.height) && view.width > 60 &&
          view.height > 60)) {
        return std::nullopt;
    }
    const double scale = std::isfinite(view.scale) ? atLeast(view.scale, 1) : 1;
    const double preferred =
        std::isfinite(gutterPreferredWidth) ? atLeast(gutterPreferredWidth, 0) : 0;
    const int columns = std::max(dayCount, 1);
    const double columnWidth =
        atLeast(std::floor(scale * ((view.width - preferred) / columns)) / scale, kMinColumnWidth);
    return TimeGridWidths{.columnWidth = columnWidth,
                          .gutterWidth = view.width - columnWidth * columns,
                          .dateRowHeight = columnWidth < 80 ? 40.0 : 32.0,
                          .monthOnFirstDay = columns > 1};
}

TimeGridMetrics TimeGridMetrics::with(const TimeGridWidths& widths) const {
    TimeGridMetrics metrics = *this;
    metrics.columnWidth = widths.columnWidth;
    metrics.dateRowHeight = widths.dateRowHeight;
    metrics.monthOnFirstDay = widths.monthOnFirstDay;
    return metrics;
}

double TimeGridMetrics::gutterPreferredWidth(std::optional<double> widestHourLabel,
                                             double nowLabelTextWidth) {
    const double labels = widestHourLabel ? atLeast(*widestHourLabel, 0) + 9 : 39;
    const double nowLabel = atLeast(nowLabelTextWidth, 0) * 0.88 + 3;
    const double width = std::ceil(std::max(labels, nowLabel));
    return std::isfinite(width) ? width : 39;
}

double TimeGridMetrics::defaultHourHeight(SizeClass sizeClass,
                                          const TimeGridPreferences& preferences) {
    return preferences.preferredHourHeight().value_or(sizeClass == SizeClass::regular ? 56 : 50);
}

double TimeGridMetrics::availableHeight(const TimeGridViewport& view) const {
    return view.height - headerHeight() - view.bottomInset - gridTop - gridBottom;
}

double TimeGridMetrics::clampHourHeight(double height, const TimeGridViewport& view) const {
    const double lower = atLeast(std::floor(availableHeight(view) / hourCount()), minHourHeight);
    return std::min(atLeast(height, lower), maxHourHeight);
}

double TimeGridMetrics::fittedHourHeight(const TimeGridViewport& view) const {
    return atLeast(availableHeight(view) / hourCount(), minHourHeight);
}

bool TimeGridMetrics::showsFit(TimeGridHourRange band, int rows, double fittedHeight) const {
    return startHour == band.start && endHour == band.end && allDayRows == rows &&
           std::abs(hourHeight - fittedHeight) <= 0.01;
}

TimeGridAllDayRows TimeGridMetrics::neededAllDayRows(int mostAllDayEvents, double columnWidth,
                                                     double viewHeight, bool expanded) {
    const int most = std::max(mostAllDayEvents, 0);
    const int limit = (columnWidth < 80 || viewHeight < 500) ? 2 : 3;
    return TimeGridAllDayRows{.rows = std::min(most, expanded ? kExpandedAllDayRows : limit),
                              .chipsHidden = most > limit};
}

double TimeGridMetrics::maxVerticalOffset(double bottomInset, double scrollerHeight) const {
    return atLeast(contentHeight() + bottomInset - scrollerHeight, 0);
}

double TimeGridMetrics::clampVerticalOffset(double offset, double bottomInset,
                                            double scrollerHeight) const {
    const double most = maxVerticalOffset(bottomInset, scrollerHeight);
    return std::isnan(offset) ? 0 : std::clamp(offset, 0.0, std::isfinite(most) ? most : 0.0);
}

bool TimeGridMetrics::contentFits(double bottomInset, double scrollerHeight) const {
    return contentHeight() + bottomInset <= scrollerHeight + 0.5;
}

double TimeGridMetrics::initialVerticalOffset(std::optional<DateComponents> nowOnPage) const {
    if (nowOnPage) {
        return y(nowOnPage->hour * 60 + nowOnPage->minute - 60) - 4;
    }
    return y(8 * 60) - 8;
}

double TimeGridMetrics::offsetKeepingTopMinute(double offset, const TimeGridMetrics& before) const {
    return y(before.minute(offset));
}

} // namespace plannery
