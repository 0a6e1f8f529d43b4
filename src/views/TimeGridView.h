#pragma once

#include "grid/AnchorLink.h"
#include "grid/TimeGridHourScroll.h"
#include "grid/TimeGridNewEvent.h"
#include "grid/TimeGridPager.h"
#include "grid/TimeGridSpan.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "views/TimeGridGhost.h"
#include "views/TimeGridHeader.h"
#include "views/TimeGridNowLine.h"
#include "views/TimeGridPainter.h"
#include "views/TimeGridReadAhead.h"
#include "views/TimeGridScroller.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plannery {

class DaySource;
class TimeGridInput;

// The time grid of the day, three-day, work-week and week modes: day columns that page sideways
// a page at a time, hours that scroll up and down, date headers with all-day chips, the hour
// gutter and the current-time line. Clicking selects, dragging on empty space proposes a new
// event, Ctrl+wheel or a pinch zooms the hours.
//
// The widget holds the parts together: the pager (which days, across) and the hour scroll (which
// hours, down) keep the state, the scroller moves the days, the painter draws, the read-ahead
// asks for days before they show, the now line and the ghost of a new event are their own parts,
// and TimeGridInput turns mouse, touchpad and keyboard events into the gesture calls below. The
// anchor link carries the page's first day to and from the window.
class TimeGridView : public QWidget {
  public:
    struct Handlers {
        std::function<void(const CalEvent&)> onSelect;
        std::function<void(Instant start, Instant end)> onCreate;
        std::function<void(Instant)> onSelectDay;
        std::function<void(double)> onHourHeightChange;
    };

    using Marker = TimeGridPainter::Marker;

    TimeGridView(TimeGridSpan span, Calendar calendar, QWidget* parent = nullptr);
    ~TimeGridView() override;

    // Where the grid finds its days and its calendar (not owned). The grid asks it for the days
    // it is about to show, paints what it has loaded, repaints when more arrives and reads
    // everything again when it changes.
    void setDaySource(DaySource* source);
    void setHandlers(Handlers handlers);
    // The clock of the now line; a fixed instant for pictures and tests.
    void setClock(std::function<Instant()> clock);
    void setNow(Instant now);

    // The anchor date between the grid and the window: the window connects to it.
    AnchorLink& anchorLink() { return m_link; }
    // Shows the page that holds `anchor`, as an anchor from the window does.
    void setAnchor(Instant anchor) { m_link.receive(anchor); }
    // The preferred hour height (a preference, another window): kept within the limits, the
    // middle minute kept in the middle. Ignored while zooming and while hours are fitted.
    void setHourHeight(double height);
    void setFitHours(std::optional<TimeGridHourRange> hours);
    void setVerticalOffset(double offset, bool animated = false);
    // Reads every day again, and follows a new zone, first weekday or today.
    void reloadData();
    void setUiTestMarkers(bool on) { m_uiTestMarkers = on; }

    // Gestures, in the grid's terms. A horizontal drag moves the days by `dx` points (positive:
    // later days) and ends with a velocity in points per millisecond.
    void beginHorizontalDrag();
    void dragHorizontally(double dx);
    void endHorizontalDrag(double velocity);
    // Pages forward (positive) or back; animated.
    void page(int pages);
    void scrollVertically(double dy);
    // A zoom (pinch or Ctrl+wheel) by `scale` since it began, `pointerY` in widget coordinates.
    void beginZoom();
    void zoom(double scale, double pointerY);
    void endZoom();
    void tap(QPointF p);
    // Press and drag to propose a new event; returns whether the press started one.
    bool beginNewEvent(QPointF p);
    void dragNewEvent(QPointF p);
    void endNewEvent(bool cancelled);
    void toggleAllDay();

    // What the user sees, for tests and pictures (laid out on demand).
    bool isLaidOut() const;
    const TimeGridMetrics& metrics() const { return laidOut().m_hours.metrics(); }
    double gutterWidth() const { return laidOut().m_pager.geometry().gutterWidth; }
    double verticalOffset() const { return laidOut().m_hours.offset(); }
    double horizontalOffset() const { return laidOut().m_pager.offset(); }
    // The first day of the page the grid rests on or is moving to, and the page's days.
    Instant pageStart() const { return isLaidOut() ? m_pager.page() : m_pendingPage; }
    std::vector<Instant> pageDays() const;
    int dayCount() const { return laidOut().m_pager.geometry().dayCount; }
    // The widget x of a day's column; none when the grid has no column for it near the page.
    std::optional<double> columnLeft(Instant day) const;
    double contentTop() const { return laidOut().m_hours.contentTop(); } // widget y of content 0
    double minuteY(double minute) const { return contentTop() + metrics().y(minute); }
    bool allDayExpanded() const { return m_hours.allDayExpanded(); }
    bool isPaging() const { return m_scroller.isPaging(); }
    const std::optional<TimeGridNewEvent>& pendingNew() const { return m_ghost.pending(); }
    std::size_t tileCount() const { return m_painter.tileCount(); }
    // Days whose tiles the grid holds drawn: the page and, while shown, the days beside it.
    std::size_t daysDrawn() const { return m_painter.liveDays(); }
    std::vector<Marker> uiTestMarkers() const;

    std::optional<CalEvent> eventAt(QPointF p) const;
    TimeGridHeader::Hit headerHit(QPointF p) const;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    const TimeGridView& laidOut() const;
    const Calendar& calendar() const { return m_pager.calendar(); }
    TimeGridPainter::Scene scene() const;
    void layoutIfNeeded(double scale) const;
    void layout(double scale);
    void changeCalendar(Calendar calendar);
    void goToPage(Instant page);
    void scrollTo(Instant page);
    void moved();
    void rested();
    void repaintHours();
    void showPage(bool force);
    void fitPage(Instant page);
    TimeGridPageHours pageHours(Instant page);
    std::optional<DateComponents> nowOnPage(Instant page) const;
    bool prepare(Instant day);
    void minutePassed();
    void placeNow();

    Handlers m_handlers;
    QPointer<DaySource> m_source;
    TimeGridSpan m_span;
    TimeGridPager m_pager;
    TimeGridHourScroll m_hours;
    TimeGridPainter m_painter;
    TimeGridScroller m_scroller;
    TimeGridReadAhead m_readAhead;
    TimeGridNowLine m_now;
    TimeGridGhost m_ghost;
    std::unique_ptr<TimeGridInput> m_input;
    AnchorLink m_link;

    QSize m_laidOutSize;
    double m_scale = 1;
    // The page to show once laid out.
    Instant m_pendingPage{};
    std::vector<Instant> m_visibleDays;
    bool m_uiTestMarkers = false;
};

} // namespace plannery
