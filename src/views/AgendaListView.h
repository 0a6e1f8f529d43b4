#pragma once

#include "agenda/AgendaLayout.h"
#include "agenda/AgendaRange.h"
#include "agenda/AgendaSections.h"
#include "grid/AnchorLink.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "views/AgendaDayPainter.h"
#include "views/DaySource.h"
#include "views/GridPalette.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QTimer>
#include <QVariantAnimation>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plannery {

// The agenda mode: a vertically scrolling list of days, each with its events, from the day the
// user is on. Days without events are left out, except today and the first loaded day. The list
// grows on demand: "Show Earlier" adds 60 days above, and reaching the bottom adds 90 days below.
// The day whose section is at the top is the anchor it reports through its anchor link as the
// user scrolls; an anchor set from outside scrolls the list to the first shown day on or after
// it, loading days to reach it. Clicking an event reports it.
//
// Only the sections on screen are drawn; the heights of all of them come from measured title
// widths, so a year of days lays out without drawing it. The next 90 days are asked for while
// the event loop is idle, so reaching the bottom does not stall a frame; days that arrive later
// than asked take their place with the day at the top kept where it is.
class AgendaListView : public QAbstractScrollArea {
  public:
    explicit AgendaListView(Calendar calendar, QWidget* parent = nullptr);
    ~AgendaListView() override;

    // Where the list finds its days and its calendar (not owned).
    void setDaySource(DaySource* source);
    void setOnSelect(std::function<void(const CalEvent&)> handler);
    // The clock that decides today and finished events; a fixed instant for pictures and tests.
    void setClock(std::function<Instant()> clock);
    void setNow(Instant now);

    // The anchor date between the list and the window: the window connects to it. The first
    // anchor decides where the list begins: that day and the 120 days after it, shown from the
    // top. Later ones scroll, animated, to the first shown day on or after them (the last one
    // when none is), growing the range to reach them; that day answers the anchor.
    AnchorLink& anchorLink() { return m_link; }
    void setAnchor(Instant anchor) { m_link.receive(anchor); }
    // Reads the whole range again and follows a new calendar; the day at the top stays where it
    // is.
    void reloadData();
    // What "Show Earlier" does: 60 more days above.
    void showEarlier();

    // What the user sees, for tests and pictures. Rectangles are in viewport coordinates.
    AgendaRange range() const;
    std::optional<Instant> scrolledDay() const { return m_scrolledDay; }
    std::vector<Instant> shownDays() const;
    bool showsMonthHeading(Instant day) const;
    double scrollOffset() const;
    bool isScrollingToDay() const;
    QRectF sectionRect(Instant day) const;
    QRectF rowRect(Instant day, const std::string& eventId) const;
    QRectF showEarlierRect() const;
    std::optional<CalEvent> eventAt(QPointF p) const;
    // What a screen reader says for a shown day: its date and its events.
    std::string accessibleText(Instant day) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // What a press or click lands on: the "Show Earlier" button or an event row.
    struct Hit {
        bool showEarlier = false;
        std::size_t section = 0;
        std::size_t row = 0;
    };

    Instant now() const;
    Instant reach(Instant anchor);
    void showDay(Instant day);
    void grow(AgendaRange range);
    std::vector<AgendaDay> fetch(Instant from, Instant to);
    void rebuild();
    void measure();
    void layoutStack();
    void setOffset(double offset);
    void updateScrollBar();
    void scrollToDay(std::optional<Instant> day);
    void stopScrolling();
    void userScrolled();
    void checkSentinel();
    void prefetchAhead();
    void minuteTick();
    std::optional<Hit> hitAt(QPointF p) const;
    QRectF rowFrame(std::size_t section, std::size_t row) const;
    double viewportHeight() const;

    Calendar m_calendar;
    std::function<Instant()> m_clock;
    QPointer<DaySource> m_source;
    std::function<void(const CalEvent&)> m_onSelect;
    AnchorLink m_link;
    GridPalette m_palette;
    AgendaDayPainter m_painter;

    // The loaded days and what is shown of them.
    std::optional<AgendaRange> m_range;
    std::vector<AgendaDay> m_days;
    Instant m_today{}; // start of today when the sections were last built
    std::vector<AgendaSection> m_sections;
    std::vector<std::vector<double>> m_titleWidths; // per section, per event
    std::vector<std::vector<int>> m_titleLines;     // the same, as lines at the current width
    double m_measuredWidth = -1;
    AgendaStack m_stack;

    // The day at the top, once the user scrolled or an anchor placed it there.
    std::optional<Instant> m_scrolledDay;
    bool m_settingOffset = false;
    bool m_sentinelShown = false;
    QVariantAnimation m_scrollAnimation;

    // The 90 days after the end, read while idle.
    std::optional<AgendaRange> m_aheadRange;
    std::vector<AgendaDay> m_ahead;
    QTimer m_prefetchTimer;

    std::optional<Hit> m_pressed;
    QTimer m_minuteTimer;
    QTimer m_spinnerTimer;
    int m_spinnerPhase = 0;
};

} // namespace plannery
