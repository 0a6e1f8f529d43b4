#include "AnimationClock.h"
#include "GridViewTestSupport.h"
#include "ListDays.h"
#include "PointerEvents.h"
#include "TestSupport.h"

#include "views/FourWeeksView.h"
#include "views/GridPalette.h"
#include "views/MonthDayCell.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace plannery {
namespace {

using test::at;
using test::gridEvent;
using test::near;
using test::pixelAt;

// A view in Berlin on Wednesday 11 March 2026 at 10:30, 700 points wide, with cells 80 points
// high (room for three event rows), anchored on the page that starts on Monday 9 March. Tests
// that let time pass make an AnimationClock first.
struct FourWeeks {
    Calendar cal = test::berlin();
    Instant now = at(cal, 2026, 3, 11, 10, 30);
    test::ListDays days;
    FourWeeksView view{cal};
    std::vector<Instant> anchors;
    std::vector<Instant> selected;

    explicit FourWeeks(std::vector<CalEvent> events = {}) : days(cal, std::move(events)) {
        view.setNow(now);
        view.setDaySource(&days);
        view.setOnSelectDay([this](Instant day) { selected.push_back(day); });
        view.resize(700, 22 + 4 * 81);
        view.setAnchor(at(cal, 2026, 3, 9));
        view.anchorLink().connect([this](Instant day) { anchors.push_back(day); });
    }
    QImage render(double dpr = 1) {
        QImage image(static_cast<int>(std::ceil(view.width() * dpr)),
                     static_cast<int>(std::ceil(view.height() * dpr)),
                     QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::magenta);
        view.render(&image);
        return image;
    }
    // A touchpad's wheel event, stamped `ms`.
    void wheel(QPoint pixels, QPoint angle, Qt::ScrollPhase phase, quint64 ms = 0) {
        test::sendWheel(view, QPointF(350, 200), pixels, angle, Qt::NoModifier, phase, ms);
    }
    void mouse(QEvent::Type type, QPointF p, Qt::MouseButtons buttons, quint64 ms) {
        test::sendMouse(view, type, p, buttons, ms);
    }
};

// Whether anything darker than the background is drawn in `r` (points) of `image`.
bool inkIn(const QImage& image, QRectF r) {
    for (double y = r.top(); y < r.bottom(); y += 0.5) {
        for (double x = r.left(); x < r.right(); x += 0.5) {
            if (pixelAt(image, x, y).lightness() < 200) {
                return true;
            }
        }
    }
    return false;
}

TEST(FourWeeksView, AnAnchorOnAThursdayShowsItsWeekAndIsAnsweredWithItsFirstDay) {
    FourWeeks fw;
    fw.view.setAnchor(at(fw.cal, 2026, 3, 26, 14));
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 3, 23));
    EXPECT_EQ(fw.view.title(), "Mar \u2013 Apr 2026");
    ASSERT_EQ(fw.anchors, std::vector<Instant>{at(fw.cal, 2026, 3, 23)});
    // The answer coming back, and the same day again, change nothing.
    fw.view.setAnchor(at(fw.cal, 2026, 3, 23));
    fw.view.setAnchor(at(fw.cal, 2026, 3, 23));
    EXPECT_EQ(fw.anchors.size(), 1u);
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 3, 23));
}

TEST(FourWeeksView, FourWeeksAwayAnimatesWhileOneWeekAwayJumps) {
    test::AnimationClock clock;
    FourWeeks fw;
    fw.view.show();
    fw.view.setAnchor(at(fw.cal, 2026, 4, 6));
    EXPECT_TRUE(fw.view.isPaging());
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 4, 6));
    EXPECT_EQ(fw.view.visiblePageStart(), at(fw.cal, 2026, 3, 9)); // still on its way
    clock.finish();
    EXPECT_EQ(fw.view.visiblePageStart(), at(fw.cal, 2026, 4, 6));
    EXPECT_TRUE(fw.anchors.empty()); // the anchor already is that page's first day

    fw.view.setAnchor(at(fw.cal, 2026, 4, 13));
    EXPECT_FALSE(fw.view.isPaging());
    EXPECT_EQ(fw.view.visiblePageStart(), at(fw.cal, 2026, 4, 13));
    // From the rebuilt pager, paging goes on in steps of four weeks.
    fw.view.page(-1);
    clock.finish();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 3, 16));
    EXPECT_EQ(fw.anchors, std::vector<Instant>{at(fw.cal, 2026, 3, 16)});
}

