#pragma once

#include "grid/Geometry.h"

#include <optional>
#include <vector>

namespace plannery {

struct GutterLabel {
    Rect frame{};
    bool hidden = false;

    friend bool operator==(const GutterLabel&, const GutterLabel&) = default;
};

// Where the hour gutter puts its hour labels and the current-time label.
namespace TimeGridGutter {

// One label per given hour position (the vertical positions of hours 0...24), centred on its
// line and rounded to the device pixels of `scale`. With a now position, labels closer than 13
// points to it are hidden so that the now label replaces them.
std::vector<GutterLabel> hourLabels(const std::vector<double>& hourPositions, double gutterWidth,
                                    std::optional<double> nowPosition, double scale);
// The now label's frame; none without a now position.
std::optional<Rect> nowLabelFrame(std::optional<double> nowPosition, double gutterWidth);

} // namespace TimeGridGutter

} // namespace plannery
