#pragma once

#include "grid/TimeGridSpan.h"
#include "grid/TimeGridStrip.h"

#include <optional>

// Where the time grid's horizontal pager comes to rest, which columns it keeps alive, and when
// it moves its strip: the rules of paging, apart from the scroll physics the toolkit supplies.
namespace plannery::TimeGridPaging {

// The pager's geometry at a moment.
struct Pager {
    double gutterWidth = 0;
    double columnWidth = 1;
    int dayTotal = 0;
    int dayCount = 1;
};

// The column a drag that ends at `offset`, with the toolkit's proposed resting offset and a
// velocity in points per millisecond (positive: forward in time), comes to rest on. Pages of a
// day, a week or a work week move at most one page from where the drag began; pages of several
// days follow the fling, at most 9 columns from `dragStartIndex`.
int dragTarget(TimeGridSpan span, int perWeek, const Pager& pager, double offset,
               double proposedOffset, double velocity, int dragStartIndex);

// The columns kept alive around the visible ones: one page of margin on each side.
TimeGridColumnRange keepRange(TimeGridColumnRange visible, int dayCount, int dayTotal);

// How many weeks the strip's base moves when the pager settles on `index`: none while it stays
// in the middle half of the strip, else enough to bring it back to the middle.
int rebaseWeeks(int index, int dayTotal, int perWeek);

// Whether a programmatic scroll from the page at `nearest` to `target` animates through the
// strip (close enough, and not near its ends) rather than rebuilding the strip around the target.
bool scrollsThrough(TimeGridSpan span, int perWeek, const Pager& pager, int target, int nearest);

} // namespace plannery::TimeGridPaging