TEST(FourWeeksView, KeysWheelAndSwipesPageWholePages) {
    test::AnimationClock clock;
    FourWeeks fw;
    fw.view.show();
    QTest::keyClick(&fw.view, Qt::Key_PageDown);
    clock.finish();
    QTest::keyClick(&fw.view, Qt::Key_Right);
    clock.finish();
    QTest::keyClick(&fw.view, Qt::Key_PageUp);
    clock.finish();
    EXPECT_EQ(fw.anchors, (std::vector<Instant>{at(fw.cal, 2026, 4, 6), at(fw.cal, 2026, 5, 4),
                                                at(fw.cal, 2026, 4, 6)}));

    // A mouse wheel: one notch down, one page on; half notches add up.
    fw.wheel({}, {0, -120}, Qt::NoScrollPhase);
    clock.finish();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 5, 4));
    fw.wheel({}, {0, 60}, Qt::NoScrollPhase);
    clock.finish();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 5, 4));
    fw.wheel({}, {0, 60}, Qt::NoScrollPhase);
    clock.finish();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 4, 6));

    // A touchpad swipe across a third of the width moves on, however slow.
    fw.wheel({}, {}, Qt::ScrollBegin, 1000);
    fw.wheel({-120, 0}, {-120, 0}, Qt::ScrollUpdate, 1100);
    fw.wheel({-120, 0}, {-120, 0}, Qt::ScrollUpdate, 1200);
    EXPECT_TRUE(fw.view.isPaging());
    fw.wheel({}, {}, Qt::ScrollEnd, 1300);
    clock.finish();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 5, 4));
    // A tenth of a page springs back when the fingers paused before lifting...
    fw.wheel({}, {}, Qt::ScrollBegin, 2000);
    fw.wheel({0, 35}, {0, 35}, Qt::ScrollUpdate, 2010);
    fw.wheel({}, {}, Qt::ScrollEnd, 2160);
    clock.finish();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 5, 4));
    EXPECT_EQ(fw.view.visiblePageStart(), at(fw.cal, 2026, 5, 4));
    // ... and is a flick to the next page when they lift at once.
    fw.wheel({}, {}, Qt::ScrollBegin, 3000);
    fw.wheel({0, -35}, {0, -35}, Qt::ScrollUpdate, 3010);
    fw.wheel({}, {}, Qt::ScrollEnd, 3020);
    clock.finish();
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 6, 1));
}

TEST(FourWeeksView, ClickingADayReportsItAndDraggingPages) {
    test::AnimationClock clock;
    FourWeeks fw;
    fw.view.show();
    const QRectF thursday = fw.view.cellRect(at(fw.cal, 2026, 3, 12));
    ASSERT_FALSE(thursday.isEmpty());
    EXPECT_NEAR(thursday.left(), 300, 0.5);
    QTest::mouseClick(&fw.view, Qt::LeftButton, {}, thursday.center().toPoint());
    QTest::mouseClick(&fw.view, Qt::LeftButton, {}, QPoint(350, 10)); // the weekday header
    EXPECT_EQ(fw.selected, std::vector<Instant>{at(fw.cal, 2026, 3, 12)});
    // The last cell of the page is the Sunday four weeks on.
    EXPECT_EQ(fw.view.dayAt(QPointF(699, fw.view.height() - 1)), at(fw.cal, 2026, 4, 5));

    // Dragging to the left by 40 % of the width, resting before the release, brings the next
    // page and selects nothing.
    fw.selected.clear();
    quint64 ms = 1000;
    fw.mouse(QEvent::MouseButtonPress, QPointF(500, 200), Qt::LeftButton, ms);
    for (int x = 480; x >= 220; x -= 20) {
        fw.mouse(QEvent::MouseMove, QPointF(x, 200), Qt::LeftButton, ms += 10);
    }
    fw.mouse(QEvent::MouseButtonRelease, QPointF(220, 200), {}, ms + 150);
    clock.finish();
    EXPECT_TRUE(fw.selected.empty());
    EXPECT_EQ(fw.view.pageStart(), at(fw.cal, 2026, 4, 6));
}

