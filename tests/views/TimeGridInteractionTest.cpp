#include "AnimationClock.h"
#include "GridViewTestSupport.h"
#include "ListDays.h"
#include "PointerEvents.h"
#include "TestSupport.h"

#include "views/TimeGridView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <cmath>

namespace plannery {
namespace {

using test::at;
using test::gridEvent;

// A grid of Berlin in March 2026, on Wednesday the 11th at 10:30, recording what it reports.
// Tests that let time pass make an AnimationClock first.
struct Grid {
    Calendar cal = test::berlin();
    Instant now = at(cal, 2026, 3, 11, 10, 30);
    test::ListDays days;
    TimeGridView view;
    std::vector<Instant> anchors;
    std::vector<std::string> selected;
    std::vector<std::pair<Instant, Instant>> created;
    std::vector<Instant> selectedDays;
    std::vector<double> hourHeights;

    explicit Grid(TimeGridSpan span, std::vector<CalEvent> events = {}, bool shown = false)
        : days(cal, std::move(events)), view(span, cal) {
        view.setNow(now);
        view.setDaySource(&days);
        view.setHandlers(TimeGridView::Handlers{
            .onSelect = [this](const CalEvent& e) { selected.push_back(e.id); },
            .onCreate = [this](Instant s, Instant e) { created.emplace_back(s, e); },
            .onSelectDay = [this](Instant d) { selectedDays.push_back(d); },
            .onHourHeightChange = [this](double h) { hourHeights.push_back(h); },
        });
        view.resize(1000, 700);
        view.setAnchor(now);
        if (shown) {
            view.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        }
        view.setVerticalOffset(view.metrics().y(8 * 60));
        view.anchorLink().connect([this](Instant day) { anchors.push_back(day); });
    }

