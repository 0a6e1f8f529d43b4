#include "grid/TimeGridGutter.h"

#include <cmath>

namespace plannery::TimeGridGutter {

namespace {

// Both labels are one 13-point line centred on their position.
constexpr double kLabelHeight = 13;
constexpr double kHalfLabel = 6.5;

double toPixels(double value, double scale) {
    const double s = scale >= 1 && std::isfinite(scale) ? scale : 1;
    return std::round(value * s) / s;
}

} // namespace

std::vector<GutterLabel> hourLabels(const std::vector<double>& hourPositions, double gutterWidth,
                                    std::optional<double> nowPosition, double scale) {
    std::vector<GutterLabel> labels;
    labels.reserve(hourPositions.size());
    for (const double y : hourPositions) {
        labels.push_back(
            GutterLabel{.frame = Rect{.x = 0,
                                      .y = toPixels(y - kHalfLabel, scale),
                                      .width = gutterWidth - 5,
                                      .height = kLabelHeight},
                        .hidden = nowPosition && std::abs(y - *nowPosition) < kLabelHeight});
    }
    return labels;
}

std::optional<Rect> nowLabelFrame(std::optional<double> nowPosition, double gutterWidth) {
    if (!nowPosition) {
        return std::nullopt;
    }
    return Rect{
        .x = 0, .y = *nowPosition - kHalfLabel, .width = gutterWidth - 3, .height = kLabelHeight};
}

} // namespace plannery::TimeGridGutter