TEST(FourWeeksView, CellsShowTodayThePastChipsAndOverflow) {
    const Calendar cal = test::berlin();
    const RGB green{0.2, 0.7, 0.3};
    std::vector<CalEvent> events;
    CalEvent trip = gridEvent("trip", "Trip", at(cal, 2026, 3, 12), at(cal, 2026, 3, 13), green);
    trip.isAllDay = true;
    events.push_back(trip);
    for (int i = 0; i < 4; ++i) {
        events.push_back(gridEvent("m" + std::to_string(i), "Meeting", at(cal, 2026, 3, 12, 9 + i),
                                   at(cal, 2026, 3, 12, 10 + i)));
    }
    FourWeeks fw(events);
    const GridPalette palette = GridPalette::from(fw.view.palette());
    EXPECT_EQ(fw.view.accessibleText(at(fw.cal, 2026, 3, 12)),
              "Thursday, March 12, 5 events: Trip, Meeting, Meeting");

    for (const double dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const QImage image = fw.render(dpr);
        const QRectF today = fw.view.cellRect(at(fw.cal, 2026, 3, 11));
        const QRectF past = fw.view.cellRect(at(fw.cal, 2026, 3, 10));
        const QRectF busy = fw.view.cellRect(at(fw.cal, 2026, 3, 12));
        // Today's number sits on a red disc in the middle of the date row.
        EXPECT_TRUE(near(pixelAt(image, today.center().x() + 6, today.top() + 11), palette.red, 8));
        // Past days are grey, later ones keep the background.
        const QColor grey = MonthDayCell::pastBackground(palette);
        const auto mix = [](int a, int b) {
            return static_cast<int>(std::lround(0.6 * a + 0.4 * b));
        };
        const QColor expectedPast(mix(grey.red(), palette.background.red()),
                                  mix(grey.green(), palette.background.green()),
                                  mix(grey.blue(), palette.background.blue()));
        EXPECT_TRUE(near(pixelAt(image, past.right() - 3, past.bottom() - 3), expectedPast, 3));
        EXPECT_TRUE(near(pixelAt(image, busy.right() - 3, busy.bottom() - 3), palette.background));
        // The all-day chip sits on a tint of its calendar, at the right end of its first row.
        const auto overWhite = [](double c) {
            return static_cast<int>(std::lround(0.22 * c * 255 + 0.78 * 255));
        };
        const QColor expectedTint(overWhite(green.r), overWhite(green.g), overWhite(green.b));
        EXPECT_TRUE(near(pixelAt(image, busy.right() - 5, busy.top() + 22 + 7.5), expectedTint, 4));
        // Three rows fit: two chips and the "+3" row; below it the cell is empty.
        const double rows = busy.top() + 22;
        EXPECT_TRUE(inkIn(image, QRectF(busy.left() + 3, rows + 15, 30, 15)));   // second chip
        EXPECT_TRUE(inkIn(image, QRectF(busy.left() + 3, rows + 30, 12, 15)));   // "+3"
        EXPECT_FALSE(inkIn(image, QRectF(busy.left() + 20, rows + 30, 60, 15))); // nothing after it
        EXPECT_FALSE(inkIn(image, QRectF(busy.left() + 3, rows + 45, 60, 12)));
    }
}

