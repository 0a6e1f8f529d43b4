#pragma once

#include "grid/TimeGridDays.h"
#include "grid/TimeGridSpan.h"
#include "model/Calendar.h"
#include "model/Instant.h"

namespace plannery {

// Columns first...last, both included.
struct TimeGridColumnRange {
    int first = 0;
    int last = 0;

    friend bool operator==(const TimeGridColumnRange&, const TimeGridColumnRange&) = default;
};

// The finite strip of columns the horizontal scroller holds around an anchor date. Scrolling
// is free inside it; the view builds a new one, centred on the current date, as it nears an end.
// Narrow columns get a wider strip in weeks so that the strip spans a similar width in points.
struct TimeGridStrip {
    int weeks = 0;      // on each side of the anchor's week
    int dayTotal = 0;   // column indexes 0..<dayTotal exist
    int anchorPage = 0; // first column of the page that holds the anchor
    double contentWidth = 0;
    TimeGridDays days;

    static TimeGridStrip around(Instant anchor, const Calendar& calendar, TimeGridSpan span,
                                double columnWidth);
    static int weeksFor(double columnWidth);

    // The first column of the page that holds column `index`: week and work-week pages start
    // at week starts (`perWeek` columns each), pages of n days anywhere.
    static int aligned(int index, TimeGridSpan span, int perWeek);

    // The page start nearest to a horizontal content offset, in steps of `step` columns. The
    // scroller's content starts `gutterWidth` left of column 0's left edge being visible.
    static int nearestIndex(double offset, double gutterWidth, double columnWidth, int step);
    // The columns at least partly visible right of the gutter, within 0..<dayTotal.
    static TimeGridColumnRange visibleRange(double offset, double scrollerWidth, double gutterWidth,
                                            double columnWidth, int dayTotal);
    // The horizontal content offset that shows column `index` first, right of the gutter.
    static double offsetShowing(int index, double columnWidth, double gutterWidth) {
        return columnWidth * index - gutterWidth;
    }
};

} // namespace plannery
