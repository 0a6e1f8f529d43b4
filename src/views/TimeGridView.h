#pragma once

#include "grid/TimeGridDays.h"
#include "grid/TimeGridHours.h"
#include "grid/TimeGridMetrics.h"
#include "grid/TimeGridSpan.h"
#include "views/GridPalette.h"
#include "views/TimeGridColumn.h"
#include "views/TimeGridGutterPainter.h"
#include "views/TimeGridHeader.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "store/CalendarStore.h"

#include <QWidget>

#include <functional>
#include <map>
#include <optional>

namespace plannery {

// The time grid of the day, three-day, work-week and week modes, drawn for the page that holds
// the anchor: date headers with all-day chips, the day columns with their event tiles, the hour
// gutter and the current-time line. This form does not scroll by itself; the offset is set from
// outside.
class TimeGridView : public QWidget {
  public:
    using EventsProvider = std::function<CalendarStore::EventList(Instant day)>;

    TimeGridView(TimeGridSpan span, Calendar calendar, QWidget* parent = nullptr);

    void setEventsProvider(EventsProvider provider);
    void setAnchor(Instant anchor);
    void setNow(Instant now);
    // The preferred hour height; kept within the grid's limits. Ignored while hours are fitted.
    void setHourHeight(double height);
    void setFitHours(std::optional<TimeGridHourRange> hours);
    // The content y shown at the top of the hours; clamped to the content.
    void setVerticalOffset(double offset);
    // Asks the provider again for every day.
    void reloadData();

    // The geometry of the last layout (laid out on demand); in widget coordinates unless noted.
    bool isLaidOut() const;
    const TimeGridMetrics& metrics() const;
    double gutterWidth() const;
    double verticalOffset() const;
    int pageStart() const;
    int dayCount() const;
    Instant date(int index) const;
    // The widget x of column `index`'s left edge and the widget y of content y 0.
    double columnLeft(int index) const;
    double contentTop() const;
    // The widget y of a minute of a column's day.
    double minuteY(double minute) const { return contentTop() + metrics().y(minute); }

    // What the user would hit with a click at p: the topmost event tile below the header.
    std::optional<CalEvent> eventAt(QPointF p) const;
    // A chip, the overflow chip or the date in a header.
    TimeGridHeader::Hit headerHit(QPointF p) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct DayEntry {
        CalendarStore::EventList events;
        std::vector<CalEvent> allDay;
    };

    void invalidate();
    void ensureLayout(double scale) const;
    void layout(double scale);
    const DayEntry& dayEntry(int index);
    TimeGridColumn& column(int index);
    TimeGridHeader& header(int index);
    void trimCaches();
    std::optional<double> nowMinute() const;
    void paintNow(QPainter& painter, double bodyTop, double bodyHeight);
    void paintCorner(QPainter& painter);

    TimeGridSpan m_span;
    Calendar m_calendar;
    EventsProvider m_provider;
    Instant m_anchor{};
    std::optional<Instant> m_now;
    std::optional<double> m_preferredHourHeight;
    std::optional<TimeGridHourRange> m_fitHours;
    std::optional<double> m_requestedOffset;
    GridPalette m_palette;

    // Layout, recomputed when anything above, the size or the display scale changes.
    bool m_dirty = true;
    bool m_valid = false;
    double m_scale = 1;
    TimeGridMetrics m_metrics{};
    double m_gutterWidth = 0;
    double m_horizontalOffset = 0;
    double m_verticalOffset = 0;
    int m_dayCount = 1;
    int m_pageStart = 0;
    int m_dayTotal = 0;
    std::optional<TimeGridDays> m_days;
    std::optional<int> m_todayIndex;

    std::map<int, DayEntry> m_dayEntries;
    std::map<int, TimeGridColumn> m_columns;
    std::map<int, TimeGridHeader> m_headers;
    TimeGridGutterPainter m_gutter;
};

} // namespace plannery