TEST(FourWeeksView, AsksForThePageOnScreenAndItsNeighboursWhileIdle) {
    test::AnimationClock clock;
    const Calendar cal = test::berlin();
    FourWeeks fw({gridEvent("lunch", "Lunch", at(cal, 2026, 4, 8, 12), at(cal, 2026, 4, 8, 13))});
    ASSERT_FALSE(fw.days.requests().empty());
    EXPECT_EQ(fw.days.requests().back(),
              (test::Request{.from = at(cal, 2026, 3, 9), .to = at(cal, 2026, 4, 6)}));
    fw.days.clearRequests();
    fw.render();
    fw.render(2);
    EXPECT_TRUE(fw.days.requests().empty()); // painting asks nothing
    // New events: the page is asked for again.
    fw.days.change(fw.days.all());
    EXPECT_EQ(fw.days.requests(), (std::vector<test::Request>{
                                      {.from = at(cal, 2026, 3, 9), .to = at(cal, 2026, 4, 6)}}));

    // Left alone on screen, the view asks for the pages on either side and draws them, so that
    // turning to one needs no day that is not loaded yet.
    fw.view.show();
    fw.days.clearRequests();
    clock.pass(200);
    EXPECT_EQ(fw.days.requests(), (std::vector<test::Request>{
                                      {.from = at(cal, 2026, 4, 6), .to = at(cal, 2026, 5, 4)},
                                      {.from = at(cal, 2026, 2, 9), .to = at(cal, 2026, 3, 9)}}));
    fw.days.setDeferred(true);
    fw.view.page(1);
    clock.finish();
    EXPECT_EQ(fw.view.accessibleText(at(cal, 2026, 4, 8)), "Wednesday, April 8, 1 event: Lunch");
}

TEST(FourWeeksView, AHiddenViewKeepsOnlyThePageItShows) {
    test::AnimationClock clock;
    const Calendar cal = test::berlin();
    FourWeeks fw({gridEvent("lunch", "Lunch", at(cal, 2026, 3, 11, 12), at(cal, 2026, 3, 11, 13))});
    fw.view.show();
    clock.pass(200);
    EXPECT_EQ(fw.view.pagesDrawn(), 3u);
    fw.view.hide();
    EXPECT_EQ(fw.view.pagesDrawn(), 1u);
    // Back on screen it shows the same page at once, and draws its neighbours again when idle.
    fw.view.show();
    EXPECT_EQ(fw.view.pageStart(), at(cal, 2026, 3, 9));
    EXPECT_EQ(fw.view.accessibleText(at(cal, 2026, 3, 11)),
              "Wednesday, March 11, today, 1 event: Lunch");
    clock.pass(200);
    EXPECT_EQ(fw.view.pagesDrawn(), 3u);
}

TEST(FourWeeksView, DaysThatArriveLateAreDrawnWhenTheyCome) {
    const Calendar cal = test::berlin();
    FourWeeks fw;
    fw.days.setDeferred(true);
    fw.days.change(
        {gridEvent("lunch", "Lunch", at(cal, 2026, 3, 12, 12), at(cal, 2026, 3, 12, 13))});
    const QRectF busy = fw.view.cellRect(at(cal, 2026, 3, 12));
    const QRectF chip(busy.left() + 3, busy.top() + 22, 40, 14);
    EXPECT_FALSE(inkIn(fw.render(), chip));
    EXPECT_EQ(fw.view.accessibleText(at(cal, 2026, 3, 12)), "Thursday, March 12");
    fw.days.deliver();
    EXPECT_TRUE(inkIn(fw.render(), chip));
    EXPECT_EQ(fw.view.accessibleText(at(cal, 2026, 3, 12)), "Thursday, March 12, 1 event: Lunch");
}

} // namespace
} // namespace plannery
