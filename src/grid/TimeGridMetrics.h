#pragma once

#include "grid/TimeGridHours.h"
#include "model/Calendar.h"

#include <optional>

namespace plannery {

// The horizontal size class of the window the grid is in.
enum class SizeClass { compact, regular };

// What the grid view knows about the space it is given, in points.
struct TimeGridViewport {
    double width = 0;
    double height = 0;
    double bottomInset = 0; // bottom safe-area inset
    double scale = 1;       // device pixels per point
    SizeClass sizeClass = SizeClass::compact;

    friend bool operator==(const TimeGridViewport&, const TimeGridViewport&) = default;
};

// Column and gutter widths for a view width, with the header choices that depend on them.
struct TimeGridWidths {
    double columnWidth = 100;
    double gutterWidth = 40; // may fall below the gutter's preferred width, even below 0
    double dateRowHeight = 32;
    bool monthOnFirstDay = true;

    friend bool operator==(const TimeGridWidths&, const TimeGridWidths&) = default;
};

// The all-day rows a page needs in the header.
struct TimeGridAllDayRows {
    int rows = 0;
    bool chipsHidden = false; // more all-day events than the collapsed header shows

    friend bool operator==(const TimeGridAllDayRows&, const TimeGridAllDayRows&) = default;
};

// The geometry of one time grid, in points. Minutes count from the day's midnight on the wall
// clock (0...1440) whatever the day's real length.
struct TimeGridMetrics {
    // The bounds of any hour height, zoomed or chosen.
    static constexpr double minHourHeight = 16;
    static constexpr double maxHourHeight = 200;

    double columnWidth = 100;
    double hourHeight = 50;
    int startHour = 0;
    int endHour = 24;      // exclusive
    double gridTop = 9;    // space above startHour inside the scrolling area
    double gridBottom = 9; // space below endHour
    double dateRowHeight = 30;
    double chipHeight = 17;
    double chipGap = 2;
    int allDayRows = 0;
    bool monthOnFirstDay = true;

    friend bool operator==(const TimeGridMetrics&, const TimeGridMetrics&) = default;

    // The date row plus the all-day chip rows with a 2-point margin when there are any.
    double headerHeight() const {
        return dateRowHeight + (allDayRows == 0 ? 0 : (chipHeight + chipGap) * allDayRows + 2);
    }
    double contentHeight() const {
        return gridTop + hourHeight * (endHour - startHour) + gridBottom;
    }
    double y(double minute) const { return gridTop + hourHeight * (minute / 60 - startHour); }
    double minute(double y) const { return (y - gridTop) / hourHeight * 60 + startHour * 60; }
    // Hours of the axis, at least one even for a damaged range.
    int hourCount() const { return endHour - startHour > 1 ? endHour - startHour : 1; }

    // Widths for a view of the given size showing `dayCount` columns: columns in whole device
    // pixels and at least 20 points, the gutter taking the rest. None when a side is 60 points
    // or less (the view is not really laid out yet).
    static std::optional<TimeGridWidths> widths(const TimeGridViewport& view,
                                                double gutterPreferredWidth, int dayCount);
    TimeGridMetrics with(const TimeGridWidths& widths) const;

    // The gutter's preferred width from its measured texts: the widest hour label (none when
    // there are no labels) and the now-label's text for 12:58.
    static double gutterPreferredWidth(std::optional<double> widestHourLabel,
                                       double nowLabelTextWidth);

    // The hour height without pinching: the stored preference, else by the size class.
    static double defaultHourHeight(SizeClass sizeClass, const TimeGridPreferences& preferences);
    // Height left for the hour axis below the header.
    double availableHeight(const TimeGridViewport& view) const;
    // An hour height bounded so that the hours fill at least the available height, never
    // below 16 and never above 200 (the upper bound wins).
    double clampHourHeight(double height, const TimeGridViewport& view) const;
    // The height at which the hours exactly fill the available height, at least 16.
    double fittedHourHeight(const TimeGridViewport& view) const;
    // Whether a fitted page with this band, row count and hour height looks as it does now.
    bool showsFit(TimeGridHourRange band, int rows, double fittedHeight) const;

    // Rows for a page whose busiest column has `mostAllDayEvents` all-day events: up to 10 when
    // the user expanded the all-day area, else 2 on narrow columns or short windows and 3
    // otherwise.
    static TimeGridAllDayRows neededAllDayRows(int mostAllDayEvents, double columnWidth,
                                               double viewHeight, bool expanded);

    double maxVerticalOffset(double bottomInset, double scrollerHeight) const;
    double clampVerticalOffset(double offset, double bottomInset, double scrollerHeight) const;
    // No vertical scrolling is needed (half a point of tolerance for rounding).
    bool contentFits(double bottomInset, double scrollerHeight) const;
    // Where a page starts vertically: an hour before now (its wall-clock time) when today is on
    // the page, else 8:00. Not yet clamped.
    double initialVerticalOffset(std::optional<DateComponents> nowOnPage) const;
    // The offset that keeps the minute at the top edge of `before` at the top edge now.
    double offsetKeepingTopMinute(double offset, const TimeGridMetrics& before) const;
};

} // namespace plannery
