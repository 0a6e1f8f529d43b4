#pragma once

#include "grid/AnchorLink.h"
#include "grid/FourWeeksPages.h"
#include "grid/SwipeVelocity.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "views/DaySource.h"
#include "views/GridPalette.h"
#include "views/MonthDayCell.h"
#include "views/QuietTimer.h"

#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace plannery {

// The four-weeks mode: a row of weekday initials over a page of four weeks of day cells, each
// listing its events as chips. The user pages a whole page at a time (wheel, touchpad swipe,
// mouse drag, Page Up/Down and the arrow keys), animated and always coming to rest on a page.
// The first day of the page at rest is the anchor the view reports through its anchor link;
// clicking a day reports it.
//
// Pages are drawn once into pixmaps and kept while they are near the screen, so paging and
// repainting only copy pixels. The day source is asked for the days of the page on screen, and of
// the pages beside it before they are drawn; a page drawn before its days arrived is drawn again
// when they do.
class FourWeeksView : public QWidget {
  public:
    explicit FourWeeksView(Calendar calendar, QWidget* parent = nullptr);
    ~FourWeeksView() override;

    // Where the view finds its days and its calendar (not owned).
    void setDaySource(DaySource* source);
    void setOnSelectDay(std::function<void(Instant)> handler);
    // The clock that decides today, past days and finished events; a fixed instant for pictures
    // and tests.
    void setClock(std::function<Instant()> clock);
    void setNow(Instant now);

    // The anchor date between the view and the window: the window connects to it. An anchor
    // shows the page that starts on its week: animated when it is a page of the pager, at once
    // otherwise.
    AnchorLink& anchorLink() { return m_link; }
    void setAnchor(Instant anchor) { m_link.receive(anchor); }
    // Reads every day again and follows a new calendar or day.
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
    // How many pages are kept drawn (the one shown, its neighbours once idle), for tests.
    std::size_t pagesDrawn() const { return m_pages.size(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    Instant now() const;
    Instant startOf(int page) const;
    void showPage(Instant start);
    void rebuild(Instant start);
    void animateTo(int target);
    void setPosition(double position);
    void settle();
    void beginSwipe();
    void swipe(std::uint64_t ms, double pages);
    void endSwipe(std::optional<std::uint64_t> ms);
    void forgetPages();
    void keepPagesNear(int page);
    // Asks the day source for the days of pages `first` to `last`.
    void request(int first, int last);
    // Draws the pages beside the one at rest while the user is not busy, so that the next page
    // turn only copies pixels.
    void prepareNeighbours();
    DaySource::EventList eventsOn(Instant day) const;
    const QPixmap& pagePixmap(int page, double dpr) const;
    void paintPage(QPainter& painter, int page) const;
    void paintHeader(QPainter& painter) const;
    double gridHeight() const;

    Calendar m_calendar;
    std::function<Instant()> m_clock;
    QPointer<DaySource> m_source;
    std::function<void(Instant)> m_onSelectDay;
    AnchorLink m_link;
    GridPalette m_palette;
    MonthDayCell m_cell;
    std::array<FourWeeksPages::WeekdayLabel, 7> m_weekdays{};
    QFont m_weekdayFont;

    // The pager: page k starts 4k weeks after the centre; the position is in pages.
    Instant m_center{};
    double m_position = 0;
    int m_target = 0;

    // A swipe of the touchpad or a drag of the mouse, with its speed.
    bool m_swiping = false;
    int m_swipeStart = 0;
    SwipeVelocity m_velocity;
    QuietTimer m_swipeEnd;
    double m_wheelNotches = 0;
    std::optional<QPointF> m_pressAt;
    double m_lastDragX = 0;
    bool m_dragging = false;

    QVariantAnimation m_animation;
    QTimer m_minuteTimer;
    QuietTimer m_prepare;
    // Drawn pages, and the minute they were drawn for.
    mutable std::map<int, QPixmap> m_pages;
    mutable Instant m_drawnNow{};
};

} // namespace plannery
