#pragma once

#include "grid/TimeGridDays.h"
#include "grid/TimeGridHours.h"
#include "grid/TimeGridMetrics.h"
#include "grid/TimeGridNewEvent.h"
#include "grid/TimeGridNow.h"
#include "grid/TimeGridSpan.h"
#include "grid/TimeGridStrip.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "views/GridPalette.h"
#include "views/TimeGridGutterPainter.h"
#include "views/TimeGridHeader.h"
#include "views/TimeGridTiles.h"

#include <QPixmap>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace plannery {

class TimeGridInput;

// The time grid of the day, three-day, work-week and week modes: a long strip of day columns
// that pages sideways a page at a time, hours that scroll up and down, date headers with
// all-day chips, the hour gutter and the current-time line. Clicking selects, dragging on empty
// space proposes a new event, Ctrl+wheel or a pinch zooms the hours. Only the columns near the
// visible ones are live; the strip is rebuilt around the anchor and moved back to its middle
// when paging drifts towards an end.
//
// Input arrives as Qt events (TimeGridInput turns them into the gesture calls below), so that a
// mouse, a touchpad and the keyboard all go through the same state changes.
class TimeGridView : public QWidget {
  public:
    using EventsProvider = TimeGridTiles::EventsProvider;

    struct Handlers {
        std::function<void(Instant)> onAnchorChange;
        std::function<void(const CalEvent&)> onSelect;
        std::function<void(Instant start, Instant end)> onCreate;
        std::function<void(Instant)> onSelectDay;
        std::function<void(double)> onHourHeightChange;
    };

    // A marker for UI tests: "column-DAYKEY" or "headerTitle-DAYKEY" and its frame.
    struct Marker {
        std::string identifier;
        QRectF frame;
    };

    TimeGridView(TimeGridSpan span, Calendar calendar, QWidget* parent = nullptr);
    ~TimeGridView() override;

    void setEventsProvider(EventsProvider provider);
    void setHandlers(Handlers handlers);
    // Where reloadData finds the user's calendar now (a zone or first weekday may have changed);
    // without one the grid keeps the calendar it was made with.
    void setCalendarSource(std::function<Calendar()> source);
    // The clock of the now line; a fixed instant for pictures and tests.
    void setClock(std::function<Instant()> clock);
    void setNow(Instant now);

    // The date whose page to show. The grid's own reports coming back change nothing.
    void setAnchor(Instant anchor);
    // The preferred hour height (a preference, another window): kept within the limits, the
    // middle minute kept in the middle. Ignored while zooming and while hours are fitted.
    void setHourHeight(double height);
    void setFitHours(std::optional<TimeGridHourRange> hours);
    void setVerticalOffset(double offset, bool animated = false);
    // Asks the provider again for every day, and follows a new zone, first weekday or today.
    void reloadData();
    void setUiTestMarkers(bool on);

    // Gestures, in the grid's terms. A horizontal drag moves the strip by `dx` points (positive:
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
    const TimeGridMetrics& metrics() const;
    double gutterWidth() const;
    double verticalOffset() const;
    double horizontalOffset() const;
    int pageStart() const; // the column of the page the grid rests on
    int dayCount() const;
    int dayTotal() const;
    Instant date(int index) const;
    std::optional<Instant> reportedAnchor() const { return m_reportedAnchor; }
    double columnLeft(int index) const; // widget x of a column's left edge
    double contentTop() const;          // widget y of content y 0
    double minuteY(double minute) const { return contentTop() + metrics().y(minute); }
    bool allDayExpanded() const { return m_allDayExpanded; }
    bool isPaging() const;
    const std::optional<TimeGridNewEvent>& pendingNew() const { return m_pendingNew; }
    std::size_t tileCount() const { return m_tiles.tileCount(); }
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
    void layoutIfNeeded(double scale) const;
    void resetLayout(double scale);
    void recenter(Instant date);
    void layoutVertical();
    TimeGridViewport viewport() const;
    double scrollerHeight() const;
    void setHorizontalOffset(double offset);
    void tile();
    int step() const;
    int nearestIndex() const;
    TimeGridColumnRange visibleRange() const;
    int columnAt(double x) const;
    Instant dayAt(int index) const; // without laying out first
    std::vector<TimeGridDayEvents> pageEvents(int page);
    TimeGridAllDayRows allDayRowsOf(int first, int last);
    void fitPage(int page, bool force);
    void updateAllDayRows(bool allowShrink);
    void animateHorizontally(double target, bool programmatic);
    void settle();
    void ensureSnapped();
    void rebase(int delta);
    void prefetch(int index);
    void prepareNext();
    void reportAnchorIfNeeded();
    void reportLater(Instant date);
    void scrollTo(Instant date, bool animated);
    void scrollToNowIfOnPage(int page, bool animated);
    Instant now() const;
    void startMinuteTimer();
    void minuteTick();
    void updateNow(bool force);
    std::optional<int> todayIndexNow() const;
    void paintBody(QPainter& painter, TimeGridColumnRange range);
    void paintHeaders(QPainter& painter, TimeGridColumnRange range);
    void paintGutter(QPainter& painter);
    void paintGhost(QPainter& painter);

    TimeGridSpan m_span;
    Calendar m_calendar;
    Handlers m_handlers;
    std::function<Calendar()> m_calendarSource;
    std::function<Instant()> m_clock;
    GridPalette m_palette;
    TimeGridTiles m_tiles;
    TimeGridGutterPainter m_gutter;
    std::unique_ptr<TimeGridInput> m_input;

    // Layout.
    QSize m_laidOutSize;
    double m_scale = 1;
    TimeGridMetrics m_metrics{};
    double m_gutterWidth = 0;
    int m_dayCount = 1;
    int m_perWeek = 7;
    std::optional<TimeGridDays> m_days;
    int m_dayTotal = 0;
    double m_hOffset = 0;
    double m_vOffset = 0;
    std::optional<double> m_pendingVerticalOffset;
    bool m_isResetting = false;
    std::optional<TimeGridColumnRange> m_lastVisibleRange;

    // The anchor, as wished before the first layout and as passed back and forth since.
    Instant m_pendingAnchor{};
    std::optional<Instant> m_reportedAnchor;
    std::optional<Instant> m_lastExternalAnchor;
    int m_reportedIndex = 0;
    std::optional<int> m_programmaticTarget;
    int m_dragStartIndex = 0;
    bool m_dragging = false;

    bool m_allDayExpanded = false;
    bool m_hasHiddenAllDay = false;
    std::optional<TimeGridHourRange> m_fitHours;
    std::optional<double> m_preferredHourHeight;
    double m_zoomStartHeight = 50;
    bool m_isZooming = false;
    std::optional<TimeGridNow> m_nowState;
    double m_nowMinute = 0;
    std::optional<int> m_todayIndex;
    std::optional<TimeGridNewEvent> m_pendingNew;
    std::optional<TimeGridNewEvent> m_ghost; // shown while proposed and while fading after
    double m_ghostAlpha = 0;
    bool m_uiTestMarkers = false;

    QTimer m_minuteTimer;
    // Columns beside the page, laid out and drawn one per turn of the event loop while idle.
    QTimer m_prepareTimer;
    std::vector<int> m_toPrepare;
    QVariantAnimation m_hAnimation;
    QVariantAnimation m_vAnimation;
    QVariantAnimation m_fade;
    QVariantAnimation m_ghostFade;
    QPixmap m_fadeFrom;
};

} // namespace plannery
