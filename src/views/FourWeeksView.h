#pragma once

#include "grid/FourWeeksPages.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "store/CalendarStore.h"
#include "views/GridPalette.h"
#include "views/MonthDayCell.h"

#include <QElapsedTimer>
#include <QFont>
#include <QPixmap>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace plannery {

// The four-weeks mode: a row of weekday initials over a page of four weeks of day cells, each
// listing its events as chips. The user pages a whole page at a time (wheel, touchpad swipe,
// mouse drag, Page Up/Down and the arrow keys), animated and always coming to rest on a page.
// The first day of the page at rest is the anchor the view reports; clicking a day reports it.
//
// Pages are drawn once into pixmaps and kept while they are near the screen, so paging and
// repainting only copy pixels; the provider is asked only for the days of those pages.
class FourWeeksView : public QWidget {
  public:
    using EventsProvider = std::function<CalendarStore::EventList(Instant day)>;

    explicit FourWeeksView(Calendar calendar, QWidget* parent = nullptr);
    ~FourWeeksView() override;

    void setEventsProvider(EventsProvider provider);
    void setOnAnchorChange(std::function<void(Instant)> handler);
    void setOnSelectDay(std::function<void(Instant)> handler);
    // Where reloadData finds the user's calendar now (zone or first weekday may have changed).
    void setCalendarSource(std::function<Calendar()> source);
    // The clock that decides today, past days and finished events; a fixed instant for pictures
    // and tests.
    void setClock(std::function<Instant()> clock);
    void setNow(Instant now);

    // Shows the page that starts on the week of `anchor`: animated when it is a page of the
    // pager, at once otherwise. The view's own report coming back changes nothing. An anchor
    // that is not the page's first day is answered with that first day.
    void setAnchor(Instant anchor);
    // Asks the provider again (a new store revision) and follows a new calendar or day.
    void reloadData();
    // Moves by whole pages, animated (positive: later).
    void page(int pages);

    // What the user sees, for tests and pictures.
    Instant pageStart() const;        // the page at rest, or the one being moved to
    Instant visiblePageStart() const; // the page covering most of the screen now
    std::string title() const;        // the title of the page at rest
    bool isPaging() const;
    std::optional<Instant> dayAt(QPointF p) const;
    // Where the cell of a day of the page at rest is; empty when the day is not on it.
    QRectF cellRect(Instant day) const;
    // What a screen reader says for a day of the page at rest.
    std::string accessibleText(Instant day) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    Instant now() const;
    Instant startOf(int page) const;
    void rebuild(Instant start);
    void animateTo(int target);
    void setPosition(double position);
    void settle();
    void reportLater(Instant start);
    void beginSwipe();
    void swipe(double pages);
    void endSwipe();
    void forgetPages();
    void keepPagesNear(int page);
    // Draws the pages beside the one at rest while the user is not busy, so that the next page
    // turn only copies pixels.
    void prepareNeighbours();
    CalendarStore::EventList eventsOn(Instant day) const;
    const QPixmap& pagePixmap(int page, double dpr) const;
    void paintPage(QPainter& painter, int page) const;
    void paintHeader(QPainter& painter) const;
    double gridHeight() const;

    Calendar m_calendar;
    std::function<Calendar()> m_calendarSource;
    std::function<Instant()> m_clock;
    EventsProvider m_provider;
    std::function<void(Instant)> m_onAnchorChange;
    std::function<void(Instant)> m_onSelectDay;
    GridPalette m_palette;
    MonthDayCell m_cell;
    std::array<FourWeeksPages::WeekdayLabel, 7> m_weekdays{};
    QFont m_weekdayFont;

    // The pager: page k starts 4k weeks after the centre; the position is in pages.
    Instant m_center{};
    double m_position = 0;
    int m_target = 0;
    // The anchor as the view and its owner last agreed on it.
    std::optional<Instant> m_anchor;

    // A swipe of the touchpad or a drag of the mouse, with its recent speed.
    bool m_swiping = false;
    int m_swipeStart = 0;
    double m_velocity = 0;
    QElapsedTimer m_swipeClock;
    qint64 m_lastSwipeMs = 0;
    QTimer m_swipeEnd;
    double m_wheelNotches = 0;
    std::optional<QPointF> m_pressAt;
    double m_lastDragX = 0;
    bool m_inSetAnchor = false;
    bool m_dragging = false;

    QVariantAnimation m_animation;
    QTimer m_minuteTimer;
    QTimer m_prepare;
    // Drawn pages and the days they asked for, and what they were drawn for.
    mutable std::map<int, QPixmap> m_pages;
    mutable std::map<Instant, CalendarStore::EventList> m_days;
    mutable Instant m_drawnNow{};
};

} // namespace plannery
