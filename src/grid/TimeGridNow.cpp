#include "grid/TimeGridNow.h"

#include <algorithm>
#include <cmath>

namespace plannery {

double TimeGridNow::minuteOfDay(Instant now, const Calendar& calendar) {
    const auto parts = calendar.components(now);
    const double whole = now.seconds - std::floor(now.seconds);
    const double minute = parts.hour * 60 + parts.minute + (parts.second + whole) / 60;
    return std::clamp(minute, 0.0, 1440.0);
}

Rect TimeGridNow::line(const TimeGridMetrics& metrics, double left, double minute) {
    return Rect{
        .x = left, .y = metrics.y(minute) - 0.75, .width = metrics.columnWidth, .height = 1.5};
}

Rect TimeGridNow::dot(const TimeGridMetrics& metrics, double left, double minute) {
    return Rect{.x = left - 0.5, .y = metrics.y(minute) - 4, .width = 8, .height = 8};
}

std::chrono::milliseconds TimeGridNow::untilNextMinute(Instant now) {
    if (!std::isfinite(now.seconds)) {
        return std::chrono::seconds(60);
    }
    const double intoMinute = now.seconds - 60 * std::floor(now.seconds / 60);
    const auto wait = static_cast<long long>(std::ceil((60 - intoMinute) * 1000));
    return std::chrono::milliseconds(std::clamp(wait, 1LL, 60000LL));
}

} // namespace plannery
