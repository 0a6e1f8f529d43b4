#pragma once

#include "grid/Geometry.h"
#include "grid/TimeGridSegment.h"

#include <string>
#include <vector>

namespace plannery {

// A segment placed in its day column: where it is drawn, how deep in a cascade it sits, its
// stacking order and the parts of it that later blocks are drawn over.
struct TimeGridBlock {
    TimeGridSegment segment;
    Rect frame;    // in the column's coordinates
    int depth = 0; // cascade level, 0 = bottom
    int z = 0;     // stacking order, higher draws on top
    // Vertical stretches measured from the frame's top over which a block with a higher z is
    // drawn, ascending by lower bound.
    std::vector<Stretch> covered{};

    friend bool operator==(const TimeGridBlock&, const TimeGridBlock&) = default;
};

// A block as an event tile shows it: on the device pixel grid, with the tile's drawing flags.
struct TimeGridTile {
    TimeGridBlock block;   // frame rounded to device pixels, covered stretches from its rounded top
    bool compact = false;  // smaller fonts and insets
    bool outlined = false; // drawn over another tile, separated from it by a gap
};

// The overlap layout of one day column of the time grid: pure functions on plain values.
namespace TimeGridLayout {

// A half-open stretch of minutes after midnight.
struct Interval {
    double start = 0;
    double end = 0;

    friend bool operator==(const Interval&, const Interval&) = default;
};

// Horizontal placement of one interval.
struct Placement {
    double x0 = 0;
    double x1 = 0;
    int depth = 0; // cascade level, 0 = bottom
    int z = 0;     // stacking order, higher draws on top

    friend bool operator==(const Placement&, const Placement&) = default;

    // "x0-x1@depth", for diagnostics.
    std::string text() const;
};

// Where one interval sits among the sub-columns of a side-by-side group.
struct ColumnSpan {
    int column = 0;
    int span = 1; // columns it covers, to the right from `column`

    friend bool operator==(const ColumnSpan&, const ColumnSpan&) = default;
};

struct Columns {
    std::vector<ColumnSpan> spans; // one per interval, in the input's order
    int count = 0;

    friend bool operator==(const Columns&, const Columns&) = default;
};

// Packs intervals, taken in the given order, into sub-columns: each goes into the first column
// that is free at its start, then widens over the following columns it overlaps nothing in.
Columns columns(const std::vector<Interval>& intervals);

// One placement per interval, in the input's order. Intervals that start within `together`
// minutes of an overlapping one share the width side by side; later ones are cascaded over them,
// indented by `indent`, never narrower than `minColumn` through indentation. Side-by-side groups
// too narrow for `minWidth` give up their latest starters to the cascade. `gap` separates
// neighbours on the bottom level.
std::vector<Placement> place(const std::vector<Interval>& intervals, double width, double together,
                             double indent, double minWidth, double gap, double minColumn);

// The blocks of a day column's segments, in the segments' order. `width` is the column's width,
// `hourHeight` the height of an hour, `top` the y of the band's first hour, and the band (the
// visible window) runs from `startHour` to `endHour`. Every block is at least `minHeight` tall
// unless a following event starts inside that extension. Empty when the geometry is not finite
// or the hour height not positive.
std::vector<TimeGridBlock> blocks(const std::vector<TimeGridSegment>& segments, double width,
                                  double hourHeight, double top, double startHour, double endHour,
                                  double minHeight, double leftInset, double rightInset,
                                  double gap);

// The tops of the text lines of the given heights, laid out downwards through the stretches
// (ascending), each line within one stretch (it may run `slack` past its end). Stops at the
// first line that finds no room, so the result may be shorter than `lineHeights`.
std::vector<double> flow(const std::vector<double>& lineHeights,
                         const std::vector<Stretch>& stretches, double slack);

// The stretches between `top` and `bottom` left readable by the covered parts (ascending): text
// keeps `above` clear of a covering block's top and `below` clear of its bottom. Stretches
// shorter than `minHeight` are dropped.
std::vector<Stretch> visibleStretches(double top, double bottom,
                                      const std::vector<Stretch>& covered, double above,
                                      double below, double minHeight);

// The blocks in drawing order (z ascending, stable) as tiles for a column `columnWidth` wide on
// a display of the given scale (device pixels per point; 1 when not positive).
std::vector<TimeGridTile> tiles(const std::vector<TimeGridBlock>& blocks, double scale,
                                double columnWidth);

} // namespace TimeGridLayout
} // namespace plannery