    Instant day(int month, int d) const { return at(cal, 2026, month, d); }
    // The centre of the column of `d` `month`.
    double x(int month, int d) const {
        return view.columnLeft(day(month, d)).value() + view.metrics().columnWidth / 2;
    }
    QPoint point(int month, int d, double minute) const {
        return QPoint(static_cast<int>(x(month, d)), static_cast<int>(view.minuteY(minute)));
    }
    Instant pageDate() const { return view.pageStart(); }
};

using test::sendGesture;
using test::sendMouse;
using test::sendWheel;

TEST(TimeGridInteraction, ClickSelectsTheEventAndTheDay) {
    Grid grid(TimeGridSpan::week(),
              {gridEvent("standup", "Standup", at(test::berlin(), 2026, 3, 10, 9),
                         at(test::berlin(), 2026, 3, 10, 10))});
    QTest::mouseClick(&grid.view, Qt::LeftButton, {}, grid.point(3, 10, 9 * 60 + 30));
    EXPECT_EQ(grid.selected, std::vector<std::string>{"standup"});
    // Empty space selects nothing and proposes nothing on a plain click.
    QTest::mouseClick(&grid.view, Qt::LeftButton, {}, grid.point(3, 12, 9 * 60 + 30));
    EXPECT_EQ(grid.selected.size(), 1u);
    EXPECT_TRUE(grid.created.empty());
    // The date in a header selects its day.
    QTest::mouseClick(&grid.view, Qt::LeftButton, {}, QPoint(static_cast<int>(grid.x(3, 12)), 10));
    EXPECT_EQ(grid.selectedDays, std::vector<Instant>{grid.day(3, 12)});
}

TEST(TimeGridInteraction, DraggingOnEmptySpaceProposesQuarterHours) {
    Grid grid(TimeGridSpan::week());
    // From 9:05 down to 10:20: from the 9:00 slot to the end of the 10:15 slot.
    sendMouse(grid.view, QEvent::MouseButtonPress, grid.point(3, 12, 9 * 60 + 5), Qt::LeftButton);
    sendMouse(grid.view, QEvent::MouseMove, grid.point(3, 12, 9 * 60 + 40), Qt::LeftButton);
    sendMouse(grid.view, QEvent::MouseMove, grid.point(3, 12, 10 * 60 + 20), Qt::LeftButton);
    ASSERT_TRUE(grid.view.pendingNew());
    EXPECT_EQ(grid.view.pendingNew()->range, (Stretch{9 * 60, 10 * 60 + 30}));
    sendMouse(grid.view, QEvent::MouseButtonRelease, grid.point(3, 12, 10 * 60 + 20), {});
    ASSERT_EQ(grid.created.size(), 1u);
    EXPECT_EQ(grid.created[0].first, at(grid.cal, 2026, 3, 12, 9));
    EXPECT_EQ(grid.created[0].second, at(grid.cal, 2026, 3, 12, 10, 30));
    EXPECT_FALSE(grid.view.pendingNew());

    // A press in the last quarter hour starts at 23:45 and is clipped at midnight; dragging
    // upwards past it runs from the pointer's slot to the press slot's end.
    grid.view.setVerticalOffset(1e9);
    sendMouse(grid.view, QEvent::MouseButtonPress, grid.point(3, 12, 23 * 60 + 50), Qt::LeftButton);
    sendMouse(grid.view, QEvent::MouseMove, grid.point(3, 12, 23 * 60 + 10), Qt::LeftButton);
    sendMouse(grid.view, QEvent::MouseMove, grid.point(3, 12, 22 * 60 + 20), Qt::LeftButton);
    EXPECT_EQ(grid.view.pendingNew()->range, (Stretch{22 * 60 + 15, 24 * 60}));
    sendMouse(grid.view, QEvent::MouseButtonRelease, grid.point(3, 12, 22 * 60 + 20), {});
    ASSERT_EQ(grid.created.size(), 2u);
    EXPECT_EQ(grid.created[1].second, grid.day(3, 13));

    // Escape cancels a proposal without creating anything.
    sendMouse(grid.view, QEvent::MouseButtonPress, grid.point(3, 12, 22 * 60), Qt::LeftButton);
    sendMouse(grid.view, QEvent::MouseMove, grid.point(3, 12, 23 * 60), Qt::LeftButton);
    QTest::keyClick(&grid.view, Qt::Key_Escape);
    sendMouse(grid.view, QEvent::MouseButtonRelease, grid.point(3, 12, 23 * 60), {});
    EXPECT_EQ(grid.created.size(), 2u);
}

TEST(TimeGridInteraction, ZoomKeepsTheTimeUnderThePointer) {
    test::AnimationClock clock;
    Grid grid(TimeGridSpan::week());
    const QPointF pointer(grid.x(3, 12), 400);
    const double minuteBefore = grid.view.metrics().minute(pointer.y() - grid.view.contentTop());
    const double heightBefore = grid.view.metrics().hourHeight;

    // Ctrl+wheel: two notches in.
    sendWheel(grid.view, pointer, {}, QPoint(0, 240), Qt::ControlModifier);
    EXPECT_GT(grid.view.metrics().hourHeight, heightBefore * 1.2);
    EXPECT_NEAR(grid.view.metrics().minute(pointer.y() - grid.view.contentTop()), minuteBefore,
                0.5);
    // The new height is reported once the wheel has rested for 300 ms.
    clock.pass(290);
    EXPECT_TRUE(grid.hourHeights.empty());
    clock.pass(20);
    ASSERT_EQ(grid.hourHeights.size(), 1u);
    EXPECT_DOUBLE_EQ(grid.hourHeights.back(), grid.view.metrics().hourHeight);

    // A touchpad pinch out, reported at its end; the height stays within its limits.
    const double minute = grid.view.metrics().minute(pointer.y() - grid.view.contentTop());
    sendGesture(grid.view, Qt::BeginNativeGesture, pointer, 0);
    for (int i = 0; i < 3; ++i) {
        sendGesture(grid.view, Qt::ZoomNativeGesture, pointer, -0.1);
    }
    EXPECT_NEAR(grid.view.metrics().minute(pointer.y() - grid.view.contentTop()), minute, 0.5);
    sendGesture(grid.view, Qt::EndNativeGesture, pointer, 0);
    ASSERT_EQ(grid.hourHeights.size(), 2u);
    EXPECT_GE(grid.hourHeights.back(), 16);
    EXPECT_LT(grid.hourHeights.back(), heightBefore);

    // While zooming, a height from elsewhere is not applied; with fitted hours no zoom starts.
    sendGesture(grid.view, Qt::ZoomNativeGesture, pointer, 0.5);
    grid.view.setHourHeight(120);
    EXPECT_NE(grid.view.metrics().hourHeight, 120);
    sendGesture(grid.view, Qt::EndNativeGesture, pointer, 0);
    grid.view.setFitHours(TimeGridHourRange{.start = 8, .end = 18});
    const double fitted = grid.view.metrics().hourHeight;
    sendGesture(grid.view, Qt::ZoomNativeGesture, pointer, 0.5);
    sendGesture(grid.view, Qt::EndNativeGesture, pointer, 0);
    EXPECT_DOUBLE_EQ(grid.view.metrics().hourHeight, fitted);
    EXPECT_EQ(grid.hourHeights.size(), 3u);
}

TEST(TimeGridInteraction, KeysPageAndReportTheAnchorOnce) {
    test::AnimationClock clock;
    Grid grid(TimeGridSpan::week(), {}, true);
    EXPECT_EQ(grid.pageDate(), grid.day(3, 9));
    QTest::keyClick(&grid.view, Qt::Key_PageDown);
    // Reported as the page turn begins; the days slide into place after.
    EXPECT_EQ(grid.anchors, std::vector<Instant>{grid.day(3, 16)});
    EXPECT_TRUE(grid.view.isPaging());
    clock.finish();
    EXPECT_FALSE(grid.view.isPaging());
    EXPECT_EQ(grid.pageDate(), grid.day(3, 16));
    EXPECT_EQ(grid.anchors, std::vector<Instant>{grid.day(3, 16)});
    QTest::keyClick(&grid.view, Qt::Key_Left);
    QTest::keyClick(&grid.view, Qt::Key_Left);
    clock.finish();
    EXPECT_EQ(grid.pageDate(), grid.day(3, 2));
    EXPECT_EQ(grid.anchors,
              (std::vector<Instant>{grid.day(3, 16), grid.day(3, 9), grid.day(3, 2)}));
    // The window writing back what the grid reported moves nothing and reports nothing.
    const double offset = grid.view.horizontalOffset();
    grid.view.setAnchor(grid.day(3, 2));
    EXPECT_EQ(grid.view.horizontalOffset(), offset);
    EXPECT_FALSE(grid.view.isPaging());
    EXPECT_EQ(grid.anchors.size(), 3u);

    // An anchor back to the page before its slide has moved a frame: the grid stays.
    QTest::keyClick(&grid.view, Qt::Key_PageDown);
    grid.view.setAnchor(grid.day(3, 4));
    clock.finish();
    EXPECT_EQ(grid.pageDate(), grid.day(3, 2));
    EXPECT_EQ(grid.anchors, (std::vector<Instant>{grid.day(3, 16), grid.day(3, 9), grid.day(3, 2),
                                                  grid.day(3, 9), grid.day(3, 2)}));
}

TEST(TimeGridInteraction, AnchorOnAWednesdayShowsTheWeekAndAnswersWithItsFirstDay) {
    Grid grid(TimeGridSpan::week());
    grid.view.setAnchor(grid.day(4, 15));
    EXPECT_EQ(grid.pageDate(), grid.day(4, 13));
    EXPECT_EQ(grid.anchors, std::vector<Instant>{grid.day(4, 13)});

    // Far away: the grid is built again around the date rather than scrolled through; a Monday
    // needs no answer.
    grid.view.setAnchor(grid.day(11, 2));
    EXPECT_EQ(grid.pageDate(), grid.day(11, 2));
    EXPECT_EQ(grid.anchors.size(), 1u);

    // A work week set to a Saturday shows the next work week.
    Grid work(TimeGridSpan::workWeek());
    work.view.setAnchor(work.day(3, 21));
    EXPECT_EQ(work.pageDate(), work.day(3, 23));
    EXPECT_EQ(work.view.dayCount(), 5);
    EXPECT_EQ(work.anchors, std::vector<Instant>{work.day(3, 23)});
}

TEST(TimeGridInteraction, SwipesSnapToPagesByTheSpeedOfTheirEvents) {
    test::AnimationClock clock;
    // Week: a quick swipe of more than half a page moves exactly one page.
    Grid week(TimeGridSpan::week(), {}, true);
    const QPointF middle(500, 400);
    const double column = week.view.metrics().columnWidth;
    for (int i = 0; i < 5; ++i) {
        sendWheel(week.view, middle, QPoint(-static_cast<int>(column * 0.8), 0), {}, {},
                  i == 0 ? Qt::ScrollBegin : Qt::ScrollUpdate, 1000 + 5 * i);
    }
    sendWheel(week.view, middle, QPoint(), {}, {}, Qt::ScrollEnd, 1020);
    clock.finish();
    EXPECT_EQ(week.pageDate(), week.day(3, 16));
    // The anchor followed the page under the fingers, reported once per page.
    EXPECT_EQ(week.anchors, std::vector<Instant>{week.day(3, 16)});

    // A short swipe whose fingers rest 60 ms before they lift falls back to its page.
    sendWheel(week.view, middle, QPoint(static_cast<int>(column), 0), {}, {}, Qt::ScrollBegin,
              2000);
    sendWheel(week.view, middle, QPoint(), {}, {}, Qt::ScrollEnd, 2060);
    clock.finish();
    EXPECT_EQ(week.pageDate(), week.day(3, 16));
    // The same swipe lifted at once is a fling back by a page.
    sendWheel(week.view, middle, QPoint(static_cast<int>(column), 0), {}, {}, Qt::ScrollBegin,
              3000);
    sendWheel(week.view, middle, QPoint(), {}, {}, Qt::ScrollEnd, 3010);
    clock.finish();
    EXPECT_EQ(week.pageDate(), week.day(3, 9));

    // Fingers that stop without lifting (no end phase) throw nothing: 120 ms of quiet end the
    // swipe where it rests.
    const double rest = week.view.horizontalOffset();
    sendWheel(week.view, middle, QPoint(-static_cast<int>(column * 2), 0), {}, {}, Qt::ScrollBegin,
              4000);
    clock.pass(100);
    EXPECT_NEAR(week.view.horizontalOffset(), rest + 2 * column, 1);
    clock.finish();
    EXPECT_EQ(week.view.horizontalOffset(), rest);
    EXPECT_EQ(week.pageDate(), week.day(3, 9));

    // Three days: a hard fling moves at most nine days from where it began.
    Grid three(TimeGridSpan::days(3), {}, true);
    const Instant start = three.pageDate();
    sendWheel(three.view, middle, QPoint(-20, 0), {}, {}, Qt::ScrollBegin, 5000);
    for (int i = 1; i <= 10; ++i) {
        sendWheel(three.view, middle, QPoint(-400, 0), {}, {}, Qt::ScrollUpdate, 5000 + 2 * i);
    }
    sendWheel(three.view, middle, QPoint(), {}, {}, Qt::ScrollEnd, 5020);
    clock.finish();
    const int moved =
        static_cast<int>(std::lround((three.pageDate().seconds - start.seconds) / 86400));
    EXPECT_GT(moved, 0);
    EXPECT_LE(moved, 9);
}

TEST(TimeGridInteraction, AHeldPressProposesAnEventWhereItRests) {
    test::AnimationClock clock;
    Grid grid(TimeGridSpan::week());
    sendMouse(grid.view, QEvent::MouseButtonPress, grid.point(3, 12, 14 * 60 + 20), Qt::LeftButton);
    clock.pass(440);
    EXPECT_FALSE(grid.view.pendingNew());
    clock.pass(20);
    ASSERT_TRUE(grid.view.pendingNew());
    EXPECT_EQ(grid.view.pendingNew()->day, grid.day(3, 12));
    EXPECT_EQ(grid.view.pendingNew()->range, (Stretch{14 * 60 + 15, 15 * 60 + 15}));
    sendMouse(grid.view, QEvent::MouseButtonRelease, grid.point(3, 12, 14 * 60 + 20), {});
    ASSERT_EQ(grid.created.size(), 1u);
    EXPECT_EQ(grid.created[0].first, at(grid.cal, 2026, 3, 12, 14, 15));
}

TEST(TimeGridInteraction, PagingAYearKeepsFewTiles) {
    Grid grid(TimeGridSpan::week());
    std::size_t most = 0;
    for (int i = 0; i < 52; ++i) {
        grid.view.page(1);
        grid.view.repaint();
        most = std::max(most, grid.view.tileCount());
    }
    EXPECT_EQ(grid.pageDate(), at(grid.cal, 2027, 3, 8));
    EXPECT_EQ(grid.anchors.size(), 52u);
    EXPECT_EQ(grid.anchors.back(), at(grid.cal, 2027, 3, 8));
    // Columns and headers of the page and a page on each side, reused from the pools.
    EXPECT_LE(most, 2u * 7 * 4);
}

// A grid the user has left for another mode keeps only the page it will show again drawn; back on
// screen it shows that page at once and draws the days beside it while idle.
TEST(TimeGridInteraction, AHiddenGridKeepsOnlyItsPageDrawn) {
    test::AnimationClock clock;
    Grid grid(TimeGridSpan::days(3),
              {gridEvent("lunch", "Lunch", at(test::berlin(), 2026, 3, 11, 12),
                         at(test::berlin(), 2026, 3, 11, 13))},
              true);
    clock.pass(200);
    const std::size_t atRest = grid.view.daysDrawn();
    const Instant page = grid.pageDate();
    EXPECT_GT(atRest, 3u);
    grid.view.hide();
    EXPECT_EQ(grid.view.daysDrawn(), 3u);
    grid.view.show();
    EXPECT_EQ(grid.pageDate(), page);
    EXPECT_EQ(grid.view.eventAt(grid.point(3, 11, 12 * 60 + 30))->id, "lunch");
    clock.pass(200);
    EXPECT_EQ(grid.view.daysDrawn(), atRest);

    // Hidden in the middle of a slide: the slide ends unseen, and nothing is drawn ahead.
    grid.view.page(1);
    clock.pass(50);
    grid.view.hide();
    clock.pass(1000);
    EXPECT_LE(grid.view.daysDrawn(), 3u);
    grid.view.show();
    clock.pass(200);
    EXPECT_EQ(grid.view.daysDrawn(), atRest);
}

TEST(TimeGridInteraction, DaysStillLoadingPaintEmptyAndTheirEventsWhenTheyArrive) {
    const Calendar cal = test::berlin();
    Grid grid(TimeGridSpan::week());
    grid.days.setDeferred(true);
    grid.days.clearRequests();
    grid.days.change(
        {gridEvent("review", "Review", at(cal, 2026, 3, 12, 10), at(cal, 2026, 3, 12, 11))});
    // The page and a page on either side were asked for, not the days one at a time.
    ASSERT_EQ(grid.days.requests().size(), 1u);
    EXPECT_EQ(grid.days.requests()[0],
              (test::Request{.from = grid.day(3, 2), .to = grid.day(3, 23)}));
    const QPointF review(grid.x(3, 12), grid.view.minuteY(10 * 60 + 30));
    test::renderView(grid.view, 1000, 700, 1);
    EXPECT_FALSE(grid.view.eventAt(review));
    // Painting asks for nothing.
    test::renderView(grid.view, 1000, 700, 2);
    EXPECT_EQ(grid.days.requests().size(), 1u);
    grid.days.deliver();
    test::renderView(grid.view, 1000, 700, 1);
    ASSERT_TRUE(grid.view.eventAt(review));
    EXPECT_EQ(grid.view.eventAt(review)->id, "review");
}

// The red of today's date in the header of the column around x.
int redPixels(const QImage& image, const TimeGridView& view, double x) {
    int count = 0;
    const double half = view.metrics().columnWidth / 2 - 1;
    for (double px = x - half; px < x + half; ++px) {
        for (double py = 0; py < view.metrics().dateRowHeight; ++py) {
            const QColor c = test::pixelAt(image, px, py);
            count += c.red() > 200 && c.green() < 100 && c.blue() < 100;
        }
    }
    return count;
}

TEST(TimeGridInteraction, MidnightAndANewZoneMoveTheGrid) {
    Grid grid(TimeGridSpan::week());
    // The clock passes midnight: today's column moves on at the next minute tick, which a
    // reload also runs.
    Instant now = at(grid.cal, 2026, 3, 11, 23, 59);
    grid.view.setClock([&now] { return now; });
    now = at(grid.cal, 2026, 3, 12, 0, 1);
    grid.view.reloadData();
    const QImage image = test::renderView(grid.view, 1000, 700, 1);
    EXPECT_EQ(redPixels(image, grid.view, grid.x(3, 11)), 0);
    EXPECT_GT(redPixels(image, grid.view, grid.x(3, 12)), 100);

    // A new zone with a new store revision: the same page date, reported again.
    const Calendar newYork = test::calendarIn("America/New_York");
    grid.days.change(newYork);
    const DateComponents c = newYork.components(grid.pageDate());
    EXPECT_EQ(c.month, 3);
    EXPECT_EQ(c.day, 9);
    EXPECT_EQ(c.hour, 0);
    ASSERT_FALSE(grid.anchors.empty());
    EXPECT_EQ(grid.anchors.back(), grid.pageDate());
}

TEST(TimeGridInteraction, CornerExpandsHiddenAllDayChips) {
    const Calendar cal = test::berlin();
    std::vector<CalEvent> events;
    for (int i = 0; i < 6; ++i) {
        CalEvent e = gridEvent("all" + std::to_string(i), "Holiday " + std::to_string(i),
                               at(cal, 2026, 3, 10), at(cal, 2026, 3, 11));
        e.isAllDay = true;
        events.push_back(e);
    }
    Grid grid(TimeGridSpan::week(), events);
    const int collapsed = grid.view.metrics().allDayRows;
    EXPECT_EQ(collapsed, 3);
    QTest::mouseClick(&grid.view, Qt::LeftButton, {},
                      QPoint(5, static_cast<int>(grid.view.metrics().headerHeight() - 5)));
    EXPECT_TRUE(grid.view.allDayExpanded());
    EXPECT_EQ(grid.view.metrics().allDayRows, 6);
    QTest::mouseClick(&grid.view, Qt::LeftButton, {},
                      QPoint(5, static_cast<int>(grid.view.metrics().headerHeight() - 5)));
    EXPECT_EQ(grid.view.metrics().allDayRows, collapsed);
}

} // namespace
} // namespace plannery
