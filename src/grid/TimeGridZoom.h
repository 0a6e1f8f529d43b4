#pragma once

#include "grid/TimeGridMetrics.h"

#include <optional>

// Changing the time grid's hour height while keeping a minute where the user looks: under the
// pointer while pinching (or Ctrl+wheel), in the middle when the height comes from elsewhere.
namespace plannery::TimeGridZoom {

struct Step {
    double hourHeight = 0;
    double offset = 0; // the vertical offset that keeps the minute in place, clamped

    friend bool operator==(const Step&, const Step&) = default;
};

// The grid at `height` with the minute now at `viewportY` (points below the vertical scroller's
// top edge) still there. `scrollerHeight` is the scroller's visible height.
Step keepMinuteAt(const TimeGridMetrics& metrics, double height, double viewportY, double offset,
                  const TimeGridViewport& view, double scrollerHeight);

// A pinch of `scale` since it began at `startHeight`: the clamped new height with the minute
// under the pointer kept there; none when the height changes by 0.1 points or less.
std::optional<Step> pinch(const TimeGridMetrics& metrics, double startHeight, double scale,
                          double pointerY, double offset, const TimeGridViewport& view,
                          double scrollerHeight);

// An hour height set from outside (another window, the settings): clamped, the middle minute
// kept; none when it differs from the current one by half a point or less.
std::optional<Step> setHeight(const TimeGridMetrics& metrics, double height, double offset,
                              const TimeGridViewport& view, double scrollerHeight);

} // namespace plannery::TimeGridZoom
