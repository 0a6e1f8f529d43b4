#pragma once

#include "grid/TimeGridDays.h"
#include "grid/TimeGridSpan.h"
#include "grid/TimeGridStrip.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <map>
#include <optional>
#include <vector>

namespace plannery {

// The widths the pager lays its columns out with, in points.
struct TimeGridPagerGeometry {
    double columnWidth = 100;
    double gutterWidth = 40;
    double width = 0; // the whole view, the gutter included
    int dayCount = 1; // columns on a page

    friend bool operator==(const TimeGridPagerGeometry&, const TimeGridPagerGeometry&) = default;
};

// A day column and the x of its left edge in the view.
struct TimeGridColumnPlace {
    Instant day{};
    double left = 0;

    friend bool operator==(const TimeGridColumnPlace&, const TimeGridColumnPlace&) = default;
};

// Where a drag comes to rest: the first day of the page and the offset that shows it.
struct TimeGridPagerStop {
    Instant page{};
    double offset = 0;

    friend bool operator==(const TimeGridPagerStop&, const TimeGridPagerStop&) = default;
};

// The time grid's position across the days: a strip of day columns around the page on screen,
// the horizontal offset into it, dragging and sliding, and where each comes to rest. The strip is
// finite; when the page at rest nears an end, the strip's first day moves by whole weeks to bring
// it back to the middle. Days go in and come out: the column numbers that change with every such
// move stay inside, so nothing outside has to follow them.
//
// The offset counts from the left edge of the strip's first column, less the gutter: offset
// -gutterWidth shows the first column right of the gutter.
class TimeGridPager {
  public:
    TimeGridPager(TimeGridSpan span, Calendar calendar);

    // Another calendar (zone, first weekday): the strip is gone until `reset`.
    void setCalendar(Calendar calendar);
    const Calendar& calendar() const { return m_calendar; }

    // The first day of the page that holds `day`: the day itself on pages of n days, else the
    // start of its week (or work week; a weekend day's is the next one). Needs no layout.
    Instant pageOf(Instant day) const;

    // Builds the strip around the page of `day` and rests on that page.
    void reset(const TimeGridPagerGeometry& geometry, Instant day);
    bool isLaidOut() const { return m_days.has_value(); }
    const TimeGridPagerGeometry& geometry() const { return m_geometry; }

    // Where the pager is. All of these need a layout.
    double offset() const { return m_offset; }
    // The page a slide is moving to, else the one nearest the offset.
    Instant page() const;
    // The days of the page that starts on `page`, in order (fewer at the strip's end).
    std::vector<Instant> pageDays(Instant page) const;
    // Whether the page that starts on `page` shows `day`.
    bool pageHolds(Instant page, Instant day) const;
    // The columns at least partly visible right of the gutter.
    std::vector<TimeGridColumnPlace> visibleColumns() const;
    // The days of those columns, in order.
    std::vector<Instant> visibleDays() const;
    // The visible days and a page on each side: what is worth keeping ready.
    std::vector<Instant> keptDays() const;
    // The column at view x; none outside the strip.
    std::optional<TimeGridColumnPlace> columnAt(double x) const;
    // The view x of a day's column; none when the strip has no column for it.
    std::optional<double> leftOf(Instant day) const;
    bool isDragging() const { return m_dragging; }
    bool isSliding() const { return m_slideTarget.has_value(); }
    // The offset shows a page exactly (within half a point).
    bool isSnapped() const;

    // Moves. The offset stays within the strip; the result says whether it moved.
    bool setOffset(double offset);
    void beginDrag();
    bool dragBy(double dx);
    // The fingers lift at `velocity` points per millisecond (positive: later days): where the
    // drag comes to rest. Pages of a day, a week or a work week move at most one page from where
    // the drag began; pages of several days follow the fling, at most 9 columns.
    TimeGridPagerStop endDrag(double velocity);
    // The day `pages` pages on from the page being slid to, or else the nearest one.
    Instant pagedDay(int pages) const;
    // Starts a slide to the page of `day` and answers the offset to animate to, when that page
    // is close enough in the strip (and not near its ends); none when the caller should `reset`
    // around the day instead.
    std::optional<double> slideTo(Instant day);
    // The slide arrived or was given up.
    void endSlide() { m_slideTarget.reset(); }
    // Comes to rest after a motion: the offset to snap to when the offset lies between pages;
    // none when at rest (the strip moves back to its middle if the page nears an end).
    std::optional<double> settle();

  private:
    Instant date(int index) const;
    int step() const;
    int nearestIndex() const;
    TimeGridColumnRange visibleRange() const;
    double offsetShowing(int index) const;
    std::optional<int> columnOf(Instant day) const;
    void rebase(int weeks);

    TimeGridSpan m_span;
    Calendar m_calendar;
    TimeGridPagerGeometry m_geometry{};
    std::optional<TimeGridDays> m_days;
    // The dates of the columns asked for since the strip was last built or moved: each is worked
    // out in the calendar once.
    mutable std::map<int, Instant> m_dates;
    int m_dayTotal = 1;
    int m_perWeek = 7;
    double m_offset = 0;
    std::optional<int> m_slideTarget;
    bool m_dragging = false;
    int m_dragStart = 0;
};

} // namespace plannery
