#pragma once

#include "grid/TimeGridHours.h"
#include "grid/TimeGridMetrics.h"
#include "model/Calendar.h"

#include <optional>

namespace plannery {

// What the page on screen holds that decides the hours.
struct TimeGridPageHours {
    int mostAllDay = 0;                                     // all-day events of its busiest day
    TimeGridHourRange band = TimeGridHourRange::wholeDay(); // the hours a fitted page shows

    friend bool operator==(const TimeGridPageHours&, const TimeGridPageHours&) = default;
};

// The time grid's hours, top to bottom: the geometry (hour height, the hours shown, the header's
// all-day rows), how far the hours are scrolled, pinch zooming, fitting the hours to a page's
// events, and the all-day area expanded or not. Plain state with the rules of each change; the
// view supplies what the page on screen holds and draws the result.
class TimeGridHourScroll {
  public:
    const TimeGridMetrics& metrics() const { return m_metrics; }
    const TimeGridViewport& viewport() const { return m_viewport; }
    bool isLaidOut() const { return m_laidOut; }
    // How far the hours are scrolled, in points of content.
    double offset() const { return m_offset; }
    // The height of the scrolling hours below the header.
    double scrollerHeight() const;
    // The view y of content y 0.
    double contentTop() const { return m_metrics.headerHeight() - m_offset; }
    const std::optional<TimeGridHourRange>& fitHours() const { return m_fit; }
    bool isZooming() const { return m_zooming; }
    bool allDayExpanded() const { return m_allDayExpanded; }
    // More all-day events than the collapsed header shows: the corner offers to expand.
    bool chipsHidden() const { return m_chipsHidden; }

    // The view's size or the columns' widths changed; `page` is what the page on screen holds.
    // The first layout takes the preferred hour height and scrolls to an hour before now when
    // today is on the page (`nowOnPage`), else to 8:00 or the offset asked for before; later
    // ones keep the minute at the top edge.
    void layout(const TimeGridViewport& viewport, const TimeGridWidths& widths,
                const TimeGridPageHours& page, std::optional<DateComponents> nowOnPage);

    // Another page came to rest or was jumped to: its all-day rows and, with fitted hours, its
    // band, unless they already are the ones shown (`force` shows them anyway). Whether the
    // geometry changed.
    bool showPage(const TimeGridPageHours& page, bool force);
    // While paging without fitted hours: rows for the columns passing by, only ever added so
    // that the hours do not jump. Whether the geometry changed.
    bool growAllDayRows(int mostAllDay);
    // Expands or collapses the all-day area, when there is anything to expand; whether it did.
    bool toggleAllDay();

    // The preferred hour height (a preference, another window): kept within the limits, the
    // middle minute kept in the middle. Ignored while zooming and while hours are fitted.
    void setHourHeight(double height);
    // Fitted hours from now on (none: all 24 hours at the preferred height); whether they
    // changed. After a change to fitted hours the caller fits the page; after one to all hours
    // it shows the page's all-day rows and scrolls to `initialOffset`.
    bool setFitHours(std::optional<TimeGridHourRange> hours);
    double initialOffset(std::optional<DateComponents> nowOnPage) const;

    // Scrolls to `offset` (kept within the content); before the first layout it is kept for it.
    void setOffset(double offset);
    // The offset `offset` becomes, kept within the content.
    double clamped(double offset) const;
    void scrollBy(double dy);
    // After the calendar changed: the minute that was at the top edge in `before` is again.
    void keepTopMinute(const TimeGridMetrics& before, double offset);

    // A pinch or Ctrl+wheel: begins (not with fitted hours), scales by `scale` since it began
    // with the minute under `pointerY` (view y) kept there, ends. Whether it changed anything;
    // the end answers the new hour height to keep.
    bool beginZoom();
    bool zoom(double scale, double pointerY);
    std::optional<double> endZoom();

  private:
    TimeGridAllDayRows allDayRowsFor(int mostAllDay) const;
    bool showAllDayRows(TimeGridAllDayRows rows, bool allowShrink);
    void fitHeight();

    TimeGridViewport m_viewport{};
    TimeGridMetrics m_metrics{};
    bool m_laidOut = false;
    double m_offset = 0;
    std::optional<double> m_pendingOffset;
    std::optional<TimeGridHourRange> m_fit;
    std::optional<double> m_preferredHeight;
    bool m_zooming = false;
    double m_zoomStartHeight = 50;
    bool m_allDayExpanded = false;
    bool m_chipsHidden = false;
};

} // namespace plannery
