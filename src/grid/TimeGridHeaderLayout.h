#pragma once

#include "grid/Geometry.h"
#include "grid/TimeGridMetrics.h"
#include "model/CalEvent.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace plannery {

// Where a header's weekday and number labels go.
struct HeaderLabelFrames {
    Rect weekday{};
    Rect number{}; // also the today disc

    friend bool operator==(const HeaderLabelFrames&, const HeaderLabelFrames&) = default;
};

// Which events get all-day chips: the first `eventChips` events, then an overflow chip counting
// `overflow` others when that is above zero.
struct ChipPlan {
    std::size_t eventChips = 0;
    std::size_t overflow = 0;

    friend bool operator==(const ChipPlan&, const ChipPlan&) = default;
};

// One visible chip: an event's (by its index in the day's all-day events) or the overflow chip.
struct HeaderChip {
    std::optional<std::size_t> eventIndex{};
    std::size_t overflow = 0;
    Rect frame{};

    friend bool operator==(const HeaderChip&, const HeaderChip&) = default;
};

// What a point in a header is on.
struct HeaderHit {
    enum class Kind { none, event, more, day };
    Kind kind = Kind::none;
    std::size_t eventIndex = 0; // for Kind::event

    friend bool operator==(const HeaderHit&, const HeaderHit&) = default;
};

// The geometry of a day header: its labels, its all-day chips and what a click hits.
namespace TimeGridHeaderLayout {

// Label frames for the measured weekday text size and number text width; positions are rounded
// to the device pixels of `scale`. Wide columns centre weekday and number side by side in the
// date row; narrow ones put the weekday on top and centre the number under it.
HeaderLabelFrames labelFrames(const TimeGridMetrics& metrics, double weekdayWidth,
                              double weekdayHeight, double numberTextWidth, double scale);

// With `rows` chip rows for `eventCount` events: all of them when they fit, else the first
// rows − 1 and an overflow chip for the rest; nothing without rows.
ChipPlan plan(int rows, std::size_t eventCount);
// Chips in columns under 80 points are compact and sit closer to the column's edges.
bool compactChips(double columnWidth);
// The frame of chip row `row`.
Rect chipFrame(const TimeGridMetrics& metrics, std::size_t row);
// The visible chips, in row order.
std::vector<HeaderChip> layoutChips(const TimeGridMetrics& metrics, std::size_t eventCount);
// The first chip whose frame, extended by a point above and below, contains p; else the day
// when p is in the date row; else nothing.
HeaderHit hit(const std::vector<HeaderChip>& chips, double dateRowHeight, Point p);

// A chip's title starts this far after its stripe.
double chipTextGap(bool compact);
// Chips are drawn at this opacity; a declined event's fades.
double chipOpacity(const CalEvent& event);
inline constexpr double chipCornerRadius = 3.5;

} // namespace TimeGridHeaderLayout

} // namespace plannery
