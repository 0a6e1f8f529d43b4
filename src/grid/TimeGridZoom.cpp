#include "grid/TimeGridZoom.h"

#include <cmath>

namespace plannery::TimeGridZoom {

Step keepMinuteAt(const TimeGridMetrics& metrics, double height, double viewportY, double offset,
                  const TimeGridViewport& view, double scrollerHeight) {
    const double minute = metrics.minute(offset + viewportY);
    TimeGridMetrics zoomed = metrics;
    zoomed.hourHeight = height;
    const double wanted = zoomed.y(minute) - viewportY;
    return Step{.hourHeight = height,
                .offset = zoomed.clampVerticalOffset(std::isfinite(wanted) ? wanted : 0,
                                                     view.bottomInset, scrollerHeight)};
}

std::optional<Step> pinch(const TimeGridMetrics& metrics, double startHeight, double scale,
                          double pointerY, double offset, const TimeGridViewport& view,
                          double scrollerHeight) {
    if (!std::isfinite(scale) || !(scale > 0)) {
        return std::nullopt;
    }
    const double height = metrics.clampHourHeight(startHeight * scale, view);
    if (!(std::abs(height - metrics.hourHeight) > 0.1)) {
        return std::nullopt;
    }
    return keepMinuteAt(metrics, height, pointerY, offset, view, scrollerHeight);
}

std::optional<Step> setHeight(const TimeGridMetrics& metrics, double height, double offset,
                              const TimeGridViewport& view, double scrollerHeight) {
    const double clamped = metrics.clampHourHeight(height, view);
    if (!(std::abs(clamped - metrics.hourHeight) > 0.5)) {
        return std::nullopt;
    }
    return keepMinuteAt(metrics, clamped, scrollerHeight / 2, offset, view, scrollerHeight);
}

} // namespace plannery::TimeGridZoom
